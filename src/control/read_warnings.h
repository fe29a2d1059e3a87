#pragma once
// What a front end tells the user after reading a process: one warning per kind of problem
// that the reader forgave silently, each with a count and an example.

#include <string>
#include <vector>

#include "log/vesk_logline_reader.h"
#include "process_map/case_filter.h"

namespace vesk {

// One warning as a script reads it: what kind of problem, how often, the first example.
struct ReadWarning {
    std::string kind;
    std::int64_t count = 0;
    std::string example;
    std::string text;
};

struct ReadWarnings {
    std::vector<std::string> warnings;
    // The same warnings, in the same order, with their kind, count and first example.
    std::vector<ReadWarning> details;
    // Nothing of the process was kept: the results will be empty.
    bool nothing_read = false;
    // ... because the case filter kept no case, not because of the events read.
    bool filtered_out = false;
};

// `kept_lines` is the size of the log after the read, `cases` what the case filter kept.
ReadWarnings read_warnings(const ReadDiagnostics& diagnostics, const Tevent_filter& filter,
                           const std::string& process_id, std::size_t kept_lines,
                           const CaseFilterResult& cases = {});

// The warning for external entities a read refused to load.
std::string refused_entities_warning(const std::vector<std::string>& refused);

// "schedule, start, complete": the event types a filter reads.
std::string event_types_read(const Tevent_filter& filter);

}  // namespace vesk
