#include "process_map/duration_figures.h"

#include <algorithm>
#include <numeric>

namespace vesk {

double median_of(std::vector<double>& values) {
    if (values.empty()) return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    const double upper = *middle;
    if (values.size() % 2 == 1) return upper;
    const double lower = *std::max_element(values.begin(), middle);
    return (lower + upper) / 2;
}

DurationFigures duration_figures(std::vector<double>& minutes) {
    DurationFigures figures;
    if (minutes.empty()) return figures;
    figures.count = static_cast<std::int64_t>(minutes.size());
    const auto [low, high] = std::minmax_element(minutes.begin(), minutes.end());
    figures.min = *low;
    figures.max = *high;
    figures.total = std::accumulate(minutes.begin(), minutes.end(), 0.0);
    figures.mean = figures.total / static_cast<double>(figures.count);
    figures.median = median_of(minutes);
    return figures;
}

}  // namespace vesk
