#include "base/util_functions.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "base/build_info.h"
#include "base/interruption.h"

extern char** environ;

namespace vesk {

namespace {

// The program's name and its arguments as the exec family takes them; the strings live as
// long as the vector.
class ArgumentVector {
public:
    ArgumentVector(const std::filesystem::path& program, const std::vector<std::string>& arguments)
        : strings_(arguments) {
        strings_.insert(strings_.begin(), program.string());
        for (std::string& argument : strings_)
            pointers_.push_back(argument.data());
        pointers_.push_back(nullptr);
    }
    char* const* get() { return pointers_.data(); }

private:
    std::vector<std::string> strings_;
    std::vector<char*> pointers_;
};

}  // namespace

int run_program(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    ArgumentVector argv(program, arguments);
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.get(), environ) != 0) return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

// A file descriptor closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

constexpr std::size_t kKeptErrors = 64 * 1024;

// Reads what is there; false at the end of the stream.
bool drain(int fd, std::string& kept) {
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) return errno == EINTR || errno == EAGAIN;
    if (got == 0) return false;
    const std::size_t room = kKeptErrors > kept.size() ? kKeptErrors - kept.size() : 0;
    kept.append(buffer, std::min(room, static_cast<std::size_t>(got)));
    return true;
}

}  // namespace

namespace {

// Starts the program in a process group of its own, its error stream on `error_end`. On Linux
// the kernel ends it should this process die first, even by SIGKILL. Only async-signal-safe
// calls between fork and exec: the caller may have other threads.
pid_t start_in_own_group(const std::filesystem::path& program, char* const* argv, int error_end) {
    sigset_t none;
    sigemptyset(&none);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child != 0) {
        // Both sides set the group, so it holds whichever runs first.
        if (child > 0) ::setpgid(child, child);
        return child;
    }
    ::setpgid(0, 0);
#ifdef __linux__
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
#else
    (void)parent;
#endif
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::dup2(error_end, STDERR_FILENO);
    ::execve(program.c_str(), argv, environ);
    ::_exit(127);
}

// The started program's group: whatever of it is left when the run ends is killed, on every
// path out, and a stopping signal meanwhile is passed on to it.
class RunningGroup {
public:
    explicit RunningGroup(pid_t child) : child_(child), watch_(child) {}
    ~RunningGroup() {
        if (!reaped_) wait(true);
    }
    RunningGroup(const RunningGroup&) = delete;
    RunningGroup& operator=(const RunningGroup&) = delete;

    // True when the program has ended (it stays a zombie, so its group id stays its own).
    bool ended() {
        siginfo_t info{};
        return ::waitid(P_PID, static_cast<id_t>(child_), &info, WEXITED | WNOHANG | WNOWAIT) ==
                   0 &&
               info.si_pid == child_;
    }
    // Kills what is left of the group (the program too when `kill_program`) and collects the
    // program's status.
    int wait(bool kill_program) {
        if (kill_program) ::kill(-child_, SIGKILL);
        int status = 0;
        while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
        return status;
    }
    // After the program's end: the rest of its group goes before the program is reaped.
    int finish() {
        ::kill(-child_, SIGKILL);
        return wait(false);
    }

private:
    pid_t child_;
    ChildGroupWatch watch_;
    bool reaped_ = false;
};

}  // namespace

ProgramOutcome run_program_watched(const std::filesystem::path& program,
                                   const std::vector<std::string>& arguments,
                                   std::chrono::milliseconds limit) {
    ProgramOutcome outcome;
    int ends[2];
    // Close-on-exec: no other program started meanwhile keeps the pipe open.
    if (::pipe2(ends, O_CLOEXEC) != 0) return outcome;
    Descriptor reader(ends[0]), writer(ends[1]);
    ArgumentVector argv(program, arguments);
    const pid_t child = start_in_own_group(program, argv.get(), writer.get());
    writer.reset();
    if (child < 0) return outcome;
    RunningGroup group(child);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool open = true;
    while (!group.ended()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            outcome.timed_out = true;
            group.wait(true);
            return outcome;
        }
        // Reading as it writes keeps a talkative program from blocking on a full pipe.
        pollfd watched{open ? reader.get() : -1, POLLIN, 0};
        const int wait = static_cast<int>(std::min<long long>(left.count(), 50));
        if (::poll(&watched, 1, wait) > 0) open = drain(reader.get(), outcome.errors);
    }
    const int status = group.finish();
    // What is left; the group is gone, so nothing holds the pipe open any more.
    ::fcntl(reader.get(), F_SETFL, O_NONBLOCK);
    while (open) {
        const std::size_t before = outcome.errors.size();
        open = drain(reader.get(), outcome.errors) && outcome.errors.size() > before;
    }
    if (WIFEXITED(status)) outcome.exit_code = WEXITSTATUS(status);
    return outcome;
}

std::string file_argument(const std::string& path) {
    return path.starts_with('-') ? "./" + path : path;
}

std::filesystem::path program_folder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path(error);
    return self.parent_path();
}

std::filesystem::path installed_data_folder(const std::filesystem::path& program_folder) {
    return program_folder.parent_path() / VESK_DATA_FROM_BIN;
}

