#pragma once
// Which cases of a log an analysis keeps: events and cases by their attributes, the most
// frequent variants, cases that start or end with given activities, cases that begin within a
// time window. Applied to the log's lines before anything else is made of them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "log/vesk_loglist.h"
#include "process_map/attribute_filter.h"

namespace vesk {

struct CaseFilter {
    // The cases of the N most frequent variants (sequences of the lines' names).
    std::optional<std::int64_t> top_variants = std::nullopt;
    // The most frequent variants that together cover this percentage of the cases.
    std::optional<double> variant_coverage = std::nullopt;
    // Cases whose first (last) line is one of these activities, named with or without the
    // event type ("register request" or "register request_complete"). Empty: any.
    std::vector<std::string> start_activities = {};
    std::vector<std::string> end_activities = {};
    // Cases whose first line lies at or after from and before to (minutes since 1970).
    std::optional<double> from_minute = std::nullopt;
    std::optional<double> to_minute = std::nullopt;
    // Events that satisfy every group (cases left without events go), then cases that do.
    ConditionGroups event_where = {};
    ConditionGroups case_where = {};

    bool keeps_everything() const;
};

struct CaseFilterResult {
    std::int64_t kept = 0;
    std::int64_t total = 0;
    // The events the event conditions removed.
    std::int64_t events_removed = 0;
    // The cases each rule removed, the rules taken in the order they are applied.
    std::int64_t emptied_by_events = 0;
    std::int64_t other_attributes = 0;
    std::int64_t outside_window = 0;
    std::int64_t other_start = 0;
    std::int64_t other_end = 0;
    std::int64_t rarer_variants = 0;
    // Start and end activities the filter names that no case of the log has at all.
    std::vector<std::string> unknown_starts = {};
    std::vector<std::string> unknown_ends = {};
};

// "kept 0 of 30 cases: 12 began outside the time window, 18 start with another activity".
std::string case_filter_removals_text(const CaseFilterResult& result);

// Removes the events and cases the filter does not keep: the event conditions first, then the
// case conditions, the time window and the start and end activities; the variant rules then
// count among the cases left. Throws AttributeConditionError for conditions the log cannot take.
CaseFilterResult filter_cases(Tloglist& lines, const CaseFilter& filter);

// "2012-01-31" (the start of the day) or "2012-01-31T14:05[:30]", as minutes since 1970; with
// end_of_day a bare date stands for the end of that day. Empty for other text.
std::optional<double> filter_minute(const std::string& text, bool end_of_day);

// "1,203 of 13,087 cases".
std::string kept_cases_text(const CaseFilterResult& result);

}  // namespace vesk
