#pragma once
// The Conformance view of report.html: the net with the alignments' moves on it, the figures,
// the deviations per activity and the variants with their alignments.

#include <string>
#include <string_view>

#include "conformance/conformance_check.h"

namespace vesk {

// The net for dot: each visible transition with its synchronous moves, the moves on the log
// only of its activity and its skips, shaded by the share of deviations; activities the net
// lacks in a note.
std::string conformance_dot_text(const ConformanceResult& result, const Tpetrinet& net);

// The view's style, for the page's head.
extern const char* const kConformanceStyle;

// svg is dot's drawing of conformance_dot_text.
std::string conformance_view_html(const ConformanceResult& result, std::string_view svg);

}  // namespace vesk
