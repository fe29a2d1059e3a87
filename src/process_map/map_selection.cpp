#include "process_map/map_selection.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace vesk {

namespace {

// The widest paths from where cases start to every activity (forward), or from every activity
// to where cases end (backward): of all the ways there, the one whose weakest edge is strongest.
// Self-loops are never a way in or out. Keeps the edges of those paths.
void keep_widest_paths(const ProcessMap& map, bool forward, std::vector<bool>& keep) {
    const std::size_t n = map.activities.size();
    std::vector<std::vector<std::size_t>> leaving(n);
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        const MapEdge& edge = map.edges[e];
        if (edge.from == edge.to) continue;
        leaving[static_cast<std::size_t>(forward ? edge.from : edge.to)].push_back(e);
    }
    std::vector<std::int64_t> width(n, 0);
    std::vector<std::int64_t> via(n, -1);
    std::priority_queue<std::pair<std::int64_t, std::size_t>> open;
    for (const MapEndpoint& end : forward ? map.starts : map.ends) {
        width[static_cast<std::size_t>(end.activity)] = end.cases;
        open.push({end.cases, static_cast<std::size_t>(end.activity)});
    }
    while (!open.empty()) {
        const auto [reached, node] = open.top();
        open.pop();
        if (reached < width[node]) continue;  // a wider way was found meanwhile
        for (const std::size_t e : leaving[node]) {
            const auto next =
                static_cast<std::size_t>(forward ? map.edges[e].to : map.edges[e].from);
            const std::int64_t through = std::min(reached, map.edges[e].count);
            if (through <= width[next]) continue;
            width[next] = through;
            via[next] = static_cast<std::int64_t>(e);
            open.push({through, next});
        }
    }
    for (std::size_t a = 0; a < n; ++a)
        if (via[a] >= 0) keep[static_cast<std::size_t>(via[a])] = true;
}

}  // namespace

std::size_t kept_activity_count(const ProcessMap& map, double activity_percent) {
    // Activities are ordered by events already; the share is compared in whole events so that
    // 100 keeps every one despite rounding.
    const double wanted = static_cast<double>(map.events) *
                          std::clamp(activity_percent, 0.0, 100.0) / 100 * (1 - 1e-12);
    std::int64_t held = 0;
    std::size_t kept = 0;
    for (; kept < map.activities.size(); ++kept) {
        if (kept > 0 && static_cast<double>(held) >= wanted) break;
        held += map.activities[kept].events;
    }
    return kept;
}

ProcessMap projected_map(const Tloglist& lines, const StepOptions& options, const ProcessMap& whole,
                         double activity_percent) {
    const std::size_t kept = kept_activity_count(whole, activity_percent);
    if (kept == whole.activities.size()) return whole;
    StepOptions projection = options;
    projection.only_activities.clear();
    for (std::size_t a = 0; a < kept; ++a)
        projection.only_activities.push_back(whole.activities[a].name);
    return build_process_map(lines, projection);
}

MapSelection select_paths(const ProcessMap& map, double path_percent) {
    MapSelection selection;
    const double share = std::clamp(path_percent, 0.0, 100.0) / 100;
    const auto wanted =
        static_cast<std::size_t>(std::ceil(share * static_cast<double>(map.edges.size()) - 1e-9));
    selection.edges.assign(map.edges.size(), false);
    // Edges are ordered by count already.
    std::fill_n(selection.edges.begin(), std::min(wanted, map.edges.size()), true);
    // Every activity on a path from a start to an end, by the strongest ways there.
    keep_widest_paths(map, true, selection.edges);
    keep_widest_paths(map, false, selection.edges);
    selection.starts.assign(map.starts.size(), true);
    selection.ends.assign(map.ends.size(), true);
    return selection;
}

MapCoverage coverage_of(const ProcessMap& whole, const ProcessMap& shown,
                        const MapSelection& selection) {
    std::int64_t pairs = 0, shown_pairs = 0;
    for (std::size_t e = 0; e < shown.edges.size(); ++e) {
        pairs += shown.edges[e].count;
        if (selection.edges[e]) shown_pairs += shown.edges[e].count;
    }
    MapCoverage coverage;
    if (whole.events > 0)
        coverage.events = static_cast<double>(shown.events) / static_cast<double>(whole.events);
    if (pairs > 0) coverage.pairs = static_cast<double>(shown_pairs) / static_cast<double>(pairs);
    return coverage;
}

}  // namespace vesk
