#pragma once
// The process map of a log: its activities, where cases start and end, the directly-follows
// paths between activities with how often and how long they take, and the variants (the
// distinct sequences of activities with their cases).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "log/vesk_loglist.h"
#include "process_map/case_steps.h"
#include "process_map/duration_figures.h"

namespace vesk {

struct MapActivity {
    std::string name;
    std::int64_t events = 0;
    // Cases that hold the activity at least once.
    std::int64_t cases = 0;
    // Of the instances with a start and a complete event; only in the instance view.
    std::optional<DurationFigures> service_minutes;
};

// Cases that start (or end) with an activity.
struct MapEndpoint {
    std::int32_t activity = 0;
    std::int64_t cases = 0;
};

// a -> b: b is the next step after a in the same case; the minutes run from the end of a to the
// beginning of b. Where b began before a ended (instances that overlap, or events stamped out of
// order) there is no such time: those are counted apart and left out of the minutes.
struct MapEdge {
    std::int32_t from = 0;
    std::int32_t to = 0;
    std::int64_t count = 0;
    DurationFigures minutes;
    std::int64_t overlapping = 0;
};

struct MapVariant {
    std::vector<std::int32_t> activities;
    std::int64_t cases = 0;
    // Of all cases.
    double share = 0;
    // From the beginning of the first step to the end of the last.
    double median_flow_minutes = 0;
};

struct ProcessMap {
    std::int64_t cases = 0;
    // Steps: events, or activity instances in the instance view.
    std::int64_t events = 0;
    bool instance_view = false;
    // Activity ids index this list, most events first (then by name).
    std::vector<MapActivity> activities;
    // Most cases first.
    std::vector<MapEndpoint> starts;
    std::vector<MapEndpoint> ends;
    // Most frequent first.
    std::vector<MapEdge> edges;
    // Most cases first; equal ones in the order they first appear.
    std::vector<MapVariant> variants;
};

// The map of the lines (contiguous cases, as a log holds them).
ProcessMap build_process_map(const Tloglist& lines, const StepOptions& options);

}  // namespace vesk
