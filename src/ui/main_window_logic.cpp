#include "ui/main_window_logic.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "base/file_util.h"
#include "base/read_errors.h"
#include "base/text_util.h"
#include "base/util_functions.h"
#include "control/build_relations.h"
#include "control/conversion.h"
#include "control/export_petrinet.h"
#include "control/read_warnings.h"
#include "control/rendering.h"

namespace vesk {

namespace {

std::string with_separator(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
    return folder;
}

// Lower-cases A to Z only, as the help headings are compared.

}  // namespace

MainWindowLogic::MainWindowLogic(Tvesk_util& controller, UserDialogs& dialogs,
                                 std::filesystem::path program_folder,
                                 std::filesystem::path data_folder)
    : controller_(controller),
      dialogs_(dialogs),
      program_folder_(std::move(program_folder)),
      data_folder_(std::move(data_folder)) {
    controller_.set_progress([this](const Progress& progress) { dialogs_.progress(progress); });
}

void MainWindowLogic::set_status(const std::string& status) {
    state_.status = status;
    dialogs_.status_shown(status);
}

void MainWindowLogic::start() {
    // The program's folder as it is written: paths keep their case.
    state_.output_folder = with_separator(program_folder_.string());
    state_.output_folder2 = state_.output_folder;
    // The first Open XML log starts where the example log is.
    state_.open_folder = with_separator(data_folder_.string());
    controller_.set_cluster_colour(state_.cluster_colour);
    state_.resume_flag = false;
    state_.debug_tab_visible = false;
    event_choice();
    const ConversionList list = read_conversion_list(conversion_list_path(program_folder_));
    state_.xml_source = {};
    state_.conversion_programs.clear();
    for (const ConversionModule& module : list.modules) {
        state_.xml_source.items.push_back(module.name);
        state_.conversion_programs.push_back(module.program);
    }
    if (list.error) {
        dialogs_.error(*list.error);
    } else if (!state_.xml_source.items.empty()) {
        state_.xml_source.selected = 0;
    }
}

void MainWindowLogic::open_log_file() {
    const auto chosen = dialogs_.open_file(kLogFileFilter, state_.open_folder);
    if (!chosen) return;
    log_file_name_changed(*chosen);
}

void MainWindowLogic::log_file_name_changed(const std::string& text) {
    state_.log_file_name = text;
    state_.xml_file_name = derived_xml_file_name(text);
}

void MainWindowLogic::convert() {
    const int selected = state_.xml_source.selected;
    if (selected < 0 || static_cast<std::size_t>(selected) >= state_.conversion_programs.size()) {
        dialogs_.error("No conversion module is selected.");
        return;
    }
    const ConversionModule module{state_.xml_source.text(),
                                  state_.conversion_programs[static_cast<std::size_t>(selected)]};
    const ProgramRun run = conversion_run(state_.log_file_name, state_.xml_file_name,
                                          state_.dtd_log_url, state_.use_external_dtd);
    dialogs_.busy(true);
    run_program(module_program_path(program_folder_, module), run.arguments);
    dialogs_.busy(false);
}

void MainWindowLogic::open_xml_log() {
    const auto chosen = dialogs_.open_file(kXmlLogFilter, state_.open_folder);
    if (!chosen) return;
    open_xml_log_file(*chosen);
}

// The window reads every attribute: its case filter and map offer them.
EventLogOptions MainWindowLogic::with_attributes() {
    EventLogOptions options;
    options.attributes = AttributeChoice::all();
    return options;
}

void MainWindowLogic::open_xml_log_file(const std::string& path) {
    try {
        set_status("Reading Workflow-log");
        dialogs_.busy(true);
        // The file is read apart first: a log that fails leaves the one open as it was.
        Tvesk_util probe;
        probe.load_log(path, state_.use_external_dtd);
        const std::vector<std::string> entries = probe.list_processes();
        controller_.load_log(path, state_.use_external_dtd, with_attributes());
        main_log_ = path;
        dialogs_.busy(false);
        state_.file_name_label = path;
        set_status("Workflow-log read");
        state_.output_folder2 = folder_part(path);
        state_.output_folder = state_.output_folder2;
        state_.open_folder = state_.output_folder2;
        state_.xml_file_name = path;
        state_.build_relations_enabled = true;
        // The relations built belong to the log that was open.
        state_.edit_relations_enabled = false;
        state_.export_relations_enabled = false;
        state_.process_map_enabled = false;
        process_map_.clear();
        state_.available_processes.items = entries;
        state_.available_processes.selected = entries.empty() ? -1 : 0;
        state_.attribute_keys =
            entries.empty()
                ? std::vector<std::string>()
                : controller_.sampled_attribute_keys(process_id_of_entry(entries.front()));
        set_status("Workflow-log read");
        process_chosen();
    } catch (const std::exception& error) {
        dialogs_.busy(false);
        dialogs_.warning(file_not_read(error));
        set_status("Workflow-log NOT read");
    }
}

void MainWindowLogic::process_chosen() {
    state_.export_html_enabled = false;
    state_.change_export_pnet_enabled = false;
}

void MainWindowLogic::event_choice() {
    for (ChoiceList* list : {&state_.start_event_choice_1, &state_.stop_event_choice_1,
                             &state_.start_event_choice_2, &state_.stop_event_choice_2})
        *list = {};
    const EventChoice choice = apply_event_choice(state_.ticked);
    state_.ticked = choice.ticked;
    state_.enabled = choice.enabled;
    state_.resume_flag = choice.resume;
    state_.resume_label_enabled = choice.enabled.suspend;
    for (ChoiceList* list : {&state_.start_event_choice_1, &state_.stop_event_choice_1,
                             &state_.start_event_choice_2, &state_.stop_event_choice_2}) {
        list->items = choice.overlap_events;
        list->selected = list->items.empty() ? -1 : 0;
    }
}

void MainWindowLogic::next_item(ChoiceList& list) {
    if (list.items.empty()) return;
    list.selected = (list.selected + 1) % static_cast<int>(list.items.size());
}

void MainWindowLogic::build_relations() {
    BuildRelationsRequest request;
    request.process_id = process_id_of_entry(state_.available_processes.text());
    request.events = apply_event_choice(state_.ticked);
    request.overlaps = {{state_.start_event_choice_1.text(), state_.stop_event_choice_1.text()},
                        {state_.start_event_choice_2.text(), state_.stop_event_choice_2.text()}};
    // A box that cannot be read builds nothing and leaves the last build as it was.
    try {
        request.cases = case_filter_of(state_.case_filter);
    } catch (const std::invalid_argument& error) {
        dialogs_.warning(std::string("Nothing was built: the case filter box ") + error.what() +
                         ". Correct the box and build again.");
        return;
    }
    dialogs_.busy(true);
    try {
        vesk::build_relations(controller_, request, [this](const std::string& status) {
            // "Relations Built" waits until the relations are known to be usable.
            if (status != "Relations Built") set_status(status);
        });
        const ReadWarnings found =
            read_warnings(controller_.read_diagnostics(), controller_.filter(), request.process_id,
                          controller_.log().size(), controller_.case_filter_result());
        if (found.nothing_read)
            throw LogFormatError(found.warnings.empty() ? "the process has no events"
                                                        : found.warnings.front());
        dialogs_.busy(false);
        state_.process_id = request.process_id;
        relations_source_.clear();
        for (const AttributeColumn& column : controller_.log().attributes().columns())
            if (std::find(state_.attribute_keys.begin(), state_.attribute_keys.end(),
                          column.key()) == state_.attribute_keys.end())
                state_.attribute_keys.push_back(column.key());
        const StepOptions steps = step_options_of(controller_.filter());
        process_map_.set_map(controller_.log(), steps, controller_.process_map(steps));
        state_.process_map_enabled = true;
        set_status(request.cases.keeps_everything()
                       ? "Relations Built"
                       : "Relations Built (kept " +
                             kept_cases_text(controller_.case_filter_result()) + ")");
        state_.edit_relations_enabled = true;
        state_.export_relations_enabled = true;
        state_.change_export_rel_enabled = true;
    } catch (const AttributeConditionError& error) {
        dialogs_.busy(false);
        state_.edit_relations_enabled = false;
        state_.export_relations_enabled = false;
        state_.process_map_enabled = false;
        process_map_.clear();
        set_status("Relations NOT built: the attribute condition does not fit the log");
        dialogs_.warning(std::string("Nothing was built: the attribute condition ") + error.what() +
                         ". Correct it and build again.");
    } catch (const std::exception& failure) {
        // Silent as the window's command is, but the status says why nothing happened; what
        // the relations fed is off until a build succeeds.
        dialogs_.busy(false);
        state_.edit_relations_enabled = false;
        state_.export_relations_enabled = false;
        state_.process_map_enabled = false;
        process_map_.clear();
        set_status(state_.status + " - Relations NOT built: " + failure.what());
    }
}

void MainWindowLogic::export_relations() {
    // After Open relations the file is named after the relations file, as the net's files are.
    const std::string name = relations_source_.empty()
                                 ? relations_file_base_name(state_.xml_file_name, state_.process_id)
                                 : export_base() + "relations";
    try {
        const std::filesystem::path path =
            controller_.write_relations(state_.output_folder2, name, state_.dtd_rel_url);
        state_.written = "Wrote the relations: " + path.string();
    } catch (const FileWriteError&) {
        dialogs_.warning("The export file could not be written. Try specifying another path.");
    }
}

void MainWindowLogic::restore_main_log() {
    if (!main_log_.empty() && controller_.log_file_name() != main_log_)
        controller_.load_log_plainly(main_log_, state_.use_external_dtd, with_attributes());
}

void MainWindowLogic::edit_relations() {
    try {
        dialogs_.inspect(
            {InspectorEntry::Source::task_list, state_.xml_file_name, state_.process_id, false});
    } catch (const std::exception& failure) {
        restore_main_log();
        dialogs_.error(failure.what());
        return;
    }
    restore_main_log();
    state_.export_html_enabled = true;
    state_.change_export_pnet_enabled = true;
}

const char* const MainWindowLogic::kNoNetToExport =
    "There is no net to export: make one in the relations inspector first (it opens after "
    "Build relations or Open relations).";

void MainWindowLogic::open_relations() {
    const auto chosen = dialogs_.open_file(kXmlLogFilter, state_.open_folder);
    // Cancelled: what was built stays, and so do the commands that work on it.
    if (!chosen) return;
    // A file that is no relations file changes nothing: neither the work nor the buttons.
    try {
        check_relations_file(*chosen, false);
    } catch (const std::exception& error) {
        dialogs_.warning(file_not_read(error));
        return;
    }
    // The inspector's replay reads the cases the filter boxes keep, as Build relations does.
    try {
        controller_.set_case_filter(case_filter_of(state_.case_filter));
    } catch (const std::invalid_argument& error) {
        dialogs_.warning(error.what());
        return;
    }
    controller_.reset();
    set_status("Workflow-log read");
    state_.output_folder = folder_part(*chosen);
    state_.open_folder = state_.output_folder2;
    state_.export_relations_enabled = true;
    state_.change_export_rel_enabled = true;
    state_.xml_file_name = state_.output_folder;
    try {
        dialogs_.inspect({InspectorEntry::Source::relations_file, *chosen, "", false});
    } catch (const std::exception& error) {
        // Nothing happening at all would look like success.
        restore_main_log();
        state_.export_html_enabled = false;
        state_.change_export_pnet_enabled = false;
        dialogs_.warning(file_not_read(error));
        return;
    }
    restore_main_log();
    relations_source_ = *chosen;
    state_.export_html_enabled = true;
    state_.change_export_pnet_enabled = true;
}

std::string MainWindowLogic::export_base() const {
    if (!relations_source_.empty()) return file_name_without_xml(relations_source_) + " ";
    return export_base_name(state_.xml_file_name, state_.process_id);
}

void MainWindowLogic::export_petrinet() {
    // An empty net would overwrite a good export with nothing.
    if (controller_.net().transitions().empty()) {
        dialogs_.warning(kNoNetToExport);
        return;
    }
    ExportRequest request;
    request.folder = state_.output_folder;
    request.base = export_base();
    request.cluster_colour = state_.cluster_colour;
    request.write_probabilities = state_.write_chances;
    FigureChoice* groups[3] = {&request.figures.waiting, &request.figures.sync,
                               &request.figures.sojourn};
    for (std::size_t g = 0; g < 3; ++g) {
        const auto& boxes = state_.figure_boxes[g];
        const bool on = state_.statistic_groups[g];
        *groups[g] = figure_choice(on && boxes[0], on && boxes[1], on && boxes[2], on && boxes[3]);
    }
    std::vector<std::filesystem::path> written;
    try {
        vesk::export_petrinet(controller_, request, written);
        state_.written = "Wrote " + std::to_string(written.size()) + " files of the net into " +
                         state_.output_folder;
    } catch (const FileWriteError&) {
        dialogs_.warning("The export file could not be written. Try specifying another path.");
    } catch (const std::exception& failure) {
        dialogs_.error(failure.what());
    }
}

void MainWindowLogic::render(bool high) {
    const std::optional<std::filesystem::path> dot = find_dot(program_folder_);
    if (!dot) {
        dialogs_.warning(
            "dot (GraphViz) was found neither next to the program, nor in the install's data "
            "folder, nor on PATH: no pictures were made.");
        return;
    }
    DotOptions options;
    options.left_to_right = state_.orientation == "Left to right";
    options.page_size = state_.page_size;
    const std::string prefix = picture_prefix(state_.output_folder, export_base());
    dialogs_.busy(true);
    const RenderResult result =
        high ? vesk::make_ps_jpg(*dot, prefix, options) : vesk::make_jpg_map(*dot, prefix, options);
    dialogs_.busy(false);
    state_.written = "dot wrote " + std::to_string(result.written.size()) + " files into " +
                     state_.output_folder;
    if (!result.ok()) {
        std::string text = "dot could not make every picture:";
        for (const std::string& failure : result.failures)
            text += "\n" + failure;
        dialogs_.warning(text);
    }
}

void MainWindowLogic::make_jpg_map() {
    render(false);
}

void MainWindowLogic::make_ps_jpg() {
    render(true);
}

void MainWindowLogic::choose_relations_folder() {
    if (const auto folder = dialogs_.choose_folder(state_.output_folder2))
        state_.output_folder2 = *folder;
}

void MainWindowLogic::choose_export_folder() {
    if (const auto folder = dialogs_.choose_folder(state_.output_folder))
        state_.output_folder = *folder;
}

std::string help_topic(const std::string& menu_caption) {
    std::string topic;
    for (const char c : menu_caption)
        if (c != '&') topic += c;
    return trimmed(topic);
}

std::vector<std::string> help_section(const std::string& help_text, const std::string& topic) {
    std::vector<std::string> lines;
    const std::string wanted = "**" + ascii_lower(trimmed(topic));
    std::istringstream in(help_text);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("**", 0) == 0) {
            inside = ascii_lower(trimmed(line)) == wanted;
            continue;
        }
        if (inside) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> MainWindowLogic::help_lines(const std::string& menu_caption) const {
    std::filesystem::path file = program_folder_ / "help.txt";
    std::error_code error;
    if (!std::filesystem::exists(file, error)) file = data_folder_ / "help.txt";
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("The help file " + file.string() + " cannot be read.");
    std::stringstream text;
    text << in.rdbuf();
    return help_section(text.str(), help_topic(menu_caption));
}

std::string MainWindowLogic::help_caption(const std::string& menu_caption) {
    return "Help on: " + help_topic(menu_caption);
}

}  // namespace vesk
