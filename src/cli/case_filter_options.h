#pragma once
// The case filters of every command that reads a process, declared once: --event-where,
// --case-where, --top-variants, --variant-coverage, --starts-with, --ends-with, --from, --to.

#include <optional>
#include <string>
#include <vector>

#include "control/vesk_util.h"

namespace CLI {
class App;
}

namespace vesk::cli {

class CaseFilterOptions {
public:
    void declare(CLI::App& app);
    // Throws UsageError for a time that is no date or a condition that cannot be read.
    CaseFilter filter() const;
    // The attribute keys the conditions name.
    std::vector<std::string> condition_keys() const;

    static constexpr const char* kHelp =
        "Case filters apply to the cases read, before anything is made of them: first the "
        "event conditions (--event-where EXPR: only the events that meet it are kept; cases "
        "left without events go), then the case conditions (--case-where EXPR: the cases whose "
        "case attribute, or for an event attribute one of whose events, meets it), then the time "
        "window (--from, --to: the case's first event; a bare date --to includes that day), "
        "then the start and end activities (--starts-with, --ends-with, each repeatable: a "
        "case whose first or last event is one of them, named with or without the event type), "
        "then among the cases left the most frequent variants (--top-variants N, "
        "--variant-coverage P: those that together cover P% of the cases; a variant is the "
        "sequence of the events' names).\n"
        "EXPR is KEY=VALUE, KEY!=VALUE, KEY<N, KEY<=N, KEY>N, KEY>=N or KEY~TEXT (contains, "
        "ignoring case), several joined by \",\" meaning all of them; both options may be "
        "repeated, and all must hold. Put a key or value holding \",\", an operator or outer "
        "blanks in double quotes (\"\" is a quote). Numbers compare as numbers, dates as "
        "moments (YYYY-MM-DD[THH:MM[:SS]], UTC); a condition holds only where the attribute has "
        "a value. The attributes named are read whatever --attributes says; see 'vesk-cli "
        "attributes LOG' for the keys.";

private:
    std::optional<std::int64_t> top_variants_;
    std::optional<double> variant_coverage_;
    std::vector<std::string> starts_with_;
    std::vector<std::string> ends_with_;
    std::string from_;
    std::string to_;
    std::vector<std::string> case_where_;
    std::vector<std::string> event_where_;
};

}  // namespace vesk::cli
