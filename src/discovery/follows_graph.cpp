#include "discovery/follows_graph.h"

#include <algorithm>

namespace vesk {

namespace {

// Per position v, the instances that the first instance beginning after them is v.
FollowsGraph::Ended ended_before(const Trace& trace) {
    FollowsGraph::Ended result(trace.events.size() + 1);
    for (std::size_t x = 0; x < trace.events.size(); ++x)
        result[first_after(trace, x)].push_back(x);
    return result;
}

}  // namespace

FollowsGraph::FollowsGraph(const TraceLog& log, std::int32_t universe, std::int32_t left_out,
                           std::optional<RepeatWeight> eventually) {
    node_of_.assign(static_cast<std::size_t>(universe), -1);
    for (const Trace& trace : log)
        for (const std::int32_t id : trace.events)
            node_of_[idx(id)] = 0;
    if (left_out >= 0) node_of_[idx(left_out)] = -1;
    for (std::int32_t id = 0; id < universe; ++id)
        if (node_of_[idx(id)] == 0) {
            node_of_[idx(id)] = size();
            activities_.push_back(id);
        }
    const std::size_t n = activities_.size();
    edges_.assign(n * n, 0);
    starts_.assign(n, 0);
    ends_.assign(n, 0);
    const auto kept = [this](std::int32_t id) { return node_of_[idx(id)] >= 0; };
    for (const Trace& trace : log) {
        const bool whole =
            left_out < 0 || std::all_of(trace.events.begin(), trace.events.end(), kept);
        const Trace seen = whole ? Trace{} : projected(trace, 0, trace.events.size(), kept);
        add_trace(whole ? trace : seen, eventually);
    }
}

FollowsGraph FollowsGraph::eventually(const TraceLog& log, std::int32_t universe,
                                      std::int32_t left_out, RepeatWeight repeats) {
    return FollowsGraph(log, universe, left_out, repeats);
}

std::int64_t& FollowsGraph::cell(std::int32_t from_id, std::int32_t to_id) {
    return edges_[idx(node_of_[idx(from_id)]) * activities_.size() + idx(node_of_[idx(to_id)])];
}

void FollowsGraph::add_trace(const Trace& trace, std::optional<RepeatWeight> eventually) {
    const auto& events = trace.events;
    if (events.empty()) return;
    const std::size_t n = events.size();
    const std::int64_t count = trace.count;
    // Instances that overlap are concurrent: an edge each way.
    for (std::size_t x = 0; x < n; ++x)
        for (std::size_t y = x + 1; y < first_after(trace, x); ++y) {
            cell(events[x], events[y]) += count;
            cell(events[y], events[x]) += count;
        }
    std::size_t first_end = n;  // the earliest end so far, as a position
    for (std::size_t y = 0; y < n; ++y) {
        if (first_end > y) starts_[idx(node_of_[idx(events[y])])] += count;
        first_end = std::min(first_end, first_after(trace, y));
        if (first_after(trace, y) == n) ends_[idx(node_of_[idx(events[y])])] += count;
    }
    if (eventually == RepeatWeight::each_event) return add_later(trace);
    const Ended ended = ended_before(trace);
    if (eventually == RepeatWeight::every_pair) return add_later_pairs(trace, ended);
    // x directly before y: x ended before y began, and no instance lies wholly between them,
    // that is none began after x ended and ended before y began.
    std::ptrdiff_t latest = -1;  // the latest instance to begin among those ended before y
    for (std::size_t y = 0; y < n; ++y) {
        for (const std::size_t z : ended[y])
            latest = std::max(latest, static_cast<std::ptrdiff_t>(z));
        for (auto v = static_cast<std::size_t>(latest + 1); v <= y; ++v)
            for (const std::size_t x : ended[v])
                cell(events[x], events[y]) += count;
    }
}

// Each instance counts once towards every activity that begins after it ended, however often
// that activity recurs.
void FollowsGraph::add_later(const Trace& trace) {
    const std::size_t n = activities_.size();
    const std::size_t length = trace.events.size();
    std::vector<std::size_t> last(n, length);  // the last position of each node in the case
    std::vector<std::size_t> present;
    for (std::size_t y = 0; y < length; ++y) {
        const std::size_t node = idx(node_of_[idx(trace.events[y])]);
        if (last[node] == length) present.push_back(node);
        last[node] = y;
    }
    for (std::size_t x = 0; x < length; ++x) {
        const std::size_t from = idx(node_of_[idx(trace.events[x])]);
        const std::size_t after = first_after(trace, x);
        for (const std::size_t to : present)
            if (last[to] >= after) edges_[from * n + to] += trace.count;
    }
}

// Every instance that ended before y began counts towards y.
void FollowsGraph::add_later_pairs(const Trace& trace, const Ended& ended) {
    const std::size_t n = activities_.size();
    std::vector<std::int64_t> before(n, 0);
    for (std::size_t y = 0; y < trace.events.size(); ++y) {
        for (const std::size_t x : ended[y])
            ++before[idx(node_of_[idx(trace.events[x])])];
        const std::size_t to = idx(node_of_[idx(trace.events[y])]);
        for (std::size_t from = 0; from < n; ++from)
            edges_[from * n + to] += before[from] * trace.count;
    }
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
