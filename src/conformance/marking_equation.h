#pragma once
// The lower bound of the cost still to pay from a state of an alignment: the cheapest real
// solution of the marking equation of the net joined with the rest of the trace. Per transition
// a count of moves on the model only and of synchronous moves, per label a count of moves on the
// log only; the marking must reach the final one, and each label's synchronous and log moves add
// up to the events of that label still to come. One linear program per net, whose right-hand
// side changes from state to state, so that each solve starts from the last basis.

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "conformance/alignment_net.h"

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

    // The number of label rows, the length of what remaining_counts takes.
    std::int32_t label_rows() const { return static_cast<std::int32_t>(row_of_label_.size()); }
    // The row of a label some transition carries; -1 for one no transition carries.
    std::int32_t row_of_label(std::int32_t label) const {
        return label < static_cast<std::int32_t>(label_row_.size())
                   ? label_row_[static_cast<std::size_t>(label)]
                   : -1;
    }
    std::int32_t model_column(std::int32_t transition) const { return transition; }
    std::int32_t sync_column(std::int32_t transition) const {
        return sync_column_[static_cast<std::size_t>(transition)];
    }
    std::int32_t log_column(std::int32_t row) const { return log_base_ + row; }

    // remaining_counts: per label row, the events of that label from the state's position on.
    Estimate solve(std::span<const std::uint8_t> marking,
                   std::span<const std::int32_t> remaining_counts);
    // The same starting basis for every trace, so that what a trace gets never depends on the
    // traces solved before it.
    void reset();

private:
    struct Solver;
    const AlignmentNet& net_;
    std::vector<std::uint8_t> final_marking_;
    std::vector<std::int32_t> label_row_;
    std::vector<std::int32_t> row_of_label_;
    std::vector<std::int32_t> sync_column_;
    std::int32_t log_base_ = 0;
    std::unique_ptr<Solver> solver_;
};

}  // namespace vesk
