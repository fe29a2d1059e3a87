#pragma once
// Mean, median, minimum, maximum and total of a set of spans in minutes.

#include <cstdint>
#include <vector>

namespace vesk {

struct DurationFigures {
    std::int64_t count = 0;
    double mean = 0;
    // The middle value; the mean of the two middle values for an even count.
    double median = 0;
    double min = 0;
    double max = 0;
    double total = 0;
};

// All zero for no values. Reorders the values.
DurationFigures duration_figures(std::vector<double>& minutes);
// The median alone; 0 for no values. Reorders the values.
double median_of(std::vector<double>& values);

}  // namespace vesk
