#include "process_map/case_filter.h"

#include <date/date.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "base/number_format.h"
#include "base/sequence_hash.h"
#include "process_map/case_steps.h"

namespace vesk {

namespace {

struct CaseRange {
    std::size_t begin;
    std::size_t end;
};

std::vector<CaseRange> case_ranges(const Tloglist& lines) {
    std::vector<CaseRange> ranges;
    for (std::size_t begin = 0; begin < lines.size(); begin = ranges.back().end)
        ranges.push_back({begin, lines.case_end(begin)});
    return ranges;
}

bool names_one_of(const std::string& name, const std::vector<std::string>& wanted) {
    if (wanted.empty()) return true;
    const std::string activity = activity_of(name);
    return std::any_of(wanted.begin(), wanted.end(),
                       [&](const std::string& w) { return w == name || w == activity; });
}

// Counts the case against the first rule that removes it.
bool passes_window_and_ends(const Tloglist& lines, const CaseRange& range, const CaseFilter& filter,
                            CaseFilterResult& result) {
    const Tlog_line& first = lines[range.begin];
    const Tlog_line& last = lines[range.end - 1];
    if (filter.from_minute || filter.to_minute) {
        const double moment = minute_stamp(first);
        if ((filter.from_minute && moment < *filter.from_minute) ||
            (filter.to_minute && moment >= *filter.to_minute)) {
            ++result.outside_window;
            return false;
        }
    }
    if (!names_one_of(lines.name(first), filter.start_activities)) {
        ++result.other_start;
        return false;
    }
    if (!names_one_of(lines.name(last), filter.end_activities)) {
        ++result.other_end;
        return false;
    }
    return true;
}

// The wanted activities that name no line of the log, with or without its event type.
std::vector<std::string> unknown_of(const Tloglist& lines, const std::vector<std::string>& wanted) {
    std::vector<bool> used(static_cast<std::size_t>(lines.name_count()), false);
    for (const Tlog_line& line : lines)
        used[static_cast<std::size_t>(line.name_id())] = true;
    std::vector<std::string> unknown;
    for (const std::string& name : wanted) {
        bool found = false;
        for (std::int32_t id = 0; id < lines.name_count() && !found; ++id)
            found = used[static_cast<std::size_t>(id)] && names_one_of(lines.name_of(id), {name});
        if (!found) unknown.push_back(name);
    }
    return unknown;
}

// Keeps, among the kept cases, those of the most frequent variants the filter asks for.
void keep_frequent_variants(const Tloglist& lines, const std::vector<CaseRange>& ranges,
                            const CaseFilter& filter, std::vector<bool>& keep) {
    std::unordered_map<std::vector<std::int32_t>, std::size_t, SequenceHash> index;
    std::vector<std::int64_t> counts;
    std::vector<std::size_t> variant_of(ranges.size(), 0);
    std::int64_t total = 0;
    for (std::size_t c = 0; c < ranges.size(); ++c) {
        if (!keep[c]) continue;
        std::vector<std::int32_t> sequence;
        for (std::size_t i = ranges[c].begin; i < ranges[c].end; ++i)
            sequence.push_back(lines[i].name_id());
        const auto [found, added] = index.try_emplace(std::move(sequence), counts.size());
        if (added) counts.push_back(0);
        ++counts[found->second];
        variant_of[c] = found->second;
        ++total;
    }
    std::vector<std::size_t> order(counts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&counts](std::size_t a, std::size_t b) { return counts[a] > counts[b]; });
    std::vector<bool> chosen(counts.size(), false);
    const double wanted = static_cast<double>(total) *
                          std::clamp(filter.variant_coverage.value_or(100), 0.0, 100.0) / 100;
    std::int64_t covered = 0;
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        if (filter.top_variants && static_cast<std::int64_t>(rank) >= *filter.top_variants) break;
        if (rank > 0 && static_cast<double>(covered) >= wanted) break;
        chosen[order[rank]] = true;
        covered += counts[order[rank]];
    }
    for (std::size_t c = 0; c < ranges.size(); ++c)
        if (keep[c] && !chosen[variant_of[c]]) keep[c] = false;
}

}  // namespace

bool CaseFilter::keeps_everything() const {
    return !top_variants && !variant_coverage && start_activities.empty() &&
           end_activities.empty() && !from_minute && !to_minute && event_where.empty() &&
           case_where.empty();
}

