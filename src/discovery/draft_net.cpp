#include "discovery/draft_net.h"

#include <algorithm>

namespace vesk {

namespace {

using Places = std::vector<std::int32_t>;
using Kind = ProcessTree::Kind;

bool contains(const Places& places, std::int32_t place) {
    return std::find(places.begin(), places.end(), place) != places.end();
}

bool only(const Places& transitions, std::int32_t t) {
    return transitions.size() == 1 && transitions.front() == t;
}

bool shares_any(const Places& a, const Places& b) {
    return std::any_of(a.begin(), a.end(), [&b](std::int32_t x) { return contains(b, x); });
}

// Puts the replacement places where the place was.
void replace(Places& places, std::int32_t place, const Places& replacement) {
    const auto found = std::find(places.begin(), places.end(), place);
    if (found == places.end()) return;
    const auto position = places.erase(found);
    places.insert(position, replacement.begin(), replacement.end());
}

}  // namespace

DraftNet::DraftNet(const ProcessTree& tree) {
    start_ = new_place();
    end_ = new_place();
    add(tree, start_, end_);
}

std::int32_t DraftNet::new_place() {
    place_alive_.push_back(true);
    return place_count() - 1;
}

std::int32_t DraftNet::new_transition(std::int32_t activity, Places inputs, Places outputs) {
    transitions_.push_back(Transition{activity, std::move(inputs), std::move(outputs), true});
    return static_cast<std::int32_t>(transitions_.size()) - 1;
}

void DraftNet::add(const ProcessTree& tree, std::int32_t in, std::int32_t out) {
    const auto& children = tree.children();
    switch (tree.kind()) {
        case Kind::activity:
            new_transition(tree.activity_id(), {in}, {out});
            break;
        case Kind::silent:
            new_transition(-1, {in}, {out});
            break;
        case Kind::sequence: {
            std::int32_t from = in;
            for (std::size_t i = 0; i < children.size(); ++i) {
                const std::int32_t to = i + 1 == children.size() ? out : new_place();
                add(children[i], from, to);
                from = to;
            }
            break;
        }
        case Kind::choice:
            for (const ProcessTree& child : children)
                add(child, in, out);
            break;
        case Kind::parallel:
            add_parallel(tree, in, out);
            break;
        case Kind::loop:
            add_loop(tree, in, out);
            break;
    }
}

void DraftNet::add_parallel(const ProcessTree& tree, std::int32_t in, std::int32_t out) {
    const std::int32_t split = new_transition(-1, {in}, {});
    Places ends;
    for (const ProcessTree& child : tree.children()) {
        const std::int32_t branch_in = new_place();
        const std::int32_t branch_out = new_place();
        transitions_[at(split)].outputs.push_back(branch_in);
        add(child, branch_in, branch_out);
        ends.push_back(branch_out);
    }
    new_transition(-1, std::move(ends), {out});
}

void DraftNet::add_loop(const ProcessTree& tree, std::int32_t in, std::int32_t out) {
    const std::int32_t before_body = new_place();
    const std::int32_t after_body = new_place();
    new_transition(-1, {in}, {before_body});
    add(tree.children().front(), before_body, after_body);
    for (std::size_t i = 1; i < tree.children().size(); ++i)
        add(tree.children()[i], after_body, before_body);
    new_transition(-1, {after_body}, {out});
}

void DraftNet::index_places() {
    producers_.assign(place_alive_.size(), {});
    consumers_.assign(place_alive_.size(), {});
    for (std::size_t t = 0; t < transitions_.size(); ++t) {
        if (!transitions_[t].alive) continue;
        for (const std::int32_t p : transitions_[t].inputs)
            consumers_[at(p)].push_back(static_cast<std::int32_t>(t));
        for (const std::int32_t p : transitions_[t].outputs)
            producers_[at(p)].push_back(static_cast<std::int32_t>(t));
    }
}

void DraftNet::kill_transition(std::int32_t t) {
    transitions_[at(t)].alive = false;
}

void DraftNet::reduce() {
    for (bool reduced = true; reduced;) {
        reduced = false;
        index_places();
        for (std::size_t t = 0; t < transitions_.size() && !reduced; ++t) {
            const Transition& transition = transitions_[t];
            if (!transition.alive || transition.activity >= 0) continue;
            const auto id = static_cast<std::int32_t>(t);
            reduced = fuse_places(id) || merge_through(id, true) || merge_through(id, false);
        }
    }
}

// A silent step from one place p to another q: when p has no other way out, p's producers put
// their token into q directly; when q has no other way in, q's consumers take from p.
bool DraftNet::fuse_places(std::int32_t t) {
    const Transition& step = transitions_[at(t)];
    if (step.inputs.size() != 1 || step.outputs.size() != 1) return false;
    const std::int32_t p = step.inputs.front();
    const std::int32_t q = step.outputs.front();
    // A silent step from the start straight to the end stays: the net keeps its two places.
    if (p == q || (p == start_ && q == end_)) return false;
    const auto outputs_q = [&](std::int32_t u) { return contains(transitions_[at(u)].outputs, q); };
    const auto inputs_p = [&](std::int32_t v) { return contains(transitions_[at(v)].inputs, p); };
    // The start place takes no tokens and the end place gives none: neither may end up so.
    if (only(consumers_[at(p)], t) && p != end_ && (p != start_ || only(producers_[at(q)], t)) &&
        std::none_of(producers_[at(p)].begin(), producers_[at(p)].end(), outputs_q)) {
        for (const std::int32_t u : producers_[at(p)])
            replace(transitions_[at(u)].outputs, p, {q});
        if (p == start_) start_ = q;
        place_alive_[at(p)] = false;
        kill_transition(t);
        return true;
    }
    if (only(producers_[at(q)], t) && q != start_ && (q != end_ || only(consumers_[at(p)], t)) &&
        std::none_of(consumers_[at(q)].begin(), consumers_[at(q)].end(), inputs_p)) {
        for (const std::int32_t v : consumers_[at(q)])
            replace(transitions_[at(v)].inputs, q, {p});
        if (q == end_) end_ = p;
        place_alive_[at(q)] = false;
        kill_transition(t);
        return true;
    }
    return false;
}

// A silent split whose only place is fed by one transition alone: that transition splits. Or,
// mirrored, a silent join whose only place feeds one transition alone: that transition joins.
bool DraftNet::merge_through(std::int32_t t, bool split) {
    const Transition& step = transitions_[at(t)];
    const Places& single = split ? step.inputs : step.outputs;
    const Places& several = split ? step.outputs : step.inputs;
    if (single.size() != 1 || several.size() < 2) return false;
    // The transitions on the step's side of a place, and those on the other side.
    const auto& step_side = split ? consumers_ : producers_;
    const auto& other_side = split ? producers_ : consumers_;
    const std::int32_t p = single.front();
    if (p == start_ || p == end_ || !only(step_side[at(p)], t) || other_side[at(p)].size() != 1)
        return false;
    const std::int32_t u = other_side[at(p)].front();
    Places& u_places = split ? transitions_[at(u)].outputs : transitions_[at(u)].inputs;
    if (u == t || shares_any(u_places, several)) return false;
    // The start place takes no tokens and the end place gives none.
    const std::int32_t kept_free = split ? start_ : end_;
    for (const std::int32_t q : several)
        if (!only(other_side[at(q)], t) || q == kept_free) return false;
    replace(u_places, p, several);
    place_alive_[at(p)] = false;
    kill_transition(t);
    return true;
}

}  // namespace vesk
