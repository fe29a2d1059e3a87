#pragma once
// The attribute and resource figures of the process the controller read, for every front end.

#include <string>
#include <vector>

#include "attributes/attribute_summary.h"
#include "resources/resource_views.h"

namespace vesk {

// "AMOUNT_REQ (case, int): 13,087 cases, 1,011 distinct values, from 0 to 99,999, median 10,000".
std::string attribute_summary_line(const AttributeSummary& summary);

}  // namespace vesk
