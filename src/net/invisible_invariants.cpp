#include "net/invisible_invariants.h"

#include <cstdlib>
#include <numeric>
#include <optional>

namespace vesk {

namespace {

using Row = std::vector<std::int64_t>;

// Integers small enough that products of two stay far from overflow.
constexpr std::int64_t kLimit = std::int64_t{1} << 30;

bool small(std::int64_t x) {
    return x < kLimit && x > -kLimit;
}

void divide_by_gcd(Row& row) {
    std::int64_t divisor = 0;
    for (const std::int64_t x : row)
        divisor = std::gcd(divisor, x);
    if (divisor > 1)
        for (std::int64_t& x : row)
            x /= divisor;
}

// The reduced rows of the invisible transitions' incidence (one row per transition, one
// column per place) and each row's pivot column; nothing when the numbers grow too large.
std::optional<std::pair<std::vector<Row>, std::vector<std::size_t>>> echelon(const TokenNet& net) {
    const auto places = static_cast<std::size_t>(net.place_count());
    std::vector<Row> rows;
    for (std::int32_t t = 0; t < net.transition_count(); ++t) {
        if (!net.invisible(t)) continue;
        Row row(places, 0);
        for (const std::int32_t p : net.inputs(t))
            --row[static_cast<std::size_t>(p)];
        for (const std::int32_t p : net.outputs(t))
            ++row[static_cast<std::size_t>(p)];
        rows.push_back(std::move(row));
    }
    std::vector<std::size_t> pivots;
    std::size_t rank = 0;
    for (std::size_t column = 0; column < places && rank < rows.size(); ++column) {
        std::size_t pivot = rank;
        while (pivot < rows.size() && rows[pivot][column] == 0)
            ++pivot;
        if (pivot == rows.size()) continue;
        std::swap(rows[rank], rows[pivot]);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (r == rank || rows[r][column] == 0) continue;
            const std::int64_t a = rows[rank][column], b = rows[r][column];
            for (std::size_t c = 0; c < places; ++c) {
                rows[r][c] = rows[r][c] * a - rows[rank][c] * b;
                if (!small(rows[r][c])) return std::nullopt;
            }
            divide_by_gcd(rows[r]);
        }
        pivots.push_back(column);
        ++rank;
    }
    rows.resize(rank);
    return std::make_pair(std::move(rows), std::move(pivots));
}

}  // namespace

InvisibleInvariants::InvisibleInvariants(const TokenNet& net) {
    const auto reduced = echelon(net);
    if (!reduced) return;  // no weightings: the searches lose a shortcut, not an answer
    const auto& [rows, pivots] = *reduced;
    const auto places = static_cast<std::size_t>(net.place_count());
    std::vector<bool> is_pivot(places, false);
    for (const std::size_t column : pivots)
        is_pivot[column] = true;
    std::int64_t common = 1;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        common = std::lcm(common, std::abs(rows[r][pivots[r]]));
        if (!small(common)) return;
    }
    // y . row = 0 for every row: each free place gets weight `common` in turn, and each pivot
    // place the weight that cancels it in its row.
    for (std::size_t free = 0; free < places; ++free) {
        if (is_pivot[free]) continue;
        Row weights(places, 0);
        weights[free] = common;
        for (std::size_t r = 0; r < rows.size(); ++r)
            weights[pivots[r]] = -rows[r][free] * (common / rows[r][pivots[r]]);
        weights_.push_back(std::move(weights));
    }
}

bool InvisibleInvariants::may_connect(std::span<const std::int32_t> from,
                                      std::span<const std::int32_t> to) const {
    for (const Row& weights : weights_) {
        std::int64_t difference = 0;
        for (std::size_t p = 0; p < weights.size(); ++p)
            difference += weights[p] * (from[p] - to[p]);
        if (difference != 0) return false;
    }
    return true;
}

}  // namespace vesk
