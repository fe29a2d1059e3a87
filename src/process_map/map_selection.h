#pragma once
// What the two sliders of a process map keep: the most frequent activities, and of the paths
// between them the most frequent ones, with every kept activity on a path from where cases
// start to where they end, so that the map does not fall apart.

#include <vector>

#include "process_map/process_map.h"

namespace vesk {

struct MapSelection {
    // By activity id and by index of the map's edges.
    std::vector<bool> activities;
    std::vector<bool> edges;
    // Of the map's starts and ends: those of kept activities.
    std::vector<bool> starts;
    std::vector<bool> ends;
};

// activity_percent: the most frequent activities that together hold this share of the events
// (at least one). path_percent: of the edges between kept activities, the most frequent ones up
// to this share of their number, rounded up; then, for every kept activity, the widest path
// (whose weakest edge is strongest) from the starts of cases to it and from it to their ends,
// self-loops never counting as a way in or out. Both 0 to 100; 100 keeps everything. A larger
// path percentage never keeps less.
MapSelection select_map(const ProcessMap& map, double activity_percent, double path_percent);

// How much of the behaviour a selection shows: its activities' share of the events, and its
// paths' share of the directly-follows pairs. Both 0 to 1 (1 for a map of nothing).
struct MapCoverage {
    double events = 1;
    double pairs = 1;
};
MapCoverage coverage_of(const ProcessMap& map, const MapSelection& selection);

}  // namespace vesk
