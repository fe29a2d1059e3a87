#include "ui/relations_inspector_logic.h"

#include <algorithm>

#include "base/progress.h"
#include "base/util_functions.h"
#include "control/export_petrinet.h"
#include "control/noise_choice.h"
#include "control/rendering.h"
#include "formats/vesk_dot_writer.h"
#include "ui/inspector_busy_scope.h"

namespace vesk {

const char* const RelationsInspectorLogic::kBuildingError =
    "There was a problem while building the Petrinet. There might be to many errors in the "
    "relations, or there was not enough memory available to complete the building process.";
const char* const RelationsInspectorLogic::kNoErroneousSets = "There are no erroneus sets to edit";

namespace {

std::string structure_text(const NetStructure& structure, const Tpetrinet& net) {
    const std::vector<std::string> findings =
        structure_findings(structure, visible_transitions(net));
    if (findings.empty())
        return "The net is a workflow net: every node lies on a path from the start to the end "
               "place.";
    std::string text = "The net is broken: " + findings.front();
    if (findings.size() > 1) text += " (and " + std::to_string(findings.size() - 1) + " more)";
    return text + ". Hint: " + kStructureHint + ".";
}

constexpr const char* kDrawingBase = "vesk_rel_calc";

}  // namespace

RelationsInspectorLogic::RelationsInspectorLogic(Tvesk_util& controller, InspectorDialogs& dialogs,
                                                 InspectorDrawing drawing)
    : controller_(controller),
      dialogs_(dialogs),
      drawing_(std::move(drawing)),
      inspection_(controller),
      editor_(dialogs) {}

void RelationsInspectorLogic::reset_picture() {
    rectangles_ = {};
    state_.picture.reset();
    state_.zoom = 100;
    state_.natural_width = 0;
    state_.natural_height = 0;
    state_.mouse_x = 0;
    state_.mouse_y = 0;
    state_.hand_pointer = false;
    state_.marked_place.reset();
}

void RelationsInspectorLogic::open_with_task_list(const std::string& log_file,
                                                  bool resolve_externals,
                                                  const std::string& process) {
    reset_picture();
    // Figures of an earlier inspection belong to another net.
    state_.time_info = {};
    state_.time_tips = {};
    state_.structure.clear();
    resolve_externals_ = resolve_externals;
    inspection_.open_with_task_list();
    relations_file_.clear();
    check_relations();
    if (controller_.log_file_name() != log_file)
        controller_.load_log_plainly(log_file, resolve_externals);
    state_.available_processes = {{process}, 0};
    state_.visible = true;
}

void RelationsInspectorLogic::open_with_relations_file(const std::string& relations_file,
                                                       bool resolve_externals) {
    reset_picture();
    state_.time_info = {};
    state_.time_tips = {};
    state_.structure.clear();
    resolve_externals_ = resolve_externals;
    inspection_.open_with_relations_file(relations_file, resolve_externals, dialogs_);
    relations_file_ = relations_file;
    log_opened_here_ = false;
    state_.available_processes = {};
    check_relations();
    state_.visible = true;
}

void RelationsInspectorLogic::check_relations() {
    inspection_.check_relations();
    state_.erroneous_sets = {};
    const TintMatrix& sets = inspection_.erroneous_sets();
    for (std::size_t i = 0; i < sets.size(); ++i)
        state_.erroneous_sets.items.push_back("Erroneous set " + std::to_string(i));
    if (!sets.empty()) state_.erroneous_sets.selected = 0;
}

void RelationsInspectorLogic::edit_erroneous_set() {
    const std::string entry = state_.erroneous_sets.text();
    const std::size_t blank = entry.rfind(' ');
    int index = -1;
    const TintMatrix& sets = inspection_.erroneous_sets();
    if (entry.empty() || blank == std::string::npos ||
        !parse_int32(entry.substr(blank + 1), index) || index < 0 ||
        static_cast<std::size_t>(index) >= sets.size() || !inspection_.is_open()) {
        dialogs_.information(kNoErroneousSets);
        return;
    }
    editor_.open(inspection_.facts(), sets[static_cast<std::size_t>(index)], nullptr);
    dialogs_.edit_relations(editor_);
    editor_.close();
    check_relations();
}

void RelationsInspectorLogic::forget_replay() {
    state_.conformance.reset();
    state_.time_info = {};
    state_.time_tips = {};
    state_.replay_summary.clear();
    state_.findings.clear();
}

void RelationsInspectorLogic::make_net(RelationsInspection::Construction construction,
                                       const std::string& more) {
    if (!inspection_.is_open()) return;
    try {
        InspectorBusyScope busy(dialogs_);
        inspection_.make_petrinet(state_.split_short_loops, construction, state_.combine_places,
                                  state_.noise);
    } catch (const std::exception& error) {
        dialogs_.error(std::string(kBuildingError) + "\n" + error.what());
        return;
    }
    show_new_net(more);
}

void RelationsInspectorLogic::show_new_net(const std::string& more) {
    // The figures shown were the earlier net's.
    forget_replay();
    state_.structure = structure_text(controller_.structure(), controller_.net());
    if (const std::string left_out = left_out_line(controller_.left_out()); !left_out.empty())
        state_.structure += " " + left_out + ".";
    state_.structure += more;
    draw_net();
}

void RelationsInspectorLogic::make_petrinet() {
    make_net(RelationsInspection::Construction::alpha);
}

void RelationsInspectorLogic::make_petrinet_2() {
    make_net(RelationsInspection::Construction::second);
}

bool RelationsInspectorLogic::read_log_for_inductive() {
    std::string process = process_id_of_entry(state_.available_processes.text());
    if (!relations_file_.empty() && !log_opened_here_) {
        // The log in memory is another's: the one the relations came from is read instead.
        const std::optional<RelationsSource> source = relations_source_of(relations_file_);
        if (!source) {
            dialogs_.information(
                "The inductive construction works on a log, and the log this relations file was "
                "written from is not beside it under the name the file's name gives. Open the "
                "log with \"Open XML log\", choose its process, and make the net again.");
            return false;
        }
        controller_.load_log_plainly(source->log, resolve_externals_);
        state_.available_processes = {{source->process}, 0};
        log_opened_here_ = true;
        process = source->process;
    } else if (!controller_.log().empty() || process.empty()) {
        return true;
    }
    try {
        InspectorBusyScope busy(dialogs_);
        inspection_.read_process(process);
    } catch (const std::exception& error) {
        dialogs_.error(std::string(kBuildingError) + "\nThe process " + process +
                       " could not be read: " + error.what());
        return false;
    }
    return true;
}

void RelationsInspectorLogic::make_petrinet_inductive() {
    if (!inspection_.is_open() || !read_log_for_inductive()) return;
    make_net(RelationsInspection::Construction::inductive);
}

void RelationsInspectorLogic::make_petrinet_best_noise() {
    if (!inspection_.is_open() || !read_log_for_inductive()) return;
    NoiseChoice choice;
    try {
        InspectorBusyScope busy(dialogs_);
        inspection_.apply();
        choice = choose_noise(controller_);
        controller_.net().Reset_replay_state();
    } catch (const Cancelled&) {
        // The grid stopped at one of its nets: the threshold in the box gets its own back.
        make_net(RelationsInspection::Construction::inductive,
                 "\nBest noise cancelled: the net of the threshold in the box.");
        return;
    } catch (const std::exception& error) {
        dialogs_.error(std::string(kBuildingError) + "\n" + error.what());
        make_net(RelationsInspection::Construction::inductive);
        return;
    }
    state_.noise = choice.chosen;
    std::string grid = "\nNoise chosen by F-score:";
    for (const std::string& line : noise_choice_lines(choice))
        grid += "\n" + line;
    show_new_net(grid);
}

void RelationsInspectorLogic::draw_net() {
    const std::string& folder = drawing_.work_folder;
    try {
        InspectorBusyScope busy(dialogs_);
        if (folder.empty()) throw std::runtime_error("there is no folder to draw in");
        controller_.set_cluster_colour(kDefaultClusterColour);
        Write_dot_low(controller_.net(), folder, kDrawingBase, "", false, true,
                      controller_.decimal_separator());
        const std::optional<std::filesystem::path> dot =
            drawing_.find_dot ? drawing_.find_dot() : std::nullopt;
        if (!dot) {
            dialogs_.warning(
                "The net was built, but it cannot be drawn: dot (GraphViz) was found neither next "
                "to the program, nor in the install's data folder, nor on PATH.");
            return;
        }
        const RenderResult drawn = run_dot(*dot, inspector_runs(folder));
        if (!drawn.ok()) {
            dialogs_.warning("The net was built, but dot could not draw it: " +
                             drawn.failures.front());
            return;
        }
        // The zoom the user chose stays for the new drawing; Fit is a button away.
        const std::int32_t zoom = state_.zoom;
        reset_picture();
        state_.zoom = zoom;
        try {
            rectangles_.Load_map(folder + kDrawingBase + ".dot.map");
        } catch (const std::exception& error) {
            // The rectangles read before the bad line stay usable; the picture is not shown.
            dialogs_.warning(std::string("The image map of the net cannot be read: ") +
                             error.what());
            return;
        }
        auto picture =
            std::make_shared<const RgbPicture>(decode_jpeg(folder + kDrawingBase + ".dot.jpg"));
        state_.natural_width = picture->width;
        state_.natural_height = picture->height;
        state_.picture = std::move(picture);
    } catch (const std::exception& error) {
        dialogs_.warning(std::string("The net cannot be drawn: ") + error.what());
        return;
    }
    click();
}

std::int32_t RelationsInspectorLogic::to_picture(std::int32_t control) const {
    return divide_rounding_half_even(std::int64_t{control} * 100, state_.zoom);
}

std::int32_t RelationsInspectorLogic::picture_width() const {
    return divide_rounding_half_even(std::int64_t{state_.natural_width} * state_.zoom, 100);
}

std::int32_t RelationsInspectorLogic::picture_height() const {
    return divide_rounding_half_even(std::int64_t{state_.natural_height} * state_.zoom, 100);
}

void RelationsInspectorLogic::zoom_in() {
    // Past this the picture's size would leave 32 bits.
    if (state_.zoom <= INT32_MAX / 100 - 10) state_.zoom += 10;
}

void RelationsInspectorLogic::zoom_out() {
    state_.zoom -= 10;
    if (state_.zoom <= 0) state_.zoom = 10;
}

void RelationsInspectorLogic::zoom_to_fit(std::int32_t view_width, std::int32_t view_height) {
    if (state_.natural_width <= 0 || state_.natural_height <= 0) return;
    const std::int64_t across = std::int64_t{view_width} * 100 / state_.natural_width;
    const std::int64_t down = std::int64_t{view_height} * 100 / state_.natural_height;
    state_.zoom = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::min(across, down), 10, INT32_MAX / 100 - 10));
}

