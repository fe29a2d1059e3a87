#pragma once
// What the process map window does, apart from its widgets: the map of the relations' log,
// drawn by dot at the sliders' positions, and its variants as lines of text.

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
    bool shade_by_time = false;
    // "13,087 cases, 262,200 events, 24 activities, 4,366 variants"; empty without a map.
    std::string summary;
    // What the picture shows: "23 of 24 activities, 40 of 98 paths".
    std::string shown;
    // The PNG dot drew; empty when there is none (problem then says why).
    std::filesystem::path picture;
    std::string problem;
    // "3,429 cases (26.2%), median 38 s: A_SUBMITTED → A_PARTLYSUBMITTED", most frequent first.
    std::vector<std::string> variants;
};

class ProcessMapLogic {
public:
    // The window lists at most this many variants.
    static constexpr std::size_t kVariantsListed = 500;

    explicit ProcessMapLogic(InspectorDrawing drawing) : drawing_(std::move(drawing)) {}

    const ProcessMapState& state() const { return state_; }
    ProcessMapState& state() { return state_; }
    bool has_map() const { return map_ != nullptr; }
    // Counts the maps set and cleared, so that a window sees that its picture is out of date.
    std::uint64_t generation() const { return generation_; }

    // A new map (after Build relations): the summary and the variants; the picture waits for
    // draw().
    void set_map(ProcessMap map);
    void clear();
    // The map at the state's sliders, drawn anew.
    void draw();

private:
    InspectorDrawing drawing_;
    std::shared_ptr<const ProcessMap> map_;
    ProcessMapState state_;
    std::uint64_t generation_ = 0;
};

}  // namespace vesk
