#pragma once
// Starting other programs (dot, conversion modules) and the dot command lines.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// A program run: the parameter text as the user is shown it, and the arguments the program
// really receives. The arguments are built from the pieces, never by splitting the text, so a
// name holding a double quote, a blank or a leading "-" stays one argument.
struct ProgramRun {
    std::string parameters;
    std::vector<std::string> arguments;
};

// Starts the program directly (never through a shell) with these arguments and waits for its
// end. Returns its exit code, or -1 when it could not be started or ended by a signal.
int run_program(const std::filesystem::path& program, const std::vector<std::string>& arguments);

// How a watched run ended: its exit code (-1 when it could not be started or ended by a
// signal), whether it was stopped at its time limit, and what it wrote on its error stream.
struct ProgramOutcome {
    int exit_code = -1;
    bool timed_out = false;
    std::string errors;
};

// As run_program, in a process group of its own, with its error stream kept (up to 64 KiB) and
// the whole group killed when it runs longer than `limit`.
ProgramOutcome run_program_watched(const std::filesystem::path& program,
                                   const std::vector<std::string>& arguments,
                                   std::chrono::milliseconds limit);

// A file name as an argument: a relative name that begins with "-" gets "./" in front, so that
// no program takes it for an option.
std::string file_argument(const std::string& path);

// The folder of the running executable, or the current folder when it cannot be told.
std::filesystem::path program_folder();

// The install's data folder (share/vesk beside the executable's bin folder).
std::filesystem::path installed_data_folder(const std::filesystem::path& program_folder);

// dot next to the executable first, then in the install's data folder, then on PATH.
std::optional<std::filesystem::path> find_dot(const std::filesystem::path& beside);

// The time one export may spend in dot, all its runs together, counted from the budget's
// making: a dot that hangs costs it once, not once per picture.
class RenderBudget {
public:
    static constexpr std::chrono::seconds kDefaultTotal{120};
    RenderBudget() : RenderBudget(kDefaultTotal) {}
    explicit RenderBudget(std::chrono::seconds total)
        : total_(total), deadline_(std::chrono::steady_clock::now() + total) {}
    std::chrono::seconds total() const { return total_; }
    // What is left, 0 once spent.
    std::chrono::milliseconds left() const {
        const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline_ - std::chrono::steady_clock::now());
        return std::max(rest, std::chrono::milliseconds(0));
    }

private:
    std::chrono::seconds total_;
    std::chrono::steady_clock::time_point deadline_;
};

struct DotOptions {
    bool left_to_right = true;
    std::string page_size = "A4";  // "A4" or "Letter"; anything else adds no page option
    RenderBudget budget;
};

// The three runs of "Make jpg/map" on `prefix` + " low.dot" (map, picture, thumbnail) and the
// two runs of "Make ps/jpg" on `prefix` + " high.dot" (picture, PostScript). prefix is folder +
// log name + " " + process id.
std::vector<ProgramRun> jpg_map_runs(const std::string& prefix, const DotOptions& options);
std::vector<ProgramRun> ps_jpg_runs(const std::string& prefix, const DotOptions& options);
// One run per format ("svg", "png", "pdf") on `prefix` + " high.dot", each to the dot file's
// name with the format's extension added, as the jpg picture is named.
std::vector<ProgramRun> picture_runs(const std::string& prefix, const DotOptions& options,
                                     const std::vector<std::string>& formats);

// The inspector's two runs on folder + "vesk_rel_calc.dot": the picture, then the image map,
// always left to right. folder ends in a separator.
std::vector<ProgramRun> inspector_runs(const std::string& folder);

// The writable per-user folder where the program keeps the files it draws for itself
// ($XDG_CACHE_HOME/vesk, or ~/.cache/vesk), created when missing; with its trailing "/".
// Throws std::runtime_error when there is none.
std::string user_work_folder();

// The parameter texts of those runs alone.
std::vector<std::string> jpg_map_parameters(const std::string& prefix, const DotOptions& options);
std::vector<std::string> ps_jpg_parameters(const std::string& prefix, const DotOptions& options);

}  // namespace vesk
