#pragma once
// Where vesk-cli speaks: results on stdout, everything else on stderr with the program's name
// in front, and the progress line of a terminal cleared before anything else is printed.

#include <ostream>
#include <string>

#include "base/message_sink.h"
#include "control/stage_timings.h"

namespace vesk::cli {

class Console : public MessageSink {
public:
    // progress: draw the stage line (stderr is a terminal).
    Console(std::ostream& out, std::ostream& err, bool progress);
    ~Console() override;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Only errors on stderr from now on.
    void set_quiet(bool quiet) { quiet_ = quiet; }
    bool quiet() const { return quiet_; }

    // The results stream; the stage line is cleared first.
    std::ostream& out();
    // "vesk-cli: text": what the program did (files written, adjustments made).
    void note(const std::string& text);
    void warning(const std::string& text) override;
    void information(const std::string& text) override { note(text); }
    void error(const std::string& text) override;
    // Several lines, each with the program's name in front.
    void error_lines(const std::string& text);

    // The stage of a long command on one line, only on a terminal.
    void stage(const std::string& text);
    void clear_stage();

    std::int32_t warnings_given() const { return warnings_; }

    // The stage timings of the run when --timings asked for them, else null.
    StageTimings* timings() { return timed_ ? &timings_ : nullptr; }
    void set_timed(bool timed) { timed_ = timed; }
    // One line per stage on stderr, quiet or not: they were asked for.
    void print_timings();

private:
    std::ostream& out_;
    std::ostream& err_;
    bool progress_;
    bool quiet_ = false;
    bool stage_shown_ = false;
    std::int32_t warnings_ = 0;
    bool timed_ = false;
    StageTimings timings_;
};

inline constexpr const char* kProgramName = "vesk-cli";

}  // namespace vesk::cli
