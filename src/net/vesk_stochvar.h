#pragma once
// The observations of one timing figure, summarised on demand.

#include <cstdint>
#include <vector>

#include "base/compact_numbers.h"

namespace vesk {

using TRealArray = std::vector<double>;

class TStoch_var {
public:
    void Add_observation(double value) { observations_.push_back(value); }
    void Clear() { observations_.clear(); }
    std::int32_t Nr_of_observations() const;
    // -1 when empty.
    double Mean() const;
    // Population variance (divided by n); 0 when empty.
    double Variance() const;
    // -1 when empty.
    double Minimum() const;
    // 0 when empty.
    double Maximum() const;
    // The observations in the order they were added.
    TRealArray observations() const;

private:
    // The first observation that no later one beats; the observations are not empty.
    template <typename Beats>
    double extreme(Beats beats) const {
        double best = 0;
        bool first = true;
        observations_.for_each([&](double x) {
            if (first || beats(x, best)) best = x;
            first = false;
        });
        return best;
    }

    // Held compactly: a replay of a long log observes a few figures per event.
    CompactNumbers observations_;
};

}  // namespace vesk