std::optional<std::filesystem::path> find_dot(const std::filesystem::path& beside) {
    const auto executable = [](const std::filesystem::path& candidate) {
        return ::access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate);
    };
    if (const auto local = beside / "dot"; executable(local)) return local;
    if (const auto data = installed_data_folder(beside) / "dot"; executable(data)) return data;
    const char* path = std::getenv("PATH");
    if (path == nullptr) return std::nullopt;
    std::string_view rest = path;
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty() && executable(std::filesystem::path(folder) / "dot"))
            return std::filesystem::path(folder) / "dot";
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

namespace {

// Builds the parameter text and the argument vector of one run side by side.
class RunBuilder {
public:
    // Literal text that is also one argument (an option such as -Timap).
    RunBuilder& option(const std::string& text, const std::string& argument) {
        run_.parameters += text;
        run_.arguments.push_back(argument);
        return *this;
    }
    // A file name: quoted in the text, one argument as it is.
    RunBuilder& file(const std::string& path) {
        run_.parameters += "\"" + path + "\"";
        run_.arguments.push_back(file_argument(path));
        return *this;
    }
    RunBuilder& text(const std::string& literal) {
        run_.parameters += literal;
        return *this;
    }
    // The orientation and page options: each blank-ended option text is one argument.
    RunBuilder& options(const std::vector<std::pair<std::string, std::string>>& list) {
        for (const auto& [shown, argument] : list)
            option(shown, argument);
        return *this;
    }
    ProgramRun take() { return std::move(run_); }

private:
    ProgramRun run_;
};

using OptionList = std::vector<std::pair<std::string, std::string>>;

OptionList orientation_options(const DotOptions& options) {
    if (!options.left_to_right) return {};
    return {{"-Grankdir=LR ", "-Grankdir=LR"}};
}

ProgramRun dot_run(const char* format, const std::string& input, const OptionList& options,
                   const std::string& before_o, const std::string& output,
                   const OptionList& extra = {}) {
    RunBuilder run;
    run.option(std::string("-T") + format + " ", std::string("-T") + format).file(input).text(" ");
    run.options(options).text(before_o).options(extra).option("-o ", "-o").file(output);
    return run.take();
}

}  // namespace

std::vector<ProgramRun> jpg_map_runs(const std::string& prefix, const DotOptions& options) {
    const OptionList o = orientation_options(options);
    const std::string low = prefix + " low.dot";
    return {dot_run("imap", low, o, " ", low + ".map"), dot_run("jpg", low, o, " ", low + ".jpg"),
            dot_run("jpg", low, o, " ", low + ".thumb.jpg", {{"-Gsize=\"8,8\" ", "-Gsize=8,8"}})};
}

std::vector<ProgramRun> ps_jpg_runs(const std::string& prefix, const DotOptions& options) {
    OptionList o = orientation_options(options);
    const std::string high = prefix + " high.dot";
    std::vector<ProgramRun> runs = {dot_run("jpg", high, o, " ", high + ".jpg")};
    if (!o.empty()) o.emplace_back("-Gorientation=landscape ", "-Gorientation=landscape");
    if (options.page_size == "A4") o.emplace_back("-Gpage=\"8.27,11.69\" ", "-Gpage=8.27,11.69");
    if (options.page_size == "Letter") o.emplace_back("-Gpage=\"8.5,11\" ", "-Gpage=8.5,11");
    runs.push_back(dot_run("ps", high, o, "   ", high + ".ps"));
    return runs;
}

std::vector<ProgramRun> picture_runs(const std::string& prefix, const DotOptions& options,
                                     const std::vector<std::string>& formats) {
    const OptionList o = orientation_options(options);
    const std::string high = prefix + " high.dot";
    std::vector<ProgramRun> runs;
    for (const std::string& format : formats)
        runs.push_back(dot_run(format.c_str(), high, o, " ", high + "." + format));
    return runs;
}

std::vector<ProgramRun> inspector_runs(const std::string& folder) {
    const std::string dot = folder + "vesk_rel_calc.dot";
    std::vector<ProgramRun> runs;
    for (const char* format : {"jpg", "imap"}) {
        const std::string output = dot + (std::string(format) == "jpg" ? ".jpg" : ".map");
        runs.push_back(
            {"-T" + std::string(format) + " \"" + dot + "\" -Grankdir=LR -o \"" + output + "\"",
             {"-T" + std::string(format), file_argument(dot), "-Grankdir=LR", "-o",
              file_argument(output)}});
    }
    return runs;
}

std::string user_work_folder() {
    std::filesystem::path folder;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    // Only an absolute XDG folder counts, as the convention asks.
    if (cache != nullptr && cache[0] == '/')
        folder = std::filesystem::path(cache) / "vesk";
    else if (home != nullptr && home[0] != '\0')
        folder = std::filesystem::path(home) / ".cache" / "vesk";
    else
        throw std::runtime_error("there is no per-user folder to draw in (HOME is not set)");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw std::runtime_error("the folder " + folder.string() +
                                 " cannot be made: " + error.message());
    return folder.string() + "/";
}

namespace {

std::vector<std::string> parameters_of(const std::vector<ProgramRun>& runs) {
    std::vector<std::string> texts;
    for (const ProgramRun& run : runs)
        texts.push_back(run.parameters);
    return texts;
}

}  // namespace

std::vector<std::string> jpg_map_parameters(const std::string& prefix, const DotOptions& options) {
    return parameters_of(jpg_map_runs(prefix, options));
}

std::vector<std::string> ps_jpg_parameters(const std::string& prefix, const DotOptions& options) {
    return parameters_of(ps_jpg_runs(prefix, options));
}

}  // namespace vesk
