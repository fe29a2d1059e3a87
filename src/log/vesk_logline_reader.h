#pragma once
// Reads one process of an XML workflow log into a filtered, case-ordered list of log lines.

#include <optional>
#include <string>
#include <string_view>

#include "log/vesk_logline.h"
#include "log/xml_log_stream.h"

namespace vesk {

// Which event types are read. Abort and withdraw lines always pass the line filter; when their
// flag is off they drop their whole case instead.
struct Tevent_filter {
    bool schedule = false;
    bool start = false;
    bool suspend = false;
    bool resume = false;
    bool complete = false;
    bool withdraw = false;
    bool abort = false;
};

struct ProcessLog {
    Tloglist lines;
    // The process's "description", or "none" when it has none.
    std::string description;
    std::int32_t case_count = 0;
};

inline const Tdate kDefaultDate{1, 1, 2002};
inline const Ttime kDefaultTime{12, 0, 0, 0};

// "DD-MM-YYYY" by position; empty when a part is missing, not a number or not a valid date.
std::optional<Tdate> parse_log_date(std::string_view text);
// "HH:MM", "HH:MM:SS" or "HH:MM:SS.fff…" by position; empty when unreadable or out of range.
std::optional<Ttime> parse_log_time(std::string_view text);

// Whether an entry with this raw "kind" (absent: none) passes the line filter.
bool passes_event_filter(const std::optional<std::string>& kind, const Tevent_filter& filter);

// Reads the process, names every line by its task and event ("A_complete") and fills in the
// loop information. Throws what WorkflowLogFile::read_process throws.
ProcessLog read_process_log(const WorkflowLogFile& file, const std::string& process_id,
                            const Tevent_filter& filter);

// Sets loop lengths and two-loop partners of every line from repetitions within its case.
void compute_loop_information(Tloglist& log);

}  // namespace vesk
