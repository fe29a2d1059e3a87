#include "conformance/aligner.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace vesk {

namespace {

// A count this close to one is one: the solver's values are not exact.
constexpr float kOne = 1.0f - 1e-5f;
constexpr std::int32_t kEmptySlot = -1;

}  // namespace

bool Aligner::Later::operator()(const Entry& a, const Entry& b) const {
    // The smallest estimate of the whole cost first; among equals the state further along the
    // trace, then the one that paid more (closer to the end), then the older.
    if (a.f != b.f) return a.f > b.f;
    if (a.position != b.position) return a.position < b.position;
    if (a.g != b.g) return a.g < b.g;
    return a.node > b.node;
}

Aligner::Aligner(const AlignmentNet& net, std::size_t max_states, std::size_t split_after)
    : net_(net),
      equation_(net),
      max_states_(max_states),
      split_after_(split_after),
      final_marking_(net.final_marking()) {
    const auto count = static_cast<std::size_t>(net.transition_count());
    std::vector<std::vector<std::int32_t>> places(count);
    for (std::size_t t = 0; t < count; ++t) {
        const auto id = static_cast<std::int32_t>(t);
        places[t] = net.inputs(id);
        places[t].insert(places[t].end(), net.outputs(id).begin(), net.outputs(id).end());
        std::sort(places[t].begin(), places[t].end());
    }
    independent_.assign(count * count, 0);
    for (std::size_t t = 0; t < count; ++t)
        for (std::size_t u = 0; u < count; ++u) {
            std::vector<std::int32_t> shared;
            std::set_intersection(places[t].begin(), places[t].end(), places[u].begin(),
                                  places[u].end(), std::back_inserter(shared));
            independent_[t * count + u] = t != u && shared.empty() ? 1 : 0;
        }
}

bool Aligner::independent(std::int32_t t, std::int32_t u) const {
    return independent_[static_cast<std::size_t>(t) *
                            static_cast<std::size_t>(net_.transition_count()) +
                        static_cast<std::size_t>(u)] != 0;
}

void Aligner::prepare(std::span<const std::int32_t> trace) {
    nodes_.clear();
    markings_.clear();
    solutions_.clear();
    open_.clear();
    table_.assign(1024, kEmptySlot);
    explained_ = 0;
    equation_.load(trace, splits_);
    parent_solution_.assign(static_cast<std::size_t>(equation_.column_count()), 0.0f);
}

std::span<const std::uint8_t> Aligner::marking_of(std::int32_t node) const {
    const auto places = static_cast<std::size_t>(net_.place_count());
    return {markings_.data() + static_cast<std::size_t>(node) * places, places};
}

std::size_t Aligner::hash(std::span<const std::uint8_t> marking, std::int32_t position) const {
    std::uint64_t value = 1469598103934665603ULL ^ static_cast<std::uint32_t>(position);
    for (const std::uint8_t tokens : marking) {
        value ^= tokens;
        value *= 1099511628211ULL;
    }
    return static_cast<std::size_t>(value ^ (value >> 29));
}

void Aligner::grow_table() {
    std::vector<std::int32_t> old(table_.size() * 2, kEmptySlot);
    old.swap(table_);
    const std::size_t mask = table_.size() - 1;
    for (const std::int32_t node : old) {
        if (node == kEmptySlot) continue;
        std::size_t slot = hash(marking_of(node), nodes_[static_cast<std::size_t>(node)].position);
        while (table_[slot & mask] != kEmptySlot)
            ++slot;
        table_[slot & mask] = node;
    }
}

std::int32_t Aligner::find_or_add(std::span<const std::uint8_t> marking, std::int32_t position,
                                  bool& added) {
    if (2 * (nodes_.size() + 1) > table_.size()) grow_table();
    const std::size_t mask = table_.size() - 1;
    for (std::size_t slot = hash(marking, position);; ++slot) {
        std::int32_t& entry = table_[slot & mask];
        if (entry == kEmptySlot) {
            entry = static_cast<std::int32_t>(nodes_.size());
            Node node;
            node.position = position;
            nodes_.push_back(node);
            markings_.insert(markings_.end(), marking.begin(), marking.end());
            added = true;
            return entry;
        }
        const Node& known = nodes_[static_cast<std::size_t>(entry)];
        if (known.position == position &&
            std::memcmp(marking_of(entry).data(), marking.data(), marking.size()) == 0) {
            added = false;
            return entry;
        }
    }
}

