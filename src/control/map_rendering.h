#pragma once
// The Map, Variants and Conformance views of report.html: dot draws each distinct selection of
// the page's slider grid, and the net with the alignments' moves, as SVG; the intermediate files
// are removed once read.

#include <filesystem>
#include <string>

#include "conformance/conformance_check.h"
#include "control/rendering.h"
#include "process_map/process_map.h"

namespace vesk {

// views receives the views' HTML; it stays empty when a drawing failed (the failure is in the
// result, and the report then goes without the map).
// whole: the map of the lines under the step options.
RenderResult draw_map_views(const std::filesystem::path& dot, const std::string& prefix,
                            const Tloglist& lines, const StepOptions& steps,
                            const ProcessMap& whole, const DotOptions& options, std::string& views);

// The map's dot text drawn by dot into `picture`, in the format its extension names ("svg",
// "png" or "pdf"); the picture is written whole or not at all, an existing one left as it was
// when the drawing fails.
RenderResult draw_map_picture(const std::filesystem::path& dot, const std::string& dot_text,
                              const std::filesystem::path& picture,
                              const RenderBudget& budget = RenderBudget{});

// The picture formats dot draws a map or net in, as given to --picture and --format.
inline constexpr const char* kPictureFormats[] = {"svg", "png", "pdf"};

// view receives the Conformance view's HTML, or stays empty when the drawing failed.
RenderResult draw_conformance_view(const std::filesystem::path& dot, const std::string& prefix,
                                   const ConformanceResult& conformance, const Tpetrinet& net,
                                   const DotOptions& options, std::string& view);

// The Attributes view, and the Resources view with the handover map dot draws (the view keeps
// its tables where the drawing fails); both empty where the log's lines carry no attributes
// or no resources.
struct AttributeReportViews {
    std::string attributes;
    std::string resources;
};
RenderResult draw_attribute_views(const std::filesystem::path& dot, const std::string& prefix,
                                  const Tloglist& lines, const DotOptions& options,
                                  AttributeReportViews& views);

}  // namespace vesk
