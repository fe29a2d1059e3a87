#pragma once
// The net of a process tree while it is being made and made small: places are numbers,
// transitions know their input and output places.

#include <cstdint>
#include <vector>

#include "discovery/process_tree.h"

namespace vesk {

class DraftNet {
public:
    struct Transition {
        std::int32_t activity = -1;  // -1: invisible
        std::vector<std::int32_t> inputs;
        std::vector<std::int32_t> outputs;
        bool alive = true;
    };

    // The block-by-block translation of the tree.
    explicit DraftNet(const ProcessTree& tree);

    // Removes invisible transitions and places that only pass a token on, as long as one can
    // go: the net keeps its behaviour, without the silent steps a plain sequence, choice or
    // parallel block does not need.
    void reduce();

    const std::vector<Transition>& transitions() const { return transitions_; }
    std::int32_t place_count() const { return static_cast<std::int32_t>(place_alive_.size()); }
    bool place_alive(std::int32_t place) const { return place_alive_[at(place)]; }
    std::int32_t start() const { return start_; }
    std::int32_t end() const { return end_; }

private:
    static std::size_t at(std::int32_t x) { return static_cast<std::size_t>(x); }
    std::int32_t new_place();
    std::int32_t new_transition(std::int32_t activity, std::vector<std::int32_t> inputs,
                                std::vector<std::int32_t> outputs);
    void add(const ProcessTree& tree, std::int32_t in, std::int32_t out);
    void add_parallel(const ProcessTree& tree, std::int32_t in, std::int32_t out);
    void add_loop(const ProcessTree& tree, std::int32_t in, std::int32_t out);

    // Each tries one reduction at the invisible transition t; true when it was made.
    bool fuse_places(std::int32_t t);
    // split: a silent split merges into the transition before it; else a silent join into the
    // transition after it.
    bool merge_through(std::int32_t t, bool split);
    void index_places();
    void kill_transition(std::int32_t t);

    std::vector<Transition> transitions_;
    std::vector<bool> place_alive_;
    std::int32_t start_ = -1;
    std::int32_t end_ = -1;
    // Per place, the live transitions that produce into it and consume from it.
    std::vector<std::vector<std::int32_t>> producers_;
    std::vector<std::vector<std::int32_t>> consumers_;
};

}  // namespace vesk
