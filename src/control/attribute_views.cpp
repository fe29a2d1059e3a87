#include "control/attribute_views.h"

#include "base/number_format.h"

namespace vesk {

std::string summary_number_text(const AttributeSummary& summary, double value) {
    return attribute_number_text(summary.type, value);
}

std::string attribute_summary_line(const AttributeSummary& summary) {
    std::string line = summary.key + " (" + attribute_level_name(summary.level) + ", " +
                       attribute_type_name(summary.type) + "): " + grouped_number(summary.cases) +
                       " cases, " + grouped_number(summary.events) + " events, " +
                       grouped_number(summary.distinct) + " distinct value" +
                       (summary.distinct == 1 ? "" : "s");
    if (summary.min)
        line += ", from " + summary_number_text(summary, *summary.min) + " to " +
                summary_number_text(summary, *summary.max) + ", median " +
                summary_number_text(summary, *summary.median);
    return line;
}

}  // namespace vesk
