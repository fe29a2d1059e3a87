// The inspector's figures as text: conformance, time tips, and the zoom's rounding.

#include "base/number_format.h"
#include "ui/relations_inspector_logic.h"

namespace vesk {

InspectorConformance inspector_conformance(const ConformanceResult& result) {
    InspectorConformance shown;
    shown.summary = "Alignment fitness " + format_fixed4(result.fitness, '.') + ", precision " +
                    format_fixed4(result.precision.value, '.') + ", F-score " +
                    format_fixed4(result.f_score, '.') + "; " +
                    grouped_number(result.cases_fitting) + " of " + grouped_number(result.cases) +
                    " cases fit";
    if (result.variants_not_aligned > 0)
        shown.summary += "; " + grouped_number(result.variants_not_aligned) +
                         " variants not aligned (search bound) and left out";
    const std::vector<const ActivityMoves*> list = by_deviations(result);
    for (const ActivityMoves* moves : list)
        shown.activities.push_back(
            {result.net.display_name(moves->label), grouped_number(moves->synchronous),
             grouped_number(moves->log_moves), grouped_number(moves->model_moves)});
    return shown;
}

std::int32_t divide_rounding_half_even(std::int64_t n, std::int64_t d) {
    std::int64_t q = n / d;
    std::int64_t r = n % d;
    if (r < 0) {  // floor division, so that the remainder lies in [0, d)
        q -= 1;
        r += d;
    }
    if (2 * r > d || (2 * r == d && q % 2 != 0)) q += 1;
    if (q > INT32_MAX) return INT32_MAX;
    if (q < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(q);
}

std::string minutes_tip(double minutes, char separator) {
    std::string text = format_fixed4(minutes, separator) + " min";
    const auto larger = larger_time_unit(minutes);
    if (!larger) return text;
    char value[64];
    std::snprintf(value, sizeof value, "%.2f", larger->value);
    std::string shown = value;
    std::replace(shown.begin(), shown.end(), '.', separator);
    return text + " (" + shown + " " + larger->unit + ")";
}

}  // namespace vesk
