#include "cli/console.h"

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

}  // namespace vesk::cli
