#include "conformance/marking_equation.h"

#include <ClpSimplex.hpp>

#include <cmath>
#include <map>

namespace vesk {

namespace {

// A cost within this of a whole number is that number: the program's costs are whole.
constexpr double kRounding = 1e-6;
// Solution values below this are zero.
constexpr double kZero = 1e-9;
constexpr int kSeed = 1234567;

// One column of the program: its cost and its entries by row.
struct Column {
    double cost = 0.0;
    std::map<std::int32_t, double> entries;
};

// The change a firing makes to each place, as entries of a column.
void add_incidence(const AlignmentNet& net, std::int32_t t, Column& column) {
    for (const std::int32_t p : net.inputs(t))
        column.entries[p] -= 1.0;
    for (const std::int32_t p : net.outputs(t))
        column.entries[p] += 1.0;
    std::erase_if(column.entries, [](const auto& entry) { return entry.second == 0.0; });
}

}  // namespace

struct MarkingEquation::Solver {
    ClpSimplex simplex;
};

MarkingEquation::MarkingEquation(const AlignmentNet& net)
    : net_(net), final_marking_(net.final_marking()), solver_(new Solver) {
    label_row_.assign(static_cast<std::size_t>(net.label_count()), -1);
    for (std::int32_t label = 0; label < net.label_count(); ++label) {
        if (!net.modelled(label)) continue;
        label_row_[static_cast<std::size_t>(label)] = static_cast<std::int32_t>(row_of_label_.size());
        row_of_label_.push_back(label);
    }
    const std::int32_t places = net.place_count();
    std::vector<Column> columns;
    for (std::int32_t t = 0; t < net.transition_count(); ++t) {
        Column model;
        model.cost = net.label(t) < 0 ? 0.0 : 1.0;
        add_incidence(net, t, model);
        columns.push_back(std::move(model));
    }
    sync_column_.assign(static_cast<std::size_t>(net.transition_count()), -1);
    for (std::int32_t t = 0; t < net.transition_count(); ++t) {
        if (net.label(t) < 0) continue;
        Column sync;
        add_incidence(net, t, sync);
        sync.entries[places + row_of_label(net.label(t))] = 1.0;
        sync_column_[static_cast<std::size_t>(t)] = static_cast<std::int32_t>(columns.size());
        columns.push_back(std::move(sync));
    }
    log_base_ = static_cast<std::int32_t>(columns.size());
    for (std::int32_t row = 0; row < label_rows(); ++row) {
        Column log_move;
        log_move.cost = 1.0;
        log_move.entries[places + row] = 1.0;
        columns.push_back(std::move(log_move));
    }

    std::vector<CoinBigIndex> starts{0};
    std::vector<int> rows;
    std::vector<double> values, lower, upper, costs;
    for (const Column& column : columns) {
        for (const auto& [row, value] : column.entries) {
            rows.push_back(row);
            values.push_back(value);
        }
        starts.push_back(static_cast<CoinBigIndex>(rows.size()));
        lower.push_back(0.0);
        upper.push_back(COIN_DBL_MAX);
        costs.push_back(column.cost);
    }
    const auto row_count = static_cast<std::size_t>(places + label_rows());
    const std::vector<double> row_bounds(row_count, 0.0);
    ClpSimplex& simplex = solver_->simplex;
    simplex.setLogLevel(0);
    simplex.loadProblem(static_cast<int>(columns.size()), static_cast<int>(row_count),
                        starts.data(), rows.data(), values.data(), lower.data(), upper.data(),
                        costs.data(), row_bounds.data(), row_bounds.data());
    simplex.setOptimizationDirection(1.0);
    // No random perturbation: the same program gives the same solution on every thread.
    simplex.setPerturbation(100);
    simplex.setRandomSeed(kSeed);
}

MarkingEquation::~MarkingEquation() = default;

void MarkingEquation::reset() {
    solver_->simplex.allSlackBasis(true);
    solver_->simplex.setRandomSeed(kSeed);
}

MarkingEquation::Estimate MarkingEquation::solve(std::span<const std::uint8_t> marking,
                                                 std::span<const std::int32_t> remaining_counts) {
    ClpSimplex& simplex = solver_->simplex;
    double* row_lower = simplex.rowLower();
    double* row_upper = simplex.rowUpper();
    std::size_t row = 0;
    for (std::size_t p = 0; p < marking.size(); ++p, ++row)
        row_lower[row] = row_upper[row] =
            static_cast<double>(final_marking_[p]) - static_cast<double>(marking[p]);
    for (const std::int32_t count : remaining_counts) {
        row_lower[row] = row_upper[row] = static_cast<double>(count);
        ++row;
    }
    simplex.dual(0);
    Estimate estimate;
    if (simplex.status() != 0) {
        // Infeasible is the only other outcome of a program bounded below by zero; anything
        // else (a solver stop) starts the next solve from scratch and tries once more.
        if (simplex.status() != 1) {
            simplex.allSlackBasis(true);
            simplex.primal(0);
        }
        if (simplex.status() != 0) return estimate;
    }
    estimate.reachable = true;
    estimate.cost = static_cast<std::int32_t>(std::ceil(simplex.objectiveValue() - kRounding));
    const double* values = simplex.primalColumnSolution();
    for (int column = 0; column < simplex.numberColumns(); ++column)
        if (values[column] > kZero)
            estimate.solution.emplace_back(column, static_cast<float>(values[column]));
    return estimate;
}

}  // namespace vesk