bool Aligner::estimate(std::int32_t node) {
    const Node& state = nodes_[static_cast<std::size_t>(node)];
    MarkingEquation::Estimate found = equation_.solve(marking_of(node), state.position);
    if (!found.reachable) return false;
    Node& solved = nodes_[static_cast<std::size_t>(node)];
    solved.h = std::max(solved.h, found.cost);
    solved.exact = true;
    solutions_[node] = std::move(found.solution);
    return true;
}

bool Aligner::is_goal(std::int32_t node, std::size_t trace_length) const {
    const Node& state = nodes_[static_cast<std::size_t>(node)];
    if (static_cast<std::size_t>(state.position) != trace_length) return false;
    const auto marking = marking_of(node);
    return std::equal(marking.begin(), marking.end(), final_marking_.begin());
}

Alignment Aligner::path_to(std::int32_t node) const {
    Alignment result;
    result.outcome = Alignment::Outcome::aligned;
    result.cost = nodes_[static_cast<std::size_t>(node)].g;
    result.states = nodes_.size();
    for (std::int32_t at = node; nodes_[static_cast<std::size_t>(at)].parent >= 0;
         at = nodes_[static_cast<std::size_t>(at)].parent)
        result.moves.push_back(nodes_[static_cast<std::size_t>(at)].move);
    std::reverse(result.moves.begin(), result.moves.end());
    return result;
}

bool Aligner::empties_a_place(std::int32_t parent, const std::vector<std::uint8_t>& marking) const {
    const auto before = marking_of(parent);
    for (std::size_t p = 0; p < marking.size(); ++p)
        if (marking[p] == 0 && before[p] != 0) return true;
    return false;
}

void Aligner::reach(std::int32_t parent, const std::vector<std::uint8_t>& marking,
                    std::int32_t position, AlignmentMove move, std::int32_t cost,
                    std::int32_t column) {
    bool added = false;
    const std::int32_t child = find_or_add(marking, position, added);
    const Node& from = nodes_[static_cast<std::size_t>(parent)];
    Node& state = nodes_[static_cast<std::size_t>(child)];
    const std::int32_t g = from.g + cost;
    if (!added && g >= state.g) return;
    // The estimates past a split point need not be consistent: a state closed too early is
    // opened again.
    state.closed = false;
    state.g = g;
    state.parent = parent;
    state.move = move;
    if (!state.exact) {
        // The parent's solution less this move solves the child's program when the move has
        // a count of at least one in it: the child's estimate is then exact.
        const bool same_program = position == from.position ||
                                  !std::binary_search(splits_.begin(), splits_.end(), position);
        const bool inherits =
            same_program &&
            (column < 0 || parent_solution_[static_cast<std::size_t>(column)] >= kOne);
        state.h = std::max(state.h, from.h - cost);
        if (inherits) {
            MarkingEquation::Solution solution = solutions_.at(parent);
            if (column >= 0)
                for (auto& [at, value] : solution)
                    if (at == column) value -= 1.0f;
            std::erase_if(solution, [](const auto& entry) { return entry.second <= 1e-6f; });
            // A move that empties a place may kill transitions the solution still fires.
            if (!empties_a_place(parent, marking) || equation_.holds_at(solution, marking)) {
                state.exact = true;
                solutions_[child] = std::move(solution);
            }
        }
    }
    open_.push_back(Entry{state.g + state.h, position, state.g, child});
    std::push_heap(open_.begin(), open_.end(), Later{});
}

