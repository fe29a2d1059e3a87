#pragma once
// A log as the inductive construction sees it: the distinct traces of activity ids, each with the
// number of cases that followed it. Where start and complete events are read, a trace is a
// sequence of activity instances (a start paired with its complete) in the order they began.

#include <cstdint>
#include <string>
#include <vector>

#include "log/vesk_loglist.h"

namespace vesk {

struct Trace {
    std::vector<std::int32_t> events;
    std::int64_t count = 0;
    // Empty where every instance ends before the next one begins (always, without start
    // events); else, per instance, the position of the first instance that began after it
    // ended: instances i < j overlap where j < first_after[i].
    std::vector<std::int32_t> first_after = {};
    friend bool operator==(const Trace&, const Trace&) = default;
};

using TraceLog = std::vector<Trace>;

// The position of the first instance of the trace that began after instance i ended.
inline std::size_t first_after(const Trace& trace, std::size_t i) {
    return trace.first_after.empty() ? i + 1 : static_cast<std::size_t>(trace.first_after[i]);
}

// The instances from..to (exclusive) of the trace that keep(activity) holds, their overlaps kept.
template <typename Keep>
Trace projected(const Trace& trace, std::size_t from, std::size_t to, Keep keep) {
    Trace result{{}, trace.count};
    if (trace.first_after.empty()) {
        for (std::size_t i = from; i < to; ++i)
            if (keep(trace.events[i])) result.events.push_back(trace.events[i]);
        return result;
    }
    // rank[j - from]: the kept instances before position j.
    std::vector<std::int32_t> rank(to - from + 1, 0);
    for (std::size_t i = from; i < to; ++i) {
        const bool kept = keep(trace.events[i]);
        rank[i - from + 1] = rank[i - from] + (kept ? 1 : 0);
        if (kept) result.events.push_back(trace.events[i]);
    }
    bool overlaps = false;
    for (std::size_t i = from; i < to; ++i) {
        if (!keep(trace.events[i])) continue;
        const std::int32_t after = rank[std::min(first_after(trace, i), to) - from];
        overlaps = overlaps || after != static_cast<std::int32_t>(result.first_after.size()) + 1;
        result.first_after.push_back(after);
    }
    if (!overlaps) result.first_after.clear();
    return result;
}

struct VariantLog {
    // Activity names by id, in the order of their first line.
    std::vector<std::string> names;
    TraceLog traces;
    // The events of each activity.
    std::vector<std::int64_t> events;
    // The tasks (task-event names) of the net: per activity its start and complete task where
    // both are read as instances, else the task of its one event type. Empty: the names are the
    // tasks.
    std::vector<std::string> task_names;
    std::vector<std::vector<std::int32_t>> tasks_of;
    // Per activity: a start was never completed, or a complete had no start, in some case.
    std::vector<bool> lone_starts;
    std::vector<bool> lone_completes;
};

// The cases of the lines (contiguous, as a log holds them), their events named by the lines'
// task-event names. Where the lines hold only start and complete events, of both types, the
// cases are activity instances: a start and the next complete of the same activity in the case
// are one instance of the activity, named without its event type.
VariantLog variants_of(const Tloglist& lines);
// Equal traces added up, in the order of their first appearance.
TraceLog merged(TraceLog traces);
// The cases of the log.
std::int64_t case_total(const TraceLog& log);

}  // namespace vesk
