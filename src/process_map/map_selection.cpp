#include "process_map/map_selection.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace vesk {

namespace {

std::vector<bool> kept_activities(const ProcessMap& map, double percent) {
    std::vector<bool> kept(map.activities.size(), false);
    // Activities are ordered by events already; the share is compared in whole events so that
    // 100 keeps every one despite rounding.
    const double wanted =
        static_cast<double>(map.events) * std::clamp(percent, 0.0, 100.0) / 100 * (1 - 1e-12);
    std::int64_t held = 0;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0 && static_cast<double>(held) >= wanted) break;
        kept[i] = true;
        held += map.activities[i].events;
    }
    return kept;
}

// The widest paths from where cases start to every activity (forward), or from every activity
// to where cases end (backward): of all the ways there, the one whose weakest edge is strongest.
// Self-loops are never a way in or out. Keeps the edges of those paths.
void keep_widest_paths(const ProcessMap& map, const std::vector<bool>& candidate, bool forward,
                       std::vector<bool>& keep) {
    const std::size_t n = map.activities.size();
    std::vector<std::vector<std::size_t>> leaving(n);
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        const MapEdge& edge = map.edges[e];
        if (!candidate[e] || edge.from == edge.to) continue;
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

MapSelection select_map(const ProcessMap& map, double activity_percent, double path_percent) {
    MapSelection selection;
    selection.activities = kept_activities(map, activity_percent);
    const auto kept = [&selection](std::int32_t activity) {
        return static_cast<bool>(selection.activities[static_cast<std::size_t>(activity)]);
    };
    std::vector<bool> candidate(map.edges.size(), false);
    std::size_t candidates = 0;
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        candidate[e] = kept(map.edges[e].from) && kept(map.edges[e].to);
        if (candidate[e]) ++candidates;
    }
    const double share = std::clamp(path_percent, 0.0, 100.0) / 100;
    const auto wanted =
        static_cast<std::size_t>(std::ceil(share * static_cast<double>(candidates) - 1e-9));
    selection.edges.assign(map.edges.size(), false);
    std::size_t taken = 0;
    for (std::size_t e = 0; e < map.edges.size() && taken < wanted; ++e) {
        if (!candidate[e]) continue;
        selection.edges[e] = true;
        ++taken;
    }
    // Every kept activity on a path from a start to an end, by the strongest ways there.
    keep_widest_paths(map, candidate, true, selection.edges);
    keep_widest_paths(map, candidate, false, selection.edges);
    for (const MapEndpoint& start : map.starts)
        selection.starts.push_back(kept(start.activity));
    for (const MapEndpoint& end : map.ends)
        selection.ends.push_back(kept(end.activity));
    return selection;
}

MapCoverage coverage_of(const ProcessMap& map, const MapSelection& selection) {
    std::int64_t events = 0, pairs = 0, shown_pairs = 0;
    for (std::size_t a = 0; a < map.activities.size(); ++a)
        if (selection.activities[a]) events += map.activities[a].events;
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        pairs += map.edges[e].count;
        if (selection.edges[e]) shown_pairs += map.edges[e].count;
    }
    MapCoverage coverage;
    if (map.events > 0)
        coverage.events = static_cast<double>(events) / static_cast<double>(map.events);
    if (pairs > 0) coverage.pairs = static_cast<double>(shown_pairs) / static_cast<double>(pairs);
    return coverage;
}

}  // namespace vesk
