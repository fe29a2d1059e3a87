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
