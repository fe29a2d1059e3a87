#pragma once
// The lower bound of the cost still to pay from a state of an alignment: the cheapest real
// solution of the marking equation of the net joined with the rest of the trace, extended at
// split points of the trace. Between two split points the moves may come in any order (counts
// of moves on the model only and of synchronous moves per transition, of log moves per label);
// at a split point the event there must be the next move (synchronous or on the log only), and
// the marking before it must hold the tokens it takes. Without split points this is the plain
// marking equation, which cannot see in which order the trace's events come; each split point
// makes it see one more. Events whose label no transition carries cost one each, outside the
// program. Transitions that can never fire again from the marking (DeadTransitions) are held at
// zero.

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "conformance/alignment_net.h"
#include "conformance/dead_transitions.h"

namespace vesk {

class MarkingEquation {
public:
    // The columns with a value in the solution; only columns of at least 1 matter to the search.
    using Solution = std::vector<std::pair<std::int32_t, float>>;
    struct Estimate {
        // False: the final marking cannot be reached from this state.
        bool reachable = false;
        std::int32_t cost = 0;
        Solution solution;
    };

    // The net must outlive the equation.
    explicit MarkingEquation(const AlignmentNet& net);
    ~MarkingEquation();
    MarkingEquation(const MarkingEquation&) = delete;
    MarkingEquation& operator=(const MarkingEquation&) = delete;

    // Builds the program of a trace with split points (ascending positions in the trace). The
    // trace must outlive the next load.
    void load(std::span<const std::int32_t> trace, const std::vector<std::int32_t>& splits);

    // The estimate at a marking with the trace's events from position on still to come.
    Estimate solve(std::span<const std::uint8_t> marking, std::int32_t position);

    // The columns of the loaded program.
    std::int32_t column_count() const;
    // Whether a solution fires no transition that is dead at the marking: a solution found at
    // one marking then still solves the program at a marking reached from it.
    bool holds_at(const Solution& solution, std::span<const std::uint8_t> marking);
    // Whether a label has a transition (and a row of the program).
    bool modelled(std::int32_t label) const { return row_of_label(label) >= 0; }
    // The columns of moves made at a position before the first split point after it.
    std::int32_t model_column(std::int32_t transition) const { return transition; }
    std::int32_t sync_column(std::int32_t transition) const {
        return sync_column_[static_cast<std::size_t>(transition)];
    }
    // -1 for a label no transition carries.
    std::int32_t log_column(std::int32_t label) const {
        const std::int32_t row = row_of_label(label);
        return row < 0 ? -1 : log_base_ + row;
    }

private:
    struct Solver;
    std::int32_t row_of_label(std::int32_t label) const {
        return label >= 0 && label < static_cast<std::int32_t>(label_row_.size())
                   ? label_row_[static_cast<std::size_t>(label)]
                   : -1;
    }
    std::int32_t label_rows() const { return static_cast<std::int32_t>(row_of_label_.size()); }
    // The events of each label row in [begin, end), added to the right-hand side from row.
    void set_counts(std::size_t row, std::int32_t begin, std::int32_t end, double* lower,
                    double* upper) const;

    const AlignmentNet& net_;
    std::vector<std::uint8_t> final_marking_;
    std::vector<std::int32_t> label_row_;
    std::vector<std::int32_t> row_of_label_;
    std::vector<std::int32_t> sync_column_;
    DeadTransitions dead_;
    // Per column of the loaded program, the transition it fires (-1: a move on the log only).
    std::vector<std::int32_t> column_transition_;
    std::int32_t log_base_ = 0;
    std::span<const std::int32_t> trace_;
    std::vector<std::int32_t> splits_;
    // Per position, the events before it of each label row and of labels without one.
    std::vector<std::int32_t> before_;
    std::vector<std::int32_t> unmodelled_before_;
    std::unique_ptr<Solver> solver_;
    // Whether a solve has set up the solver's work areas for the program loaded.
    bool loaded_ = false;
};

}  // namespace vesk