CaseFilterResult filter_cases(Tloglist& lines, const CaseFilter& filter) {
    const auto total = static_cast<std::int64_t>(case_ranges(lines).size());
    CaseFilterResult result{total, total};
    if (filter.keeps_everything()) return result;
    const EventRemoval removal = keep_events_where(lines, filter.event_where);
    result.events_removed = removal.events;
    result.emptied_by_events = removal.emptied_cases;
    const std::vector<CaseRange> ranges = case_ranges(lines);
    std::vector<bool> keep = filter.case_where.empty() ? std::vector<bool>(ranges.size(), true)
                                                       : cases_where(lines, filter.case_where);
    result.other_attributes = std::count(keep.begin(), keep.end(), false);
    result.unknown_starts = unknown_of(lines, filter.start_activities);
    result.unknown_ends = unknown_of(lines, filter.end_activities);
    for (std::size_t c = 0; c < ranges.size(); ++c)
        keep[c] = keep[c] && passes_window_and_ends(lines, ranges[c], filter, result);
    const auto kept_so_far = std::count(keep.begin(), keep.end(), true);
    if (filter.top_variants || filter.variant_coverage)
        keep_frequent_variants(lines, ranges, filter, keep);
    std::size_t written = 0;
    for (std::size_t c = 0; c < ranges.size(); ++c) {
        if (!keep[c]) continue;
        for (std::size_t i = ranges[c].begin; i < ranges[c].end; ++i, ++written)
            if (written != i) lines.move_line(written, i);
    }
    lines.truncate(written);
    result.kept = std::count(keep.begin(), keep.end(), true);
    result.rarer_variants = kept_so_far - result.kept;
    return result;
}

std::string case_filter_removals_text(const CaseFilterResult& result) {
    std::string text = "kept " + kept_cases_text(result);
    std::string why;
    const auto add = [&why](std::int64_t count, const std::string& rule) {
        if (count == 0) return;
        why += (why.empty() ? ": " : ", ") + grouped_number(count) + " " + rule;
    };
    add(result.emptied_by_events, "had no event left by the event conditions");
    add(result.other_attributes, "do not meet the case conditions");
    add(result.outside_window, "began outside the time window");
    add(result.other_start, "start with another activity");
    add(result.other_end, "end with another activity");
    add(result.rarer_variants, "belong to rarer variants");
    if (result.events_removed > 0)
        why += "; " + grouped_number(result.events_removed) +
               " events did not meet the event conditions";
    return text + why;
}

std::optional<double> filter_minute(const std::string& text, bool end_of_day) {
    // YYYY-MM-DD, then optionally T (or a blank) HH:MM, then optionally :SS.
    const auto digits_at = [&text](std::size_t at, std::size_t count) -> std::optional<int> {
        if (at + count > text.size()) return std::nullopt;
        int value = 0;
        const char* first = text.data() + at;
        const auto [end, error] = std::from_chars(first, first + count, value);
        if (error != std::errc() || end != first + count || *first == '-' || *first == '+')
            return std::nullopt;
        return value;
    };
    const auto separator_at = [&text](std::size_t at, std::string_view allowed) {
        return at < text.size() && allowed.find(text[at]) != std::string_view::npos;
    };
    const auto year = digits_at(0, 4), month = digits_at(5, 2), day = digits_at(8, 2);
    if (!year || !month || !day || !separator_at(4, "-") || !separator_at(7, "-"))
        return std::nullopt;
    const date::year_month_day ymd{date::year(*year), date::month(static_cast<unsigned>(*month)),
                                   date::day(static_cast<unsigned>(*day))};
    if (!ymd.ok()) return std::nullopt;
    const double midnight =
        static_cast<double>(date::sys_days(ymd).time_since_epoch().count()) * 1440.0;
    if (text.size() == 10) return midnight + (end_of_day ? 1440.0 : 0.0);
    const auto hour = digits_at(11, 2), minute = digits_at(14, 2);
    if (!separator_at(10, "T ") || !hour || !minute || !separator_at(13, ":") || *hour > 23 ||
        *minute > 59)
        return std::nullopt;
    int second = 0;
    if (text.size() != 16) {
        const auto seconds = digits_at(17, 2);
        if (text.size() != 19 || !separator_at(16, ":") || !seconds || *seconds > 59)
            return std::nullopt;
        second = *seconds;
    }
    return midnight + *hour * 60.0 + *minute + second / 60.0;
}

std::string kept_cases_text(const CaseFilterResult& result) {
    return grouped_number(result.kept) + " of " + grouped_number(result.total) + " cases";
}

}  // namespace vesk
