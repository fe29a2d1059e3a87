#include "ui/process_map_logic.h"

#include <cstdio>

#include "base/file_util.h"
#include "base/number_format.h"
#include "control/rendering.h"
#include "formats/map_report.h"

namespace vesk {

namespace {

std::string variant_line(const ProcessMap& map, const MapVariant& variant) {
    char share[32];
    std::snprintf(share, sizeof share, "%.1f%%", variant.share * 100);
    std::string line = grouped_number(variant.cases) +
                       (variant.cases == 1 ? " case (" : " cases (") + share + "), median " +
                       short_duration(variant.median_flow_minutes) + ": ";
    for (std::size_t i = 0; i < variant.activities.size(); ++i)
        line += (i > 0 ? " \u2192 " : "") +
                map.activities[static_cast<std::size_t>(variant.activities[i])].name;
    return line;
}

}  // namespace

void ProcessMapLogic::set_map(ProcessMap map) {
    map_ = std::make_shared<const ProcessMap>(std::move(map));
    ++generation_;
    state_.summary = grouped_number(map_->cases) + " cases, " + grouped_number(map_->events) +
                     (map_->instance_view ? " activity instances, " : " events, ") +
                     grouped_number(static_cast<std::int64_t>(map_->activities.size())) +
                     " activities, " +
                     grouped_number(static_cast<std::int64_t>(map_->variants.size())) + " variants";
    state_.variants.clear();
    for (std::size_t v = 0; v < map_->variants.size() && v < kVariantsListed; ++v)
        state_.variants.push_back(variant_line(*map_, map_->variants[v]));
    if (map_->variants.size() > kVariantsListed)
        state_.variants.push_back(
            "and " +
            grouped_number(static_cast<std::int64_t>(map_->variants.size() - kVariantsListed)) +
            " more");
    state_.picture.clear();
    state_.shown.clear();
    state_.problem.clear();
}

void ProcessMapLogic::clear() {
    map_.reset();
    state_ = ProcessMapState{};
    ++generation_;
}

void ProcessMapLogic::draw() {
    state_.picture.clear();
    state_.problem.clear();
    if (!map_) {
        state_.problem = "Build relations first: the map is counted from the relations' log.";
        return;
    }
    const MapSelection selection =
        drawable_selection(*map_, state_.activity_percent, state_.path_percent);
    const auto kept = std::count(selection.activities.begin(), selection.activities.end(), true);
    const std::size_t allowed =
        path_count(select_map(*map_, state_.activity_percent, state_.path_percent));
    state_.shown = std::to_string(kept) + " of " + std::to_string(map_->activities.size()) +
                   " activities, " + std::to_string(path_count(selection)) + " of " +
                   std::to_string(map_->edges.size()) + " paths" +
                   (path_count(selection) < allowed ? " (the most frequent a drawing holds)" : "");
    const std::optional<std::filesystem::path> dot =
        drawing_.find_dot ? drawing_.find_dot() : std::nullopt;
    if (drawing_.work_folder.empty() || !dot) {
        state_.problem =
            "The map cannot be drawn: dot (GraphViz) was found neither next to the "
            "program, nor in the install's data folder, nor on PATH.";
        return;
    }
    MapDotStyle style;
    style.label_times = state_.shade_by_time;
    const std::string drawing = drawing_.work_folder + "process map.dot";
    const std::string picture = drawing + ".png";
    try {
        write_file_atomically(drawing, map_dot_text(*map_, selection, style));
    } catch (const std::exception& error) {
        state_.problem = std::string("The map cannot be drawn: ") + error.what();
        return;
    }
    const RenderResult drawn = run_dot(
        *dot,
        {ProgramRun{"-Tpng", {"-Tpng", file_argument(drawing), "-o", file_argument(picture)}}});
    if (!drawn.ok()) {
        state_.problem = "dot could not draw the map: " + drawn.failures.front();
        return;
    }
    state_.picture = picture;
}

}  // namespace vesk
