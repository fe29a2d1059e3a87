#pragma once
// What the two sliders of a process map keep: the log projected onto its most frequent
// activities, and of the paths between them the most frequent ones, with every activity on a
// path from where cases start to where they end, so that the map does not fall apart.

#include <cstddef>
#include <vector>

#include "process_map/process_map.h"

namespace vesk {

// The paths a map's paths slider keeps; every activity of the map is drawn.
struct MapSelection {
    // By index of the map's edges.
    std::vector<bool> edges;
    // By index of the map's starts and ends.
    std::vector<bool> starts;
    std::vector<bool> ends;
};

// How many of the map's activities (most frequent first) an activities slider at this
// percentage keeps: those that together hold this share of the events, at least one.
std::size_t kept_activity_count(const ProcessMap& map, double activity_percent);

// The map of the lines projected onto the activities of `whole` (the lines' map under the same
// options) that an activities slider at `activity_percent` keeps: the events of the others are
// left out and everything is counted again on what remains, so that what flowed through a
// hidden activity shows as a path between its neighbours. `whole` itself when every activity
// is kept.
ProcessMap projected_map(const Tloglist& lines, const StepOptions& options, const ProcessMap& whole,
                         double activity_percent);

// Of the map's edges, the most frequent ones up to path_percent of their number, rounded up;
// then, for every activity, the widest path (whose weakest edge is strongest) from the starts of
// cases to it and from it to their ends, self-loops never counting as a way in or out. 0 to
// 100; 100 keeps everything. A larger percentage never keeps less.
MapSelection select_paths(const ProcessMap& map, double path_percent);

// How much of the behaviour of `whole` a picture shows: the shown map's share of the events, and
// its kept paths' share of the directly-follows pairs between the shown activities. Both 0 to 1
// (1 for a map of nothing).
struct MapCoverage {
    double events = 1;
    double pairs = 1;
};
MapCoverage coverage_of(const ProcessMap& whole, const ProcessMap& shown,
                        const MapSelection& selection);

}  // namespace vesk
