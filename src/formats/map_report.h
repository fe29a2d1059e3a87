#pragma once
// The Map and Variants views of report.html. The map is laid out by dot ahead of time for a
// grid of slider positions, so that the page's sliders work without a server; equal selections
// share one drawing.

#include <cstddef>
#include <string>
#include <vector>

#include "process_map/map_selection.h"
#include "process_map/process_map.h"

namespace vesk {

// The positions of the page's two sliders, in percent.
inline constexpr int kActivitySteps[] = {100, 90, 75, 50, 25, 10};
inline constexpr int kPathSteps[] = {100, 75, 50, 25, 10, 0};

// dot takes minutes over a map of several hundred paths, which nobody reads anyway: a drawing
// holds at most this many, the most frequent the sliders keep.
inline constexpr std::size_t kMaxDrawnPaths = 150;

struct MapDrawingPlan {
    // By activity step: the log projected onto the activities it keeps.
    std::vector<ProcessMap> maps;
    // One dot text per distinct selection.
    std::vector<std::string> dot_texts;
    // By activity step, then path step: the drawing that position shows.
    std::vector<std::size_t> drawing_of_position;
    // By position: the paths drawn, and those the sliders keep.
    std::vector<std::size_t> drawn_paths;
    std::vector<std::size_t> kept_paths;
};

// whole: the map of the lines under the options.
MapDrawingPlan plan_map_drawings(const Tloglist& lines, const StepOptions& options,
                                 const ProcessMap& whole);

// The paths a selection keeps.
std::size_t path_count(const MapSelection& selection);

// What the paths slider keeps, with no more paths than kMaxDrawnPaths: where it keeps more, the
// largest selection of fewer paths (the most frequent), or the fewest the slider allows.
MapSelection drawable_selection(const ProcessMap& map, double path_percent);

// The two views' HTML, their style and their script, given the SVG dot drew of each dot text of
// the plan. Variants (of the whole map): the 100 most frequent.
std::string map_views_html(const ProcessMap& whole, const MapDrawingPlan& plan,
                           const std::vector<std::string>& svgs);
extern const char* const kMapViewsStyle;
extern const char* const kMapViewsScript;

}  // namespace vesk
