#include "cli/case_filter_options.h"
#include "cli/option_checks.h"

#include <CLI/CLI.hpp>

#include "cli/command.h"

namespace vesk::cli {

namespace {

std::optional<double> moment_of(const std::string& text, const char* option, bool end_of_day) {
    if (text.empty()) return std::nullopt;
    const std::optional<double> minute = filter_minute(text, end_of_day);
    if (!minute)
        throw UsageError(std::string(option) +
                         ": expected YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS], not \"" + text + "\"");
    return minute;
}

ConditionGroups conditions_of(const std::vector<std::string>& texts, const char* option) {
    ConditionGroups groups;
    for (const std::string& text : texts) {
        try {
            groups.push_back(parse_conditions(text));
        } catch (const AttributeConditionError& error) {
            throw UsageError(std::string(option) + ": " + error.what());
        }
    }
    return groups;
}

}  // namespace

void CaseFilterOptions::declare(CLI::App& app) {
    app.add_option("--top-variants", top_variants_,
                   "keep the cases of the N most frequent variants")
        ->check(whole_number_from(1));
    app.add_option("--variant-coverage", variant_coverage_,
                   "keep the most frequent variants that cover P% of the cases")
        ->check(number_from_to(0, 100));
    app.add_option("--starts-with", starts_with_, "keep cases whose first event is ACTIVITY")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--ends-with", ends_with_, "keep cases whose last event is ACTIVITY")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--from", from_, "keep cases whose first event is at or after this time")
        ->check(not_empty("a date"));
    app.add_option("--to", to_, "keep cases whose first event is before this time")
        ->check(not_empty("a date"));
    app.add_option("--event-where", event_where_, "keep only the events that meet EXPR")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--case-where", case_where_,
                   "keep the cases whose attributes (or one of whose events) meet EXPR")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

std::vector<std::string> CaseFilterOptions::condition_keys() const {
    std::vector<std::string> keys;
    for (const CaseFilter filter = this->filter();
         const auto* groups : {&filter.event_where, &filter.case_where})
        for (const auto& group : *groups)
            for (const AttributeCondition& condition : group)
                keys.push_back(condition.key);
    return keys;
}

CaseFilter CaseFilterOptions::filter() const {
    CaseFilter filter;
    filter.top_variants = top_variants_;
    filter.variant_coverage = variant_coverage_;
    filter.start_activities = starts_with_;
    filter.end_activities = ends_with_;
    filter.from_minute = moment_of(from_, "--from", false);
    filter.to_minute = moment_of(to_, "--to", true);
    filter.event_where = conditions_of(event_where_, "--event-where");
    filter.case_where = conditions_of(case_where_, "--case-where");
    return filter;
}

}  // namespace vesk::cli
