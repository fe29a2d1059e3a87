#pragma once
// What the relations inspector does, apart from its window: the facts of the relations and
// their contradictions, the net built from them and drawn by dot, zoom and the pointer over the
// picture, clicks on transitions (the relations editor) and places (their figures), the replay
// of a process, and closing, which gives the task list the facts.

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/relations_inspection.h"
#include "formats/jpeg_picture.h"
#include "formats/vesk_map_processing.h"
#include "ui/choice_list.h"
#include "ui/modal_dialogs.h"
#include "ui/relations_editor_logic.h"

namespace vesk {

class InspectorDialogs : public ModalDialogs {
public:
    // Shows the relations editor on `editor` and returns when it has been closed.
    virtual void edit_relations(RelationsEditorLogic& editor) = 0;
    // A long step (building, drawing, replaying) is under way, or over.
    virtual void busy(bool busy) = 0;
};

// Columns: synchronisation, waiting, sojourn, global flow time; rows: observations, mean,
// variance, minimum, maximum.
using TimeInfoGrid = std::array<std::array<std::string, 5>, 4>;

// The figures of "Check conformance" on the net shown.
struct InspectorConformance {
    // "Alignment fitness 0.9512, precision 0.7321, F-score 0.8273; ...".
    std::string summary;
    // Activity, synchronous moves, moves on the log only, moves on the model only: the most
    // deviations first.
    std::vector<std::array<std::string, 4>> activities;
};

struct RelationsInspectorState {
    bool visible = false;
    ChoiceList available_processes;
    ChoiceList erroneous_sets;
    bool split_short_loops = false;
    bool combine_places = true;
    // The inductive construction's share of behaviour treated as infrequent, 0 to 1.
    double noise = 0.2;
    // "Make Petrinet (new)" and its two switches are hidden until asked for.
    bool construction_controls_visible = false;
    // Null until a net has been drawn.
    std::shared_ptr<const RgbPicture> picture;
    std::int32_t zoom = 100;
    std::int32_t natural_width = 0;
    std::int32_t natural_height = 0;
    std::int32_t mouse_x = 0;
    std::int32_t mouse_y = 0;
    bool hand_pointer = false;
    TimeInfoGrid time_info;
    // The figures with their units, hours or days where they read better: the cells' tips.
    TimeInfoGrid time_tips;
    // The clicked place in picture pixels (left, top, right, bottom), marked in the picture
    // until the next drawing.
    std::optional<std::array<std::int32_t, 4>> marked_place;
    // After Make Petrinet: that the net is a workflow net, or what it lacks and what to try.
    std::string structure;
    // Empty until Check conformance, and again after a new net or replay.
    std::optional<InspectorConformance> conformance;
    // After a replay of the whole process: its cases and token fitness, from the same pass as
    // the figures ("Replayed 13,087 cases. Fitness: 0.9751 (...)"); empty before one and after
    // a new net.
    std::string replay_summary;
    // What that replay found, each once, in the order found, in the words of its messages
    // ("Transition X not enabled!", "The mined net is not safe").
    std::vector<std::string> findings;
};

// How the inspector draws: the folder it writes its drawing files into (with its trailing
// separator) and where dot is, asked at each drawing.
struct InspectorDrawing {
    std::string work_folder;
    std::function<std::optional<std::filesystem::path>()> find_dot;
};

// "125.0000 min (2.08 h)": minutes, with hours or days where they read better (as report.html
// gives them).
std::string minutes_tip(double minutes, char separator);

InspectorConformance inspector_conformance(const ConformanceResult& result);

// n / d rounded to the nearest integer, halves to the even neighbour; d > 0.
std::int32_t divide_rounding_half_even(std::int64_t n, std::int64_t d);

class RelationsInspectorLogic {
public:
    RelationsInspectorLogic(Tvesk_util& controller, InspectorDialogs& dialogs,
                            InspectorDrawing drawing);

    static const char* const kBuildingError;
    static const char* const kNoErroneousSets;

    RelationsInspectorState& state() { return state_; }
    const RelationsInspectorState& state() const { return state_; }
    RelationsEditorLogic& editor() { return editor_; }
    RelationsInspection& inspection() { return inspection_; }
    const TrectangleList& rectangles() const { return rectangles_; }
    const std::string& drawing_folder() const { return drawing_.work_folder; }

    // The two entries. The first shows the relations the controller's task list carries, with
    // `process` of the log the controller has loaded (log_file) as the only process to replay;
    // the second reads them from a relations file. Both throw when the relations cannot be had.
    void open_with_task_list(const std::string& log_file, bool resolve_externals,
                             const std::string& process);
    void open_with_relations_file(const std::string& relations_file, bool resolve_externals);

    void check_relations();
    void edit_erroneous_set();
    void make_petrinet();
    void make_petrinet_2();
    // The inductive construction on the log's lines; after Open relations the selected process
    // is read first.
    void make_petrinet_inductive();
    // The inductive net of the noise threshold with the best F-score of alignment fitness and
    // precision on the log; the threshold box takes it, the structure line gives the grid.
    void make_petrinet_best_noise();
    void zoom_in();
    void zoom_out();
    void zoom_normal();
    // The largest zoom at which the whole net fits a view of this size, at least 10.
    void zoom_to_fit(std::int32_t view_width, std::int32_t view_height);
    // The pointer over the picture, in control pixels.
    void mouse_move(std::int32_t x, std::int32_t y);
    // A click at the last pointer position.
    void click();
    void open_xml();
    void replay_process();
    // Aligns the cases in memory on the net shown.
    void check_conformance();
    // The window closes: the task list takes the facts.
    void close();
    void toggle_construction_controls() {
        state_.construction_controls_visible = !state_.construction_controls_visible;
    }

    // The picture position of a control position at the present zoom.
    std::int32_t to_picture(std::int32_t control) const;
    // The control's size for the picture at the present zoom.
    std::int32_t picture_width() const;
    std::int32_t picture_height() const;

private:
    void reset_picture();
    // Figures, findings and alignments of an earlier replay go.
    void forget_replay();
    // After a new net: no old figures, the structure line (with `more` after it), the drawing.
    void show_new_net(const std::string& more);
    // Reads the process the inductive construction works on; false when there is none.
    bool read_log_for_inductive();
    void make_net(RelationsInspection::Construction construction, const std::string& more = {});
    // Draws the net; when dot is missing or fails, the user is told and no picture is shown.
    void draw_net();
    void show_place(std::int32_t index);
    std::string figure(double value) const;
    std::array<std::string, 5> figure_tips(const TStoch_var& figures) const;

    Tvesk_util& controller_;
    InspectorDialogs& dialogs_;
    InspectorDrawing drawing_;
    RelationsInspection inspection_;
    RelationsEditorLogic editor_;
    TrectangleList rectangles_;
    bool resolve_externals_ = false;
    // After Open relations: the file, and whether a log has been opened in the inspector since
    // (the inductive construction then reads that log; else the one the file came from).
    std::string relations_file_;
    bool log_opened_here_ = false;
    RelationsInspectorState state_;
};

}  // namespace vesk
