#include "conformance/marking_equation.h"

#include <ClpSimplex.hpp>

#include <algorithm>
#include <cmath>
#include <map>

namespace vesk {

namespace {

// A cost within this of a whole number is that number: the program's costs are whole.
constexpr double kRounding = 1e-6;
// Solution values below this are zero.
constexpr double kZero = 1e-9;
constexpr int kSeed = 1234567;
// The bound of a row that asks for nothing: finite, as the dual simplex wants no free rows.
constexpr double kLoose = 1e7;

struct Column {
    std::int32_t transition = -1;
    double cost = 0.0;
    std::map<std::int32_t, double> entries;
};

// Adds the change a firing makes to each place to the rows from `base`; with only_taken, the
// tokens it takes alone.
void add_firing(const AlignmentNet& net, std::int32_t t, std::int32_t base, bool only_taken,
                Column& column) {
    for (const std::int32_t p : net.inputs(t))
        column.entries[base + p] -= 1.0;
    if (!only_taken)
        for (const std::int32_t p : net.outputs(t))
            column.entries[base + p] += 1.0;
}

}  // namespace

struct MarkingEquation::Solver {
    ClpSimplex simplex;
};

MarkingEquation::MarkingEquation(const AlignmentNet& net)
    : net_(net),
      final_marking_(net.final_marking()),
      dead_(net),
      solver_(std::make_unique<Solver>()) {
    label_row_.assign(static_cast<std::size_t>(net.label_count()), -1);
    for (std::int32_t label = 0; label < net.label_count(); ++label) {
        if (!net.modelled(label)) continue;
        label_row_[static_cast<std::size_t>(label)] =
            static_cast<std::int32_t>(row_of_label_.size());
        row_of_label_.push_back(label);
    }
    sync_column_.assign(static_cast<std::size_t>(net.transition_count()), -1);
    std::int32_t column = net.transition_count();
    for (std::int32_t t = 0; t < net.transition_count(); ++t)
        if (net.label(t) >= 0) sync_column_[static_cast<std::size_t>(t)] = column++;
    log_base_ = column;
}

MarkingEquation::~MarkingEquation() = default;

std::int32_t MarkingEquation::column_count() const {
    return solver_->simplex.numberColumns();
}

void MarkingEquation::load(std::span<const std::int32_t> trace,
                           const std::vector<std::int32_t>& splits) {
    trace_ = trace;
    splits_ = splits;
    const auto rows = static_cast<std::size_t>(label_rows());
    before_.assign((trace.size() + 1) * rows, 0);
    unmodelled_before_.assign(trace.size() + 1, 0);
    for (std::size_t i = 0; i < trace.size(); ++i) {
        std::copy_n(before_.begin() + static_cast<std::ptrdiff_t>(i * rows), rows,
                    before_.begin() + static_cast<std::ptrdiff_t>((i + 1) * rows));
        unmodelled_before_[i + 1] = unmodelled_before_[i];
        const std::int32_t row = row_of_label(trace[i]);
        if (row >= 0)
            ++before_[(i + 1) * rows + static_cast<std::size_t>(row)];
        else
            ++unmodelled_before_[i + 1];
    }

    // Rows: the final marking, the labels of the part before the first split, then per split
    // its labels, its one move and the tokens before it.
    const std::int32_t places = net_.place_count();
    const std::int32_t labels = label_rows();
    const std::int32_t block = labels + 1 + places;
    const auto split_row = [&](std::size_t j) {
        return places + labels + static_cast<std::int32_t>(j) * block;
    };
    std::vector<Column> columns;
    // The free moves of each part; a part's firings count in the token rows of later splits.
    for (std::size_t part = 0; part <= splits_.size(); ++part) {
        const std::int32_t label_base = part == 0 ? places : split_row(part - 1);
        std::vector<Column> kinds;
        for (std::int32_t t = 0; t < net_.transition_count(); ++t) {
            Column model;
            model.transition = t;
            model.cost = net_.label(t) < 0 ? 0.0 : 1.0;
            add_firing(net_, t, 0, false, model);
            for (std::size_t later = part; later < splits_.size(); ++later)
                add_firing(net_, t, split_row(later) + labels + 1, false, model);
            columns.push_back(model);
        }
        for (std::int32_t t = 0; t < net_.transition_count(); ++t) {
            if (net_.label(t) < 0) continue;
            Column sync =
                columns[columns.size() - static_cast<std::size_t>(net_.transition_count() - t)];
            sync.cost = 0.0;
            sync.entries[label_base + row_of_label(net_.label(t))] = 1.0;
            kinds.push_back(std::move(sync));
        }
        for (std::int32_t row = 0; row < labels; ++row) {
            Column log_move;
            log_move.cost = 1.0;
            log_move.entries[label_base + row] = 1.0;
            kinds.push_back(std::move(log_move));
        }
        columns.insert(columns.end(), kinds.begin(), kinds.end());
        if (part == splits_.size()) break;
        // The move of the split's event: synchronous on a transition of its label, or on the
        // log only.
        const std::int32_t label = trace[static_cast<std::size_t>(splits_[part])];
        const std::int32_t move_row = split_row(part) + labels;
        for (std::int32_t t = 0; t < net_.transition_count(); ++t) {
            if (net_.label(t) != label) continue;
            Column sync;
            sync.transition = t;
            sync.entries[move_row] = 1.0;
            add_firing(net_, t, 0, false, sync);
            add_firing(net_, t, move_row + 1, true, sync);
            for (std::size_t later = part + 1; later < splits_.size(); ++later)
                add_firing(net_, t, split_row(later) + labels + 1, false, sync);
            columns.push_back(std::move(sync));
        }
        Column log_move;
        log_move.cost = 1.0;
        log_move.entries[move_row] = 1.0;
        columns.push_back(std::move(log_move));
    }

    std::vector<CoinBigIndex> starts{0};
    std::vector<int> row_index;
    std::vector<double> values, lower, upper, costs;
    column_transition_.clear();
    for (const Column& column : columns) {
        column_transition_.push_back(column.transition);
        for (const auto& [row, value] : column.entries) {
            if (value == 0.0) continue;
            row_index.push_back(row);
            values.push_back(value);
        }
        starts.push_back(static_cast<CoinBigIndex>(row_index.size()));
        lower.push_back(0.0);
        upper.push_back(COIN_DBL_MAX);
        costs.push_back(column.cost);
    }
    const auto row_count = static_cast<std::size_t>(places + labels) +
                           splits_.size() * static_cast<std::size_t>(block);
    const std::vector<double> row_bounds(row_count, 0.0);
    // A fresh solver: one that kept its work areas would carry them over to the new program.
    solver_ = std::make_unique<Solver>();
    ClpSimplex& simplex = solver_->simplex;
    simplex.setLogLevel(0);
    simplex.loadProblem(static_cast<int>(columns.size()), static_cast<int>(row_count),
                        starts.data(), row_index.data(), values.data(), lower.data(), upper.data(),
                        costs.data(), row_bounds.data(), row_bounds.data());
    simplex.setOptimizationDirection(1.0);
    // No random perturbation: the same program gives the same solution on every thread.
    simplex.setPerturbation(100);
    // The program's entries are all -1, 0 or 1: scaling them costs more than it gains.
    simplex.scaling(0);
    simplex.setRandomSeed(kSeed);
    simplex.allSlackBasis(true);
    loaded_ = false;
}

void MarkingEquation::set_counts(std::size_t row, std::int32_t begin, std::int32_t end,
                                 double* lower, double* upper) const {
    const auto rows = static_cast<std::size_t>(label_rows());
    const std::int32_t* to = before_.data() + static_cast<std::size_t>(end) * rows;
    const std::int32_t* from = before_.data() + static_cast<std::size_t>(begin) * rows;
    for (std::size_t r = 0; r < rows; ++r)
        lower[row + r] = upper[row + r] = begin < end ? static_cast<double>(to[r] - from[r]) : 0.0;
}

bool MarkingEquation::holds_at(const Solution& solution, std::span<const std::uint8_t> marking) {
    const std::vector<std::uint8_t>& dead = dead_.at(marking);
    return std::none_of(solution.begin(), solution.end(), [&](const auto& entry) {
        const std::int32_t t = column_transition_[static_cast<std::size_t>(entry.first)];
        return t >= 0 && dead[static_cast<std::size_t>(t)] != 0;
    });
}

MarkingEquation::Estimate MarkingEquation::solve(std::span<const std::uint8_t> marking,
                                                 std::int32_t position) {
    ClpSimplex& simplex = solver_->simplex;
    double* lower = simplex.rowLower();
    double* upper = simplex.rowUpper();
    const auto places = static_cast<std::size_t>(net_.place_count());
    const auto labels = static_cast<std::size_t>(label_rows());
    const auto end = static_cast<std::int32_t>(trace_.size());
    for (std::size_t p = 0; p < places; ++p)
        lower[p] = upper[p] =
            static_cast<double>(final_marking_[p]) - static_cast<double>(marking[p]);
    // Splits at or before the position are past: their rows ask for nothing.
    std::size_t first = 0;
    while (first < splits_.size() && splits_[first] <= position)
        ++first;
    set_counts(places, position, first < splits_.size() ? splits_[first] : end, lower, upper);
    for (std::size_t j = 0; j < splits_.size(); ++j) {
        const std::size_t row = places + labels + j * (labels + 1 + places);
        const bool ahead = j >= first;
        const std::int32_t next = j + 1 < splits_.size() ? splits_[j + 1] : end;
        set_counts(row, ahead ? splits_[j] + 1 : 0, ahead ? next : 0, lower, upper);
        lower[row + labels] = upper[row + labels] = ahead ? 1.0 : 0.0;
        for (std::size_t p = 0; p < places; ++p) {
            lower[row + labels + 1 + p] = ahead ? -static_cast<double>(marking[p]) : -kLoose;
            upper[row + labels + 1 + p] = kLoose;
        }
    }
    const std::vector<std::uint8_t>& dead = dead_.at(marking);
    double* column_upper = simplex.columnUpper();
    for (std::size_t c = 0; c < column_transition_.size(); ++c) {
        const std::int32_t t = column_transition_[c];
        column_upper[c] = t >= 0 && dead[static_cast<std::size_t>(t)] != 0 ? 0.0 : COIN_DBL_MAX;
    }
    // Keep the factorization and work areas from one solve to the next, once they fit the
    // program loaded.
    simplex.dual(0, loaded_ ? 7 : 1);
    loaded_ = true;
    Estimate estimate;
    if (simplex.status() != 0) {
        // Infeasible is the only other outcome of a program bounded below by zero; anything
        // else (a solver stop) starts again from scratch once.
        if (simplex.status() != 1) {
            simplex.allSlackBasis(true);
            simplex.primal(0, 1);
        }
        if (simplex.status() != 0) return estimate;
    }
    estimate.reachable = true;
    estimate.cost =
        static_cast<std::int32_t>(std::ceil(simplex.objectiveValue() - kRounding)) +
        (unmodelled_before_.back() - unmodelled_before_[static_cast<std::size_t>(position)]);
    const double* values = simplex.primalColumnSolution();
    for (int column = 0; column < simplex.numberColumns(); ++column)
        if (values[column] > kZero)
            estimate.solution.emplace_back(column, static_cast<float>(values[column]));
    return estimate;
}

}  // namespace vesk
