#pragma once
// Reads one process of an XML workflow log into a filtered, case-ordered list of log lines.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/progress.h"
#include "log/entry_pipeline.h"
#include "log/vesk_loglist.h"
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

// What a read met that the format forgives but a user should hear of: the reader itself keeps
// its defaults (unknown kinds are "normal" or dropped, unreadable dates and times fall back).
struct ReadDiagnostics {
    struct KindCount {
        std::string kind;  // the raw text; empty for an entry without a kind
        bool present = false;
        std::int32_t count = 0;
    };
    // Every entry of the process by its raw event kind, in order of first appearance.
    std::vector<KindCount> kinds;
    std::int32_t entries = 0;
    // Entries whose kind is present but none of the eight names, and the first few spellings.
    std::int32_t unknown_kind_entries = 0;
    std::vector<std::string> unknown_kinds;
    // Kept entries whose date or time was missing or unreadable; the first offending text, or
    // empty when the first one was missing.
    std::int32_t default_dates = 0;
    std::optional<std::string> first_bad_date;
    std::int32_t default_times = 0;
    std::optional<std::string> first_bad_time;
    // Entries that passed the event filter (before whole cases were dropped).
    std::int32_t passed_filter = 0;
    // External entities the read refused to load.
    std::vector<std::string> refused_entities;
    // What an XES or MXML reader noticed.
    FormatNotes format_notes;

    static constexpr std::size_t kSpellingsKept = 5;
};

struct ProcessLog {
    Tloglist lines;
    ReadDiagnostics diagnostics;
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
// The same with the kind's event type already known (event_type_of(*kind)).
bool passes_event_filter(const std::optional<std::string>& kind, EventType event,
                         const Tevent_filter& filter);

// Reads the process, names every line by its task and event ("A_complete") and fills in the
// loop information. Throws what WorkflowLogFile::read_process throws.
// With progress: "Reading" with the events read so far, every kProgressEvery events, always on
// the calling thread; `threads` places the XML pass, and the result is the same either way.
ProcessLog read_process_log(const WorkflowLogFile& file, const std::string& process_id,
                            const Tevent_filter& filter, const ProgressCallback& progress = {},
                            ReadThreads threads = ReadThreads::machine);

// Sets loop lengths and two-loop partners of every line from repetitions within its case.
void compute_loop_information(Tloglist& log);

}  // namespace vesk
