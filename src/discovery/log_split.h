#pragma once
// Dividing a trace log along a cut: one log per part. Events that do not fit the cut (possible
// when the cut was found on a filtered graph) are left out, as few as possible.

#include <cstdint>
#include <vector>

#include "discovery/cuts.h"
#include "discovery/trace_log.h"

namespace vesk {

// universe: one more than the largest activity id of the log.
std::vector<TraceLog> split_log(const TraceLog& log, const Cut& cut, std::int32_t universe);

// For each trace of the log (in its order), whether its piece of each part of the sequence cut
// holds events.
std::vector<std::vector<bool>> sequence_presence(const TraceLog& log, const Cut& cut,
                                                 std::int32_t universe);

// A choice cut whose split would drop every event of an activity of at least min_events events
// (possible where the cut was found on a filtered graph: each case goes to one part): the
// activity joins the part that most of its events' cases go to, where it is mined (as an
// optional step, say) instead of vanishing. Kind none where fewer than two parts remain.
Cut keep_choice_activities(const TraceLog& log, Cut cut, std::int32_t universe,
                           std::int64_t min_events);

// Each trace cut before every position where keep_apart(previous event, event) holds.
template <typename Predicate>
TraceLog cut_traces(const TraceLog& log, Predicate keep_apart) {
    const auto all = [](std::int32_t) { return true; };
    TraceLog result;
    for (const Trace& trace : log) {
        std::size_t piece_begin = 0;
        for (std::size_t i = 1; i < trace.events.size(); ++i) {
            if (!keep_apart(trace.events[i - 1], trace.events[i])) continue;
            result.push_back(projected(trace, piece_begin, i, all));
            piece_begin = i;
        }
        result.push_back(projected(trace, piece_begin, trace.events.size(), all));
    }
    return merged(std::move(result));
}

}  // namespace vesk
