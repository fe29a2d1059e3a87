#pragma once
// An optimal alignment of one trace on a net: the cheapest sequence of moves that runs the
// trace and the net side by side from the start to the final marking. A move on the log only or
// on a visible transition only costs 1; synchronous moves and invisible transitions cost
// nothing. A* over the states of the synchronous product (a marking and a position in the
// trace), estimated by the marking equation: an estimate is solved when its state is taken
// from the queue, unless the parent's solution already holds for the child (the move taken had
// a count of at least one in it, and fires no transition the move made dead), which spares most
// solves.

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "conformance/alignment_net.h"
#include "conformance/marking_equation.h"

namespace vesk {

// States one alignment may visit before it gives up and says so.
inline constexpr std::size_t kDefaultMaxStates = 1000000;
// Split points of one trace's estimate at most: each makes the program larger and its solves
// slower, so by default a search takes one only after this many states (on the public logs'
// nets most searches end well before, and split points slow them down).
inline constexpr std::size_t kMaxSplits = 8;
inline constexpr std::size_t kSplitAfterStates = 100000;

// A move on the log only has no transition; a move on the model only has no log label.
struct AlignmentMove {
    std::int32_t log_label = -1;
    std::int32_t transition = -1;
    bool on_log() const { return log_label >= 0; }
    bool on_model() const { return transition >= 0; }
    bool synchronous() const { return on_log() && on_model(); }
};

struct Alignment {
    enum class Outcome : std::uint8_t { aligned, bound_reached, end_unreachable };
    Outcome outcome = Outcome::end_unreachable;
    std::int32_t cost = 0;
    std::vector<AlignmentMove> moves;
    // States the search visited.
    std::size_t states = 0;
    bool aligned() const { return outcome == Outcome::aligned; }
};

class Aligner {
public:
    // The net must outlive the aligner.
    Aligner(const AlignmentNet& net, std::size_t max_states = kDefaultMaxStates,
            std::size_t split_after = kSplitAfterStates);

    // The trace as labels of the net.
    Alignment align(std::span<const std::int32_t> trace);

private:
    struct Node {
        std::int32_t position = 0;
        std::int32_t g = 0;
        std::int32_t h = 0;
        std::int32_t parent = -1;
        AlignmentMove move;
        bool exact = false;
        bool closed = false;
    };
    struct Entry {
        std::int32_t f;
        std::int32_t position;
        std::int32_t g;
        std::int32_t node;
    };
    struct Later {
        bool operator()(const Entry& a, const Entry& b) const;
    };

    void prepare(std::span<const std::int32_t> trace);
    // One search with the current split points; sets split (and returns nothing useful) when
    // the search should start again with one more.
    Alignment search(std::span<const std::int32_t> trace, std::size_t states_before,
                     std::int32_t& split);
    // The position of the first event not explained so far that is no split point yet; -1 when
    // there is none or the splits are at their most.
    std::int32_t next_split(std::span<const std::int32_t> trace) const;
    // The estimate at a marking and position; false when the end cannot be reached from there.
    bool estimate(std::int32_t node);
    void expand(std::int32_t node, std::span<const std::int32_t> trace);
    // A child reached by a move whose column in the parent's solution is `column` (-1: a log move
    // of a label no transition carries, which leaves the solution as it is).
    void reach(std::int32_t parent, const std::vector<std::uint8_t>& marking, std::int32_t position,
               AlignmentMove move, std::int32_t cost, std::int32_t column);
    std::span<const std::uint8_t> marking_of(std::int32_t node) const;
    bool empties_a_place(std::int32_t parent, const std::vector<std::uint8_t>& marking) const;
    // The node of the state; added tells whether it is new.
    std::int32_t find_or_add(std::span<const std::uint8_t> marking, std::int32_t position,
                             bool& added);
    void grow_table();
    std::size_t hash(std::span<const std::uint8_t> marking, std::int32_t position) const;
    // Whether two transitions share no place, so that firing them in either order is the same.
    bool independent(std::int32_t t, std::int32_t u) const;
    bool is_goal(std::int32_t node, std::size_t trace_length) const;
    Alignment path_to(std::int32_t node) const;

    const AlignmentNet& net_;
    MarkingEquation equation_;
    std::size_t max_states_;
    std::size_t split_after_;
    std::vector<std::uint8_t> final_marking_;
    std::vector<std::int32_t> splits_;
    // The furthest position of a state expanded in this search.
    std::int32_t explained_ = 0;
    std::vector<Node> nodes_;
    std::vector<std::uint8_t> markings_;
    std::vector<std::int32_t> table_;
    std::unordered_map<std::int32_t, MarkingEquation::Solution> solutions_;
    std::vector<Entry> open_;
    std::vector<float> parent_solution_;
    std::vector<std::uint8_t> independent_;
};

}  // namespace vesk
