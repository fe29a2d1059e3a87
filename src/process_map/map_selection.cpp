#include "process_map/map_selection.h"

#include <algorithm>
#include <cmath>

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

// The most frequent incoming and outgoing edge of each kept activity, unless a start (an end)
// of cases outnumbers it.
void keep_strongest_ways(const ProcessMap& map, const std::vector<bool>& candidate,
                         MapSelection& selection) {
    const std::size_t n = map.activities.size();
    std::vector<std::int64_t> best_in(n, 0), best_out(n, 0);
    for (const MapEndpoint& start : map.starts)
        best_in[static_cast<std::size_t>(start.activity)] = start.cases;
    for (const MapEndpoint& end : map.ends)
        best_out[static_cast<std::size_t>(end.activity)] = end.cases;
    std::vector<std::int64_t> chosen_in(n, -1), chosen_out(n, -1);
    // Edges come most frequent first, so the first candidate met is the strongest.
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        if (!candidate[e]) continue;
        const auto from = static_cast<std::size_t>(map.edges[e].from);
        const auto to = static_cast<std::size_t>(map.edges[e].to);
        if (chosen_out[from] < 0 && map.edges[e].count > best_out[from])
            chosen_out[from] = static_cast<std::int64_t>(e);
        if (chosen_in[to] < 0 && map.edges[e].count > best_in[to])
            chosen_in[to] = static_cast<std::int64_t>(e);
        if (chosen_out[from] < 0) chosen_out[from] = -2;
        if (chosen_in[to] < 0) chosen_in[to] = -2;
    }
    for (std::size_t a = 0; a < n; ++a) {
        if (chosen_in[a] >= 0) selection.edges[static_cast<std::size_t>(chosen_in[a])] = true;
        if (chosen_out[a] >= 0) selection.edges[static_cast<std::size_t>(chosen_out[a])] = true;
    }
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
    keep_strongest_ways(map, candidate, selection);
    for (const MapEndpoint& start : map.starts)
        selection.starts.push_back(kept(start.activity));
    for (const MapEndpoint& end : map.ends)
        selection.ends.push_back(kept(end.activity));
    return selection;
}

}  // namespace vesk
