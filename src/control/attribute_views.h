#pragma once
// The attribute and resource figures of the process the controller read, for every front end.

#include <string>
#include <vector>

#include "attributes/attribute_summary.h"
#include "resources/resource_views.h"

namespace vesk {

// A number of a summary as text: dates in ISO 8601 (UTC), numbers in their shortest exact form.
std::string summary_number_text(const AttributeSummary& summary, double value);

// "AMOUNT_REQ (case, int): 13,087 cases, 1,011 distinct values, from 0 to 99,999, median 10,000".
std::string attribute_summary_line(const AttributeSummary& summary);

}  // namespace vesk
