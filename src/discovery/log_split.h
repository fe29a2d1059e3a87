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
    TraceLog result;
    for (const Trace& trace : log) {
        Trace piece{{}, trace.count};
        for (std::size_t i = 0; i < trace.events.size(); ++i) {
            if (i > 0 && keep_apart(trace.events[i - 1], trace.events[i])) {
                result.push_back(piece);
                piece.events.clear();
            }
            piece.events.push_back(trace.events[i]);
        }
        result.push_back(std::move(piece));
    }
    return merged(std::move(result));
}

}  // namespace vesk
