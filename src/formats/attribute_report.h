#pragma once
// The Attributes and Resources views of report.html: the keys of the cases and events with
// their values, and who hands work to whom with the activity x resource table.

#include <string>
#include <string_view>
#include <vector>

#include "attributes/attribute_summary.h"
#include "resources/resource_views.h"

namespace vesk {

std::string attributes_view_html(const std::vector<AttributeSummary>& summaries);

// handover_svg: dot's drawing of the map by resource; empty when it was not drawn.
std::string resources_view_html(const ResourceViews& views, std::string_view handover_svg,
                                const std::string& resource_key);

extern const char* const kAttributeViewsStyle;

}  // namespace vesk
