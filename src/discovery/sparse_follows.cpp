#include "discovery/sparse_follows.h"

#include <algorithm>
#include <unordered_map>

namespace vesk {

SparseFollows::SparseFollows(const TraceLog& log, std::int32_t universe) {
    std::vector<std::int32_t> node_of(static_cast<std::size_t>(universe), -1);
    for (const Trace& trace : log)
        for (const std::int32_t id : trace.events)
            node_of[static_cast<std::size_t>(id)] = 0;
    for (std::int32_t id = 0; id < universe; ++id)
        if (node_of[static_cast<std::size_t>(id)] == 0) {
            node_of[static_cast<std::size_t>(id)] = size();
            activities_.push_back(id);
        }
    const auto node = [&node_of](std::int32_t id) { return node_of[static_cast<std::size_t>(id)]; };
    out_.resize(activities_.size());
    starts_.assign(activities_.size(), 0);
    ends_.assign(activities_.size(), 0);
    std::unordered_map<std::uint64_t, std::int64_t> edges;
    for (const Trace& trace : log) {
        if (trace.events.empty()) {
            empty_ += trace.count;
            continue;
        }
        starts_[at(node(trace.events.front()))] += trace.count;
        ends_[at(node(trace.events.back()))] += trace.count;
        for (std::size_t i = 1; i < trace.events.size(); ++i) {
            const auto from = static_cast<std::uint64_t>(node(trace.events[i - 1]));
            edges[from << 32 | static_cast<std::uint32_t>(node(trace.events[i]))] += trace.count;
        }
    }
    for (const auto& [key, count] : edges)
        out_[key >> 32].push_back({static_cast<std::int32_t>(key & 0xffffffffU), count});
    for (auto& edges_out : out_)
        std::sort(edges_out.begin(), edges_out.end(),
                  [](const EdgeCount& a, const EdgeCount& b) { return a.to < b.to; });
}

bool SparseFollows::has_edge(std::int32_t from, std::int32_t to) const {
    const auto& edges = out_[at(from)];
    const auto found =
        std::lower_bound(edges.begin(), edges.end(), to,
                         [](const EdgeCount& e, std::int32_t t) { return e.to < t; });
    return found != edges.end() && found->to == to;
}

SparseFollows SparseFollows::filtered(double threshold) const {
    SparseFollows result = *this;
    const auto weak = [threshold](std::int64_t count, std::int64_t strongest) {
        return static_cast<double>(count) < threshold * static_cast<double>(strongest);
    };
    for (auto& edges : result.out_) {
        std::int64_t strongest = 0;
        for (const EdgeCount& edge : edges)
            strongest = std::max(strongest, edge.count);
        std::erase_if(edges, [&](const EdgeCount& edge) { return weak(edge.count, strongest); });
    }
    for (std::vector<std::int64_t>* counts : {&result.starts_, &result.ends_}) {
        const std::int64_t strongest = *std::max_element(counts->begin(), counts->end());
        for (std::int64_t& count : *counts)
            if (weak(count, strongest)) count = 0;
    }
    return result;
}

std::vector<SparseFollows> SparseFollows::split(const Cut& cut) const {
    std::vector<std::int32_t> part_of(activities_.size(), -1);
    for (std::int32_t node = 0; node < size(); ++node)
        for (std::size_t p = 0; p < cut.parts.size(); ++p)
            if (std::binary_search(cut.parts[p].begin(), cut.parts[p].end(), activity(node)))
                part_of[at(node)] = static_cast<std::int32_t>(p);
    std::vector<SparseFollows> parts;
    for (std::size_t p = 0; p < cut.parts.size(); ++p)
        parts.push_back(part(part_of, static_cast<std::int32_t>(p), cut.kind));
    return parts;
}

// The edges inside the part stay. Where a case enters the part from another one, the part
// starts there, and ends where the case leaves it; a parallel branch starts and ends where the
// case does. A sequence's part is skipped by edges from earlier parts (or the start) to later
// ones (or the end).
SparseFollows SparseFollows::part(const std::vector<std::int32_t>& part_of, std::int32_t p,
                                  Cut::Kind kind) const {
    SparseFollows result;
    std::vector<std::int32_t> new_node(activities_.size(), -1);
    for (std::int32_t node = 0; node < size(); ++node)
        if (part_of[at(node)] == p) {
            new_node[at(node)] = result.size();
            result.activities_.push_back(activity(node));
            result.starts_.push_back(starts(node));
            result.ends_.push_back(ends(node));
        }
    result.out_.resize(result.activities_.size());
    const bool crossing_counts = kind != Cut::Kind::parallel && kind != Cut::Kind::choice;
    for (std::int32_t from = 0; from < size(); ++from) {
        const std::int32_t from_part = part_of[at(from)];
        if (kind == Cut::Kind::sequence && from_part < p)
            for (const EdgeCount& edge : out(from))
                if (part_of[at(edge.to)] > p) result.empty_ += edge.count;
        for (const EdgeCount& edge : out(from)) {
            const std::int32_t to_part = part_of[at(edge.to)];
            if (from_part == p && to_part == p)
                result.out_[at(new_node[at(from)])].push_back({new_node[at(edge.to)], edge.count});
            else if (crossing_counts && to_part == p)
                result.starts_[at(new_node[at(edge.to)])] += edge.count;
            else if (crossing_counts && from_part == p)
                result.ends_[at(new_node[at(from)])] += edge.count;
        }
    }
    if (kind == Cut::Kind::sequence)
        for (std::int32_t node = 0; node < size(); ++node) {
            if (part_of[at(node)] > p) result.empty_ += starts(node);
            if (part_of[at(node)] < p) result.empty_ += ends(node);
        }
    return result;
}

}  // namespace vesk
