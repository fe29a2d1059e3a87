#include "process_map/process_map.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "base/sequence_hash.h"

namespace vesk {

namespace {

// Counts the cases one by one; ids are those the steps carry until finish() orders them.
class MapBuilder {
public:
    void add_case(std::span<const MapStep> steps);
    ProcessMap finish(const std::vector<std::string>& names, bool instance_view);

private:
    struct ActivityCounts {
        std::int64_t events = 0;
        std::int64_t cases = 0;
        std::int64_t last_case = -1;
        std::int64_t starts = 0;
        std::int64_t ends = 0;
        std::vector<double> service;
    };
    struct EdgeCounts {
        std::int32_t from;
        std::int32_t to;
        std::int64_t count = 0;
        std::int64_t overlapping = 0;
        std::vector<double> minutes;
    };
    struct VariantCounts {
        std::vector<double> flows;
    };

    ActivityCounts& activity(std::int32_t id);
    static std::vector<std::int32_t> order_of_activities(const std::vector<ActivityCounts>& counts,
                                                         const std::vector<std::string>& names);
    void fill_edges(ProcessMap& map, const std::vector<std::int32_t>& new_id);
    void fill_variants(ProcessMap& map, const std::vector<std::int32_t>& new_id);

    std::int64_t cases_ = 0;
    std::int64_t events_ = 0;
    std::vector<ActivityCounts> activities_;
    std::unordered_map<std::uint64_t, std::size_t> edge_index_;
    std::vector<EdgeCounts> edges_;
    std::unordered_map<std::vector<std::int32_t>, std::size_t, SequenceHash> variant_index_;
    std::vector<std::pair<std::vector<std::int32_t>, VariantCounts>> variants_;
    std::vector<std::int32_t> sequence_;
};

MapBuilder::ActivityCounts& MapBuilder::activity(std::int32_t id) {
    const auto at = static_cast<std::size_t>(id);
    if (at >= activities_.size()) activities_.resize(at + 1);
    return activities_[at];
}

void MapBuilder::add_case(std::span<const MapStep> steps) {
    sequence_.clear();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const MapStep& step = steps[i];
        ActivityCounts& counts = activity(step.activity);
        ++counts.events;
        if (counts.last_case != cases_) ++counts.cases;
        counts.last_case = cases_;
        if (step.has_service_time) counts.service.push_back(step.end - step.begin);
        sequence_.push_back(step.activity);
        if (i == 0) continue;
        const MapStep& before = steps[i - 1];
        const std::uint64_t key = (static_cast<std::uint64_t>(before.activity) << 32) |
                                  static_cast<std::uint32_t>(step.activity);
        const auto [found, added] = edge_index_.try_emplace(key, edges_.size());
        if (added) edges_.push_back({before.activity, step.activity, 0, 0, {}});
        EdgeCounts& edge = edges_[found->second];
        ++edge.count;
        const double gap = step.begin - before.end;
        if (gap < 0)
            ++edge.overlapping;
        else
            edge.minutes.push_back(gap);
    }
    ++activity(steps.front().activity).starts;
    ++activity(steps.back().activity).ends;
    double last_end = steps.front().end;
    for (const MapStep& step : steps)
        last_end = std::max(last_end, step.end);
    const auto [found, added] = variant_index_.try_emplace(sequence_, variants_.size());
    if (added) variants_.push_back({sequence_, {}});
    variants_[found->second].second.flows.push_back(last_end - steps.front().begin);
    events_ += static_cast<std::int64_t>(steps.size());
    ++cases_;
}

std::vector<std::int32_t> MapBuilder::order_of_activities(const std::vector<ActivityCounts>& counts,
                                                          const std::vector<std::string>& names) {
    std::vector<std::int32_t> order(counts.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
        const auto& ca = counts[static_cast<std::size_t>(a)];
        const auto& cb = counts[static_cast<std::size_t>(b)];
        if (ca.events != cb.events) return ca.events > cb.events;
        return names[static_cast<std::size_t>(a)] < names[static_cast<std::size_t>(b)];
    });
    return order;
}

void MapBuilder::fill_edges(ProcessMap& map, const std::vector<std::int32_t>& new_id) {
    for (EdgeCounts& edge : edges_) {
        map.edges.push_back({new_id[static_cast<std::size_t>(edge.from)],
                             new_id[static_cast<std::size_t>(edge.to)], edge.count,
                             duration_figures(edge.minutes), edge.overlapping});
    }
    std::sort(map.edges.begin(), map.edges.end(), [](const MapEdge& a, const MapEdge& b) {
        if (a.count != b.count) return a.count > b.count;
        return std::pair(a.from, a.to) < std::pair(b.from, b.to);
    });
}

void MapBuilder::fill_variants(ProcessMap& map, const std::vector<std::int32_t>& new_id) {
    for (auto& [sequence, counts] : variants_) {
        MapVariant variant;
        for (const std::int32_t id : sequence)
            variant.activities.push_back(new_id[static_cast<std::size_t>(id)]);
        variant.cases = static_cast<std::int64_t>(counts.flows.size());
        variant.share = static_cast<double>(variant.cases) / static_cast<double>(cases_);
        variant.median_flow_minutes = median_of(counts.flows);
        map.variants.push_back(std::move(variant));
    }
    std::stable_sort(map.variants.begin(), map.variants.end(),
                     [](const MapVariant& a, const MapVariant& b) { return a.cases > b.cases; });
}

ProcessMap MapBuilder::finish(const std::vector<std::string>& names, bool instance_view) {
    activities_.resize(names.size());
    ProcessMap map;
    map.cases = cases_;
    map.events = events_;
    map.instance_view = instance_view;
    const std::vector<std::int32_t> order = order_of_activities(activities_, names);
    std::vector<std::int32_t> new_id(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto old = static_cast<std::size_t>(order[i]);
        new_id[old] = static_cast<std::int32_t>(i);
        ActivityCounts& counts = activities_[old];
        MapActivity activity{names[old], counts.events, counts.cases, std::nullopt};
        if (instance_view) activity.service_minutes = duration_figures(counts.service);
        map.activities.push_back(std::move(activity));
        const auto id = static_cast<std::int32_t>(i);
        if (counts.starts > 0) map.starts.push_back({id, counts.starts});
        if (counts.ends > 0) map.ends.push_back({id, counts.ends});
    }
    const auto by_cases = [](const MapEndpoint& a, const MapEndpoint& b) {
        return a.cases != b.cases ? a.cases > b.cases : a.activity < b.activity;
    };
    std::sort(map.starts.begin(), map.starts.end(), by_cases);
    std::sort(map.ends.begin(), map.ends.end(), by_cases);
    fill_edges(map, new_id);
    fill_variants(map, new_id);
    return map;
}

}  // namespace

ProcessMap build_process_map(const Tloglist& lines, const StepOptions& options) {
    CaseSteps steps(options);
    MapBuilder builder;
    steps.for_each_case(lines, [&builder](std::span<const MapStep> s) { builder.add_case(s); });
    return builder.finish(steps.names(), options.instances);
}

}  // namespace vesk
