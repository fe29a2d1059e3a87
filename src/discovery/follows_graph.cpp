#include "discovery/follows_graph.h"

#include <algorithm>

namespace vesk {

FollowsGraph::FollowsGraph(const TraceLog& log, std::int32_t universe, std::int32_t left_out) {
    std::vector<std::int32_t> node_of(static_cast<std::size_t>(universe), -1);
    for (const Trace& trace : log)
        for (const std::int32_t id : trace.events)
            node_of[idx(id)] = 0;
    if (left_out >= 0) node_of[idx(left_out)] = -1;
    for (std::int32_t id = 0; id < universe; ++id)
        if (node_of[idx(id)] == 0) {
            node_of[idx(id)] = size();
            activities_.push_back(id);
        }
    const std::size_t n = activities_.size();
    edges_.assign(n * n, 0);
    starts_.assign(n, 0);
    ends_.assign(n, 0);
    for (const Trace& trace : log) {
        std::int32_t previous = -1;
        for (const std::int32_t id : trace.events) {
            const std::int32_t node = node_of[idx(id)];
            if (node < 0) continue;
            if (previous < 0)
                starts_[idx(node)] += trace.count;
            else
                edges_[idx(previous) * n + idx(node)] += trace.count;
            previous = node;
        }
        if (previous >= 0) ends_[idx(previous)] += trace.count;
    }
}

FollowsGraph FollowsGraph::eventually(const TraceLog& log, std::int32_t universe,
                                      std::int32_t left_out) {
    FollowsGraph result(log, universe, left_out);
    const std::size_t n = result.activities_.size();
    std::vector<std::int32_t> node_of(static_cast<std::size_t>(universe), -1);
    for (std::size_t node = 0; node < n; ++node)
        node_of[idx(result.activities_[node])] = static_cast<std::int32_t>(node);
    std::fill(result.edges_.begin(), result.edges_.end(), 0);
    // From the back of each case: the events seen so far are the ones that follow.
    std::vector<std::int64_t> later(n);
    for (const Trace& trace : log) {
        std::fill(later.begin(), later.end(), 0);
        for (auto event = trace.events.rbegin(); event != trace.events.rend(); ++event) {
            const std::int32_t node = node_of[idx(*event)];
            if (node < 0) continue;
            const auto from = idx(node);
            for (std::size_t to = 0; to < n; ++to)
                result.edges_[from * n + to] += later[to] * trace.count;
            ++later[from];
        }
    }
    return result;
}

FollowsGraph FollowsGraph::filtered(double threshold) const {
    FollowsGraph result = *this;
    const std::size_t n = activities_.size();
    if (n == 0) return result;
    for (std::size_t from = 0; from < n; ++from) {
        const auto row = result.edges_.begin() + static_cast<std::ptrdiff_t>(from * n);
        const std::int64_t strongest = *std::max_element(row, row + static_cast<std::ptrdiff_t>(n));
        for (auto cell = row; cell != row + static_cast<std::ptrdiff_t>(n); ++cell)
            if (static_cast<double>(*cell) < threshold * static_cast<double>(strongest)) *cell = 0;
    }
    for (std::vector<std::int64_t>* counts : {&result.starts_, &result.ends_}) {
        const std::int64_t strongest = *std::max_element(counts->begin(), counts->end());
        for (std::int64_t& count : *counts)
            if (static_cast<double>(count) < threshold * static_cast<double>(strongest)) count = 0;
    }
    return result;
}

}  // namespace vesk
