#include "app/util_functions.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace vesk {

std::vector<std::string> split_parameters(std::string_view text) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false;
    bool in_argument = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            in_argument = true;
        } else if (c == ' ' && !quoted) {
            if (in_argument) arguments.push_back(current);
            current.clear();
            in_argument = false;
        } else {
            current += c;
            in_argument = true;
        }
    }
    if (in_argument) arguments.push_back(current);
    return arguments;
}

int run_program(const std::filesystem::path& program, std::string_view parameters) {
    std::vector<std::string> arguments = split_parameters(parameters);
    arguments.insert(arguments.begin(), program.string());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::filesystem::path program_folder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path(error);
    return self.parent_path();
}

std::optional<std::filesystem::path> find_dot(const std::filesystem::path& beside) {
    const auto executable = [](const std::filesystem::path& candidate) {
        return ::access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate);
    };
    if (const auto local = beside / "dot"; executable(local)) return local;
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

std::string orientation(const DotOptions& options) {
    return options.left_to_right ? "-Grankdir=LR " : "";
}

}  // namespace

std::vector<std::string> jpg_map_parameters(const std::string& prefix, const DotOptions& options) {
    const std::string o = orientation(options);
    const std::string low = prefix + " low.dot";
    return {"-Timap \"" + low + "\" " + o + " -o \"" + low + ".map\"",
            "-Tjpg \"" + low + "\" " + o + " -o \"" + low + ".jpg\"",
            "-Tjpg \"" + low + "\" " + o + " -Gsize=\"8,8\" -o \"" + low + ".thumb.jpg\""};
}

std::vector<std::string> ps_jpg_parameters(const std::string& prefix, const DotOptions& options) {
    std::string o = orientation(options);
    const std::string high = prefix + " high.dot";
    std::vector<std::string> runs = {"-Tjpg \"" + high + "\" " + o + " -o \"" + high + ".jpg\""};
    if (!o.empty()) o += "-Gorientation=landscape ";
    if (options.page_size == "A4") o += "-Gpage=\"8.27,11.69\" ";
    if (options.page_size == "Letter") o += "-Gpage=\"8.5,11\" ";
    runs.push_back("-Tps \"" + high + "\" " + o + "   -o \"" + high + ".ps\"");
    return runs;
}

}  // namespace vesk
