#include "ui/process_map_logic.h"

#include <cstdio>

#include "base/file_util.h"
#include "base/number_format.h"
#include "control/map_rendering.h"
#include "control/rendering.h"
#include "formats/map_report.h"

namespace vesk {

namespace {

std::string variant_line(const ProcessMap& map, const MapVariant& variant) {
    const std::string share = percent_text(variant.share);
    std::string line = grouped_number(variant.cases) +
                       (variant.cases == 1 ? " case (" : " cases (") + share + "), median " +
                       short_duration(variant.median_flow_minutes) + ": ";
    for (std::size_t i = 0; i < variant.activities.size(); ++i)
        line += (i > 0 ? " \u2192 " : "") +
                map.activities[static_cast<std::size_t>(variant.activities[i])].name;
    return line;
}

}  // namespace

void ProcessMapLogic::set_map(const Tloglist& lines, const StepOptions& steps, ProcessMap whole) {
    activities_ = std::make_shared<const MapSource>(MapSource{lines, steps, std::move(whole)});
    source_ = activities_;
    state_.node_choices = {"activities"};
    state_.node_choice = 0;
    for (const AttributeColumn& column : lines.attributes().columns())
        if (column.level() == AttributeLevel::event_level)
            state_.node_choices.push_back(column.key());
    describe();
}

void ProcessMapLogic::choose_nodes(int index) {
    if (!activities_ || index < 0 || index >= static_cast<int>(state_.node_choices.size()) ||
        index == state_.node_choice)
        return;
    state_.node_choice = index;
    if (index == 0) {
        source_ = activities_;
    } else {
        AttributeMap by_value =
            attribute_map(activities_->lines, state_.node_choices[static_cast<std::size_t>(index)]);
        source_ = std::make_shared<const MapSource>(
            MapSource{std::move(by_value.log.lines), StepOptions{}, std::move(by_value.map)});
    }
    describe();
}

void ProcessMapLogic::describe() {
    const ProcessMap& map = source_->whole;
    ++generation_;
    const std::string nodes =
        state_.node_choice == 0
            ? "activities"
            : "values of " + state_.node_choices[static_cast<std::size_t>(state_.node_choice)];
    state_.summary = grouped_number(map.cases) + " cases, " + grouped_number(map.events) +
                     (map.instance_view ? " activity instances, " : " events, ") +
                     grouped_number(static_cast<std::int64_t>(map.activities.size())) + " " +
                     nodes + ", " + grouped_number(static_cast<std::int64_t>(map.variants.size())) +
                     " variants";
    state_.variants.clear();
    for (std::size_t v = 0; v < map.variants.size() && v < kVariantsListed; ++v)
        state_.variants.push_back(variant_line(map, map.variants[v]));
    if (map.variants.size() > kVariantsListed)
        state_.variants.push_back(
            "and " +
            grouped_number(static_cast<std::int64_t>(map.variants.size() - kVariantsListed)) +
            " more");
    state_.picture.clear();
    state_.shown.clear();
    state_.problem.clear();
    drawn_dot_text_.clear();
}

void ProcessMapLogic::clear() {
    activities_.reset();
    source_.reset();
    state_ = ProcessMapState{};
    drawn_dot_text_.clear();
    ++generation_;
}

std::optional<MapDrawingRequest> ProcessMapLogic::drawing_request() {
    if (!source_) {
        state_.picture.clear();
        state_.problem = "Build relations first: the map is counted from the relations' log.";
        return std::nullopt;
    }
    const std::optional<std::filesystem::path> dot =
        drawing_.find_dot ? drawing_.find_dot() : std::nullopt;
    MapDrawingRequest request{source_,
                              state_.activity_percent,
                              state_.path_percent,
                              state_.shading,
                              dot.value_or(std::filesystem::path()),
                              {},
                              generation_};
    if (!drawing_.work_folder.empty()) request.picture = drawing_.work_folder + "process map.svg";
    return request;
}

MapDrawing ProcessMapLogic::make_drawing(const MapDrawingRequest& request) {
    MapDrawing drawing;
    drawing.generation = request.generation;
    const MapSource& source = *request.source;
    const ProcessMap shown =
        projected_map(source.lines, source.steps, source.whole, request.activity_percent);
    const MapSelection selection = drawable_selection(shown, request.path_percent);
    const std::size_t allowed = path_count(select_paths(shown, request.path_percent));
    const MapCoverage coverage = coverage_of(source.whole, shown, selection);
    drawing.shown =
        std::to_string(shown.activities.size()) + " of " +
        std::to_string(source.whole.activities.size()) + " activities, " +
        std::to_string(path_count(selection)) + " of " + std::to_string(shown.edges.size()) +
        " paths" + (path_count(selection) < allowed ? " (the most frequent a drawing holds)" : "") +
        "; " + percent_text(coverage.events) +
        (source.whole.instance_view ? " of the activity instances, " : " of the events, ") +
        percent_text(coverage.pairs) + " of the directly-follows pairs";
    if (request.picture.empty() || request.dot.empty()) {
        drawing.problem =
            "The map cannot be drawn: dot (GraphViz) was found neither next to the "
            "program, nor in the install's data folder, nor on PATH.";
        return drawing;
    }
    MapDotStyle style;
    style.shading = request.shading;
    drawing.dot_text = map_dot_text(shown, selection, style);
    const RenderResult drawn = draw_map_picture(request.dot, drawing.dot_text, request.picture);
    if (!drawn.ok())
        drawing.problem = "dot could not draw the map: " + drawn.failures.front();
    else
        drawing.picture = request.picture;
    return drawing;
}

void ProcessMapLogic::accept(const MapDrawing& drawing) {
    if (drawing.generation != generation_ || !source_) return;
    state_.shown = drawing.shown;
    state_.picture = drawing.picture;
    state_.problem = drawing.problem;
    drawn_dot_text_ = drawing.dot_text;
}

void ProcessMapLogic::draw() {
    if (const std::optional<MapDrawingRequest> request = drawing_request())
        accept(make_drawing(*request));
}

std::string ProcessMapLogic::save_picture(const std::filesystem::path& path) const {
    const std::string extension = path.extension().string();
    if (extension != ".svg" && extension != ".png" && extension != ".pdf")
        return "Save picture writes .svg, .png or .pdf files, not \"" + extension + "\".";
    if (drawn_dot_text_.empty()) return "There is no picture of the map to save.";
    const std::optional<std::filesystem::path> dot =
        drawing_.find_dot ? drawing_.find_dot() : std::nullopt;
    if (!dot) return "dot (GraphViz) was not found: the picture cannot be drawn.";
    const RenderResult drawn = draw_map_picture(*dot, drawn_dot_text_, path);
    return drawn.ok() ? std::string() : "dot could not draw the picture: " + drawn.failures.front();
}

}  // namespace vesk