void Aligner::expand(std::int32_t node, std::span<const std::int32_t> trace) {
    const MarkingEquation::Solution& solution = solutions_.at(node);
    for (const auto& [column, value] : solution)
        parent_solution_[static_cast<std::size_t>(column)] = value;
    const std::int32_t position = nodes_[static_cast<std::size_t>(node)].position;
    const bool more = static_cast<std::size_t>(position) < trace.size();
    const std::int32_t next_label = more ? trace[static_cast<std::size_t>(position)] : -1;
    std::vector<std::uint8_t> marking(marking_of(node).begin(), marking_of(node).end());
    // Moves that commute are searched in one order only: a move on the model alone waits until
    // a move that depends on it (shares a place with it), so that deviations and invisible
    // firings of independent branches are not interleaved in every way. After a move on the
    // model only comes no log move, no synchronous move independent of it, and no independent
    // move on the model only of a lower index.
    const AlignmentMove& last = nodes_[static_cast<std::size_t>(node)].move;
    const std::int32_t after_model = last.on_model() && !last.on_log() ? last.transition : -1;
    if (more && after_model < 0) {
        reach(node, marking, position + 1, AlignmentMove{next_label, -1}, 1,
              equation_.log_column(next_label));
    }
    for (std::int32_t t = 0; t < net_.transition_count(); ++t) {
        const auto& inputs = net_.inputs(t);
        if (!std::all_of(inputs.begin(), inputs.end(), [&marking](std::int32_t p) {
                return marking[static_cast<std::size_t>(p)] > 0;
            }))
            continue;
        std::vector<std::uint8_t> fired = marking;
        for (const std::int32_t p : inputs)
            --fired[static_cast<std::size_t>(p)];
        bool overflow = false;
        for (const std::int32_t p : net_.outputs(t))
            overflow |= ++fired[static_cast<std::size_t>(p)] == 0;
        // A place of more than 255 tokens: a net that runs away, not a way to its end.
        if (overflow) continue;
        const std::int32_t label = net_.label(t);
        const bool commutes = after_model >= 0 && independent(after_model, t);
        if (more && label == next_label && !commutes)
            reach(node, fired, position + 1, AlignmentMove{label, t}, 0, equation_.sync_column(t));
        if (!(commutes && t < after_model))
            reach(node, fired, position, AlignmentMove{-1, t}, label < 0 ? 0 : 1,
                  equation_.model_column(t));
    }
    for (const auto& [column, value] : solution)
        parent_solution_[static_cast<std::size_t>(column)] = 0.0f;
    solutions_.erase(node);
}

Alignment Aligner::align(std::span<const std::int32_t> trace) {
    splits_.clear();
    std::size_t states = 0;
    for (;;) {
        prepare(trace);
        std::int32_t split = -1;
        Alignment result = search(trace, states, split);
        states += nodes_.size();
        if (split < 0) {
            result.states = states;
            return result;
        }
        splits_.insert(std::upper_bound(splits_.begin(), splits_.end(), split), split);
    }
}

std::int32_t Aligner::next_split(std::span<const std::int32_t> trace) const {
    if (splits_.size() >= kMaxSplits) return -1;
    for (auto at = static_cast<std::size_t>(explained_); at < trace.size(); ++at) {
        if (!equation_.modelled(trace[at])) continue;
        if (std::binary_search(splits_.begin(), splits_.end(), static_cast<std::int32_t>(at)))
            return -1;
        return static_cast<std::int32_t>(at);
    }
    return -1;
}

Alignment Aligner::search(std::span<const std::int32_t> trace, std::size_t states_before,
                          std::int32_t& split) {
    bool added = false;
    const std::vector<std::uint8_t> start = net_.initial_marking();
    const std::int32_t root = find_or_add(start, 0, added);
    Alignment failed;
    if (!estimate(root)) return failed;
    open_.push_back(Entry{nodes_[0].h, 0, 0, root});
    while (!open_.empty()) {
        std::pop_heap(open_.begin(), open_.end(), Later{});
        const Entry entry = open_.back();
        open_.pop_back();
        Node& state = nodes_[static_cast<std::size_t>(entry.node)];
        if (state.closed || entry.g != state.g) continue;
        if (!state.exact) {
            // The program lost its way past the events explained so far: a split point at the
            // first of the others makes it see their order, and the search starts again.
            split = nodes_.size() > split_after_ ? next_split(trace) : -1;
            if (split >= 0) return failed;
            const std::int32_t before = state.h;
            if (!estimate(entry.node)) {
                nodes_[static_cast<std::size_t>(entry.node)].closed = true;
                continue;
            }
            const Node& solved = nodes_[static_cast<std::size_t>(entry.node)];
            if (solved.h > before) {
                open_.push_back(Entry{solved.g + solved.h, solved.position, solved.g, entry.node});
                std::push_heap(open_.begin(), open_.end(), Later{});
                continue;
            }
        }
        if (is_goal(entry.node, trace.size())) return path_to(entry.node);
        Node& expanded = nodes_[static_cast<std::size_t>(entry.node)];
        expanded.closed = true;
        explained_ = std::max(explained_, expanded.position);
        if (states_before + nodes_.size() > max_states_) {
            failed.outcome = Alignment::Outcome::bound_reached;
            return failed;
        }
        // A state opened again has given its solution away.
        if (!solutions_.contains(entry.node) && !estimate(entry.node)) continue;
        expand(entry.node, trace);
    }
    return failed;
}

}  // namespace vesk
