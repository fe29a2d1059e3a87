#pragma once
// The inductive construction: a process tree found by dividing the log recursively along the
// cuts of its directly-follows graph, with infrequent behaviour filtered out (Leemans, Fahland
// and van der Aalst, 2013 and 2014). A noise threshold of 0 filters nothing, and the log then
// fits the tree exactly.

#include <cstdint>
#include <string>
#include <vector>

#include "discovery/follows_graph.h"
#include "discovery/process_tree.h"
#include "discovery/trace_log.h"

namespace vesk {

inline constexpr double kDefaultNoise = 0.2;
// Larger blocks are divided on their directly-follows graph alone, held by its edges: a graph
// of every pair would need thousands of megabytes, and the cuts on it hours.
inline constexpr std::int32_t kMaxBlockActivities = 2000;

// Beyond these, the search for an activity in parallel with the rest (a cut search per
// activity) is skipped, and a block so deep in the tree is drawn as a flower: both keep
// unstructured logs of many activities from taking hours.
inline constexpr std::int32_t kMaxConcurrentSearch = 100;
inline constexpr std::int32_t kMaxDepth = 400;

struct InductiveOptions {
    double noise = kDefaultNoise;
    // How the eventually-follows graph that orders a filtered sequence weighs an activity
    // repeated in a case.
    RepeatWeight repeats = RepeatWeight::each_event;
};

// universe: the number of activity names (ids run from 0 to universe - 1).
ProcessTree mine_tree(const TraceLog& log, std::int32_t universe, const InductiveOptions& options);

// An activity of the log the tree has no leaf for (filtered out as infrequent), with its events.
struct LeftOutActivity {
    std::string name;
    std::int64_t events = 0;
    friend bool operator==(const LeftOutActivity&, const LeftOutActivity&) = default;
};
// Most events first, then by name.
std::vector<LeftOutActivity> left_out_activities(const ProcessTree& tree, const VariantLog& log);

}  // namespace vesk
