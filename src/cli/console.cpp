#include "cli/console.h"

#include <cstdio>

namespace vesk::cli {

Console::Console(std::ostream& out, std::ostream& err, bool progress)
    : out_(out), err_(err), progress_(progress) {}

Console::~Console() {
    clear_stage();
}

std::ostream& Console::out() {
    clear_stage();
    return out_;
}

void Console::note(const std::string& text) {
    if (quiet_) return;
    clear_stage();
    err_ << kProgramName << ": " << text << '\n';
}

void Console::warning(const std::string& text) {
    ++warnings_;
    if (quiet_) return;
    clear_stage();
    err_ << kProgramName << ": warning: " << text << '\n';
}

void Console::error(const std::string& text) {
    clear_stage();
    err_ << kProgramName << ": " << text << '\n';
}

void Console::error_lines(const std::string& text) {
    std::string::size_type begin = 0;
    while (begin <= text.size()) {
        const auto end = text.find('\n', begin);
        const std::string line = text.substr(begin, end - begin);
        if (!line.empty()) error(line);
        if (end == std::string::npos) break;
        begin = end + 1;
    }
}

void Console::stage(const std::string& text) {
    if (!progress_ || quiet_) return;
    err_ << "\r\033[K" << text << "..." << std::flush;
    stage_shown_ = true;
}

void Console::clear_stage() {
    if (!stage_shown_) return;
    err_ << "\r\033[K" << std::flush;
    stage_shown_ = false;
}

void Console::print_timings() {
    if (!timed_) return;
    timings_.end();
    clear_stage();
    out_ << std::flush;
    double wall = 0;
    double cpu = 0;
    for (const StageTimings::Stage& stage : timings_.stages()) {
        char line[160];
        std::snprintf(line, sizeof line, "%s: time: %-10s %9.3f s wall %9.3f s CPU\n", kProgramName,
                      stage.name.c_str(), stage.wall_seconds, stage.cpu_seconds);
        err_ << line;
        wall += stage.wall_seconds;
        cpu += stage.cpu_seconds;
    }
    char total[160];
    std::snprintf(total, sizeof total, "%s: time: %-10s %9.3f s wall %9.3f s CPU\n", kProgramName,
                  "all", wall, cpu);
    err_ << total << std::flush;
}

}  // namespace vesk::cli
