#pragma once
// What the process map window does, apart from its widgets: the map of the relations' log,
// drawn by dot at the sliders' positions, and its variants as lines of text. A drawing is
// prepared on the window's thread, made (projection, selection, dot) on any thread from what
// was prepared alone, and taken back on the window's thread, so that the window stays
// responsive while dot lays out a large map.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control/map_run.h"
#include "ui/relations_inspector_logic.h"

namespace vesk {

struct ProcessMapState {
    // Percentages, 0 to 100.
    int activity_percent = 100;
    int path_percent = 100;
    MapShading shading = MapShading::frequency;
    // "13,087 cases, 262,200 events, 24 activities, 4,366 variants"; empty without a map.
    std::string summary;
    // What the picture shows: "23 of 24 activities, 40 of 98 paths; 99.1% of the events, ...".
    std::string shown;
    // The SVG dot drew; empty when there is none (problem then says why).
    std::filesystem::path picture;
    std::string problem;
    // "3,429 cases (26.2%), median 38 s: A_SUBMITTED → A_PARTLYSUBMITTED", most frequent first.
    std::vector<std::string> variants;
    // What the nodes are: "activities", then the keys of the event attributes read; the chosen.
    std::vector<std::string> node_choices;
    int node_choice = 0;
};

// The log a map was counted from, with the map: what every drawing projects and selects from.
struct MapSource {
    Tloglist lines;
    StepOptions steps;
    ProcessMap whole;
};

// Everything one drawing needs, copied, so that it can be made on another thread.
struct MapDrawingRequest {
    std::shared_ptr<const MapSource> source;
    int activity_percent = 100;
    int path_percent = 100;
    MapShading shading = MapShading::frequency;
    std::filesystem::path dot;
    std::filesystem::path picture;
    std::uint64_t generation = 0;
};

struct MapDrawing {
    std::uint64_t generation = 0;
    std::string shown;
    std::filesystem::path picture;
    std::string problem;
    // What dot drew, for Save picture.
    std::string dot_text;
};

class ProcessMapLogic {
public:
    // The window lists at most this many variants.
    static constexpr std::size_t kVariantsListed = 500;

    explicit ProcessMapLogic(InspectorDrawing drawing) : drawing_(std::move(drawing)) {}

    const ProcessMapState& state() const { return state_; }
    ProcessMapState& state() { return state_; }
    bool has_map() const { return source_ != nullptr; }
    // Counts the maps set and cleared, so that a window sees that its picture is out of date.
    std::uint64_t generation() const { return generation_; }

    // A new map (after Build relations) of the lines under the step options: the summary and
    // the variants; the picture waits for a drawing.
    void set_map(const Tloglist& lines, const StepOptions& steps, ProcessMap whole);
    void clear();
    // Names the nodes by node_choices[index]: the activities, or the values of an event
    // attribute (org:resource: the handover of work). The picture waits for a drawing.
    void choose_nodes(int index);

    // The drawing at the state's sliders; nothing when there is nothing to draw (the state's
    // problem then says why).
    std::optional<MapDrawingRequest> drawing_request();
    // Makes the drawing; reads nothing but the request.
    static MapDrawing make_drawing(const MapDrawingRequest& request);
    // Takes a drawing into the state; one of an earlier map is dropped.
    void accept(const MapDrawing& drawing);
    // The three steps in one, on the calling thread.
    void draw();
    // Writes the picture last drawn to `path` in the format its extension names (svg, png,
    // pdf); empty when written, else why not.
    std::string save_picture(const std::filesystem::path& path) const;

private:
    // The summary and variants of the map shown.
    void describe();

    InspectorDrawing drawing_;
    // The map by activity, and the one shown.
    std::shared_ptr<const MapSource> activities_;
    std::shared_ptr<const MapSource> source_;
    ProcessMapState state_;
    std::string drawn_dot_text_;
    std::uint64_t generation_ = 0;
};

}  // namespace vesk
