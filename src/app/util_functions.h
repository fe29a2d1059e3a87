#pragma once
// Starting other programs (dot, conversion modules) and the dot command lines.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// Splits a parameter text into arguments at blanks outside double quotes; the quotes themselves
// are dropped ("a b" c gives the two arguments a b and c).
std::vector<std::string> split_parameters(std::string_view text);

// Starts the program directly (never through a shell) with the arguments of the parameter text
// and waits for its end. Returns its exit code, or -1 when it could not be started or ended by
// a signal.
int run_program(const std::filesystem::path& program, std::string_view parameters);

// The folder of the running executable, or the current folder when it cannot be told.
std::filesystem::path program_folder();

// dot next to the executable first, then on PATH.
std::optional<std::filesystem::path> find_dot(const std::filesystem::path& beside);

struct DotOptions {
    bool left_to_right = true;
    std::string page_size = "A4";  // "A4" or "Letter"; anything else adds no page option
};

// Parameter texts of the three runs of "Make jpg/map" on `prefix` + " low.dot" (map, picture,
// thumbnail) and of the two runs of "Make ps/jpg" on `prefix` + " high.dot" (picture, PostScript).
// prefix is folder + log name + " " + process id.
std::vector<std::string> jpg_map_parameters(const std::string& prefix, const DotOptions& options);
std::vector<std::string> ps_jpg_parameters(const std::string& prefix, const DotOptions& options);

}  // namespace vesk
