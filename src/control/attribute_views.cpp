#include "control/attribute_views.h"

#include "base/number_format.h"

namespace vesk {

std::string attribute_summary_line(const AttributeSummary& summary) {
    std::string line = summary.key + " (" + attribute_level_name(summary.level) + ", " +
                       attribute_type_name(summary.type) + "): " + grouped_number(summary.cases) +
                       " cases, " + grouped_number(summary.events) + " events, " +
                       grouped_number(summary.distinct) + " distinct value" +
                       (summary.distinct == 1 ? "" : "s");
    if (summary.min)
        line += ", from " + attribute_number_text(summary.type, *summary.min) + " to " +
                attribute_number_text(summary.type, *summary.max) + ", median " +
                attribute_number_text(summary.type, *summary.median);
    return line;
}

}  // namespace vesk
