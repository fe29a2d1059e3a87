#pragma once
// What the main window does, apart from its widgets: the state of its controls, and each
// command as a sequence of calls into the controller that turns one state into the next. The
// window copies its controls into the state before a command and shows the state after it;
// dialogs go through the UserDialogs interface, so tests answer them.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "control/event_choice.h"
#include "control/export_petrinet.h"
#include "control/vesk_util.h"
#include "ui/case_filter_fields.h"
#include "ui/choice_list.h"
#include "ui/modal_dialogs.h"
#include "ui/process_map_logic.h"

namespace vesk {

// What the relations inspector is opened on: the relations just built, with the log and
// process they came from, or a relations file.
struct InspectorEntry {
    enum class Source { task_list, relations_file };
    Source source = Source::task_list;
    std::string file;
    std::string process;
    bool resolve_externals = false;
};

// The dialogs and the repainting a command needs from its window.
class UserDialogs : public ModalDialogs {
public:
    // The status line changed: show it now, the command goes on.
    virtual void status_shown(const std::string& status) = 0;
    // A long step is under way (busy) or over.
    virtual void busy(bool busy) = 0;
    // How far the long step has come.
    virtual void progress(const Progress& /*progress*/) {}
    // Shows the relations inspector on the entry and returns when it has been closed. Throws
    // when the inspector cannot be opened on it.
    virtual void inspect(const InspectorEntry& entry) = 0;
};

struct MainWindowState {
    // Conversion tab.
    std::string dtd_log_url = "http://localhost/vesk/dtd/WorkFlow_log.dtd";
    std::string dtd_rel_url = "http://localhost/vesk/dtd/WF_relations.dtd";
    ChoiceList xml_source;
    std::vector<std::string> conversion_programs;
    std::string log_file_name;
    std::string xml_file_name;
    // Relations tab.
    ChoiceList available_processes;
    UsedEvents ticked;
    UsedEvents enabled;
    bool resume_label_enabled = false;
    ChoiceList start_event_choice_1, stop_event_choice_1, start_event_choice_2, stop_event_choice_2;
    bool build_relations_enabled = false;
    bool edit_relations_enabled = false;
    bool export_relations_enabled = false;
    bool change_export_rel_enabled = false;
    // The cases Build relations keeps, and the map of what it built.
    CaseFilterFields case_filter;
    // The attribute keys the case filter's key box offers.
    std::vector<std::string> attribute_keys;
    bool process_map_enabled = false;
    std::string output_folder2 = "Output_folder";
    std::string status = "Welcome to Vesk";
    // What the last export or drawing wrote, and where: shown under the tabs, so that it is
    // seen on whichever tab the user is on.
    std::string written;
    std::string file_name_label = "filename";
    // Export tab.
    bool export_html_enabled = false;
    bool change_export_pnet_enabled = false;
    std::string output_folder;
    std::uint32_t cluster_colour = kDefaultClusterColour;
    bool write_chances = true;
    // Waiting, synchronisation, sojourn time: the group boxes and their mean, variance,
    // minimum and maximum.
    std::array<bool, 3> statistic_groups = {true, true, true};
    std::array<std::array<bool, 4>, 3> figure_boxes = {
        {{true, false, true, true}, {true, false, true, true}, {true, false, true, true}}};
    std::string orientation = "Left to right";
    std::string page_size = "A4";
    // Debug tab and the rest.
    bool debug_tab_visible = false;
    bool use_external_dtd = false;
    // Kept besides the controls.
    bool resume_flag = false;
    std::string process_id;
    std::string open_folder;
};

class MainWindowLogic {
public:
    static const char* const kNoNetToExport;
    // program_folder: where the program lies; data_folder: where conv.txt, help.txt and the
    // example log were found.
    MainWindowLogic(Tvesk_util& controller, UserDialogs& dialogs,
                    std::filesystem::path program_folder, std::filesystem::path data_folder);

    MainWindowState& state() { return state_; }
    const MainWindowState& state() const { return state_; }

    // Window creation: folders, the controller's colour, Event choice, the conversion modules.
    void start();

    void open_log_file();
    // On every change of the input file box.
    void log_file_name_changed(const std::string& text);
    void convert();
    // Open XML log with the dialog, or with a file given (vesk LOG).
    void open_xml_log();
    void open_xml_log_file(const std::string& path);
    void process_chosen();
    void event_choice();
    static void next_item(ChoiceList& list);
    void build_relations();
    void export_relations();
    void choose_relations_folder();
    void choose_export_folder();
    // Export tab and inspector.
    void edit_relations();
    void open_relations();
    void export_petrinet();
    void make_jpg_map();
    void make_ps_jpg();
    // "log.xml 1 ": how the export's files begin; a relations file's name when the relations
    // came from one.
    std::string export_base() const;
    // The map of the last Build relations; its window draws it.
    ProcessMapLogic& process_map() { return process_map_; }
    // Where the map window draws; nowhere by default.
    void set_map_drawing(InspectorDrawing drawing) {
        process_map_ = ProcessMapLogic(std::move(drawing));
    }
    void toggle_debug_tab() { state_.debug_tab_visible = !state_.debug_tab_visible; }

    // The body lines of the help file's section for a help-menu caption; the caption of the
    // help window comes from help_caption.
    std::vector<std::string> help_lines(const std::string& menu_caption) const;
    static std::string help_caption(const std::string& menu_caption);

private:
    void set_status(const std::string& status);
    // The inspector may have opened another log for its replay; the main window goes on with
    // its own.
    void restore_main_log();
    static EventLogOptions with_attributes();
    void render(bool high);

    Tvesk_util& controller_;
    UserDialogs& dialogs_;
    std::filesystem::path program_folder_;
    std::filesystem::path data_folder_;
    MainWindowState state_;
    std::string main_log_;
    std::string relations_source_;
    ProcessMapLogic process_map_{InspectorDrawing{}};
};

// "topic" of a help-menu caption: the caption without "&", trimmed.
std::string help_topic(const std::string& menu_caption);
// The body lines of the sections of help.txt whose heading matches the topic.
std::vector<std::string> help_section(const std::string& help_text, const std::string& topic);

}  // namespace vesk