void RelationsInspectorLogic::zoom_normal() {
    state_.zoom = 100;
}

void RelationsInspectorLogic::mouse_move(std::int32_t x, std::int32_t y) {
    state_.mouse_x = x;
    state_.mouse_y = y;
    state_.hand_pointer = rectangles_.Rectangle_at(to_picture(x), to_picture(y)) != nullptr;
}

void RelationsInspectorLogic::click() {
    const Trectangle* hit =
        rectangles_.Rectangle_at(to_picture(state_.mouse_x), to_picture(state_.mouse_y));
    if (hit == nullptr || !inspection_.is_open()) return;
    const std::size_t pair = hit->url.find("\\n");
    const std::string a = pair == std::string::npos ? "" : hit->url.substr(0, pair);
    const std::string b = pair == std::string::npos ? "" : hit->url.substr(pair + 2);
    Tfactslist& facts = inspection_.facts();
    if (Ttask* task = facts.task_list().find_by_name(a + "_" + b)) {
        editor_.open(facts, facts.facts_of_task(task), task);
        dialogs_.edit_relations(editor_);
        editor_.close();
        check_relations();
        return;
    }
    int index = -1;
    if (!parse_int32(b, index)) return;
    show_place(index);
    state_.marked_place = {hit->x1, hit->y2, hit->x2, hit->y1};
}

void RelationsInspectorLogic::close() {
    inspection_.close();
    editor_.close();
    rectangles_ = {};
    state_.visible = false;
}

}  // namespace vesk
