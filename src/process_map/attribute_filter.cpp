#include "process_map/attribute_filter.h"

#include "log/vesk_logline_reader.h"

namespace vesk {

namespace {

std::vector<ConditionSet> condition_sets(const Tloglist& lines, const ConditionGroups& groups,
                                         ConditionSet::Prefer prefer) {
    std::vector<ConditionSet> sets;
    for (const auto& group : groups)
        sets.emplace_back(group, lines.attributes(), prefer);
    return sets;
}

}  // namespace

EventRemoval keep_events_where(Tloglist& lines, const ConditionGroups& groups) {
    EventRemoval removal;
    if (groups.empty()) return removal;
    const std::vector<ConditionSet> sets =
        condition_sets(lines, groups, ConditionSet::Prefer::event_level);
    std::size_t written = 0;
    for (std::size_t begin = 0; begin < lines.size();) {
        const std::size_t end = lines.case_end(begin);
        const std::int32_t case_number = lines[begin].case_number();
        const std::size_t case_written = written;
        for (std::size_t row = begin; row < end; ++row) {
            bool keep = true;
            for (const ConditionSet& set : sets)
                keep = keep && set.case_holds(case_number) && set.event_holds(row);
            if (!keep) continue;
            if (written != row) lines.move_line(written, row);
            ++written;
        }
        removal.events += static_cast<std::int64_t>((end - begin) - (written - case_written));
        if (written == case_written) ++removal.emptied_cases;
        begin = end;
    }
    lines.truncate(written);
    if (removal.events > 0) {
        for (Tlog_line& line : lines) {
            line.loop_length = kNone;
            line.two_loop_partners = kNone;
        }
        compute_loop_information(lines);
    }
    return removal;
}

std::vector<bool> cases_where(const Tloglist& lines, const ConditionGroups& groups) {
    std::vector<bool> keep;
    const std::vector<ConditionSet> sets =
        condition_sets(lines, groups, ConditionSet::Prefer::case_level);
    for (std::size_t begin = 0; begin < lines.size();) {
        const std::size_t end = lines.case_end(begin);
        bool holds = true;
        for (const ConditionSet& set : sets) {
            holds = holds && set.case_holds(lines[begin].case_number());
            if (!holds || !set.has_event_conditions()) continue;
            bool some_event = false;
            for (std::size_t row = begin; row < end && !some_event; ++row)
                some_event = set.event_holds(row);
            holds = some_event;
        }
        keep.push_back(holds);
        begin = end;
    }
    return keep;
}

}  // namespace vesk
