#pragma once
// The case filters of every command that reads a process, declared once: --top-variants,
// --variant-coverage, --starts-with, --ends-with, --from, --to.

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
    // Throws UsageError for a time that is no date.
    CaseFilter filter() const;

    static constexpr const char* kHelp =
        "Case filters apply to the cases read, before anything is made of them: the time "
        "window (--from, --to: the case's first event; a bare date --to includes that day), "
        "then the start and end activities (--starts-with, --ends-with, each repeatable: a "
        "case whose first or last event is one of them, named with or without the event type), "
        "then among the cases left the most frequent variants (--top-variants N, "
        "--variant-coverage P: those that together cover P% of the cases; a variant is the "
        "sequence of the events' names).";

private:
    std::optional<std::int64_t> top_variants_;
    std::optional<double> variant_coverage_;
    std::vector<std::string> starts_with_;
    std::vector<std::string> ends_with_;
    std::string from_;
    std::string to_;
};

}  // namespace vesk::cli
