// The inspector's replay of a process (and the log it is read from), its alignment of the
// cases, and the figures of a place.

#include "base/file_util.h"
#include "base/number_format.h"
#include "control/rendering.h"
#include "ui/inspector_busy_scope.h"
#include "ui/relations_inspector_logic.h"

namespace vesk {

std::array<std::string, 5> RelationsInspectorLogic::figure_tips(const TStoch_var& s) const {
    const char separator = controller_.decimal_separator();
    const std::string count = std::to_string(s.Nr_of_observations()) + " observations";
    if (s.Nr_of_observations() == 0) return {count, "", "", "", ""};
    return {count, minutes_tip(s.Mean(), separator),
            format_fixed4(s.Variance(), separator) + " min\u00b2",
            minutes_tip(s.Minimum(), separator), minutes_tip(s.Maximum(), separator)};
}

std::string RelationsInspectorLogic::figure(double value) const {
    return format_fixed4(value, controller_.decimal_separator());
}

void RelationsInspectorLogic::show_place(std::int32_t index) {
    const Tvesk_util::PlaceFigures figures = controller_.place_figures(index);
    const TStoch_var* columns[3] = {figures.sync_time, figures.waiting_time, figures.sojourn_time};
    // A map of another net: its place is not here, and the grid stays as it is.
    if (columns[0] == nullptr) return;
    for (std::size_t c = 0; c < 3; ++c) {
        state_.time_info[c] = {};
        state_.time_tips[c] = figure_tips(*columns[c]);
        const TStoch_var& s = *columns[c];
        state_.time_info[c][0] = std::to_string(s.Nr_of_observations());
        if (s.Nr_of_observations() > 0)
            state_.time_info[c] = {state_.time_info[c][0], figure(s.Mean()), figure(s.Variance()),
                                   figure(s.Minimum()), figure(s.Maximum())};
    }
}

void RelationsInspectorLogic::open_xml() {
    const auto chosen = dialogs_.open_file(kXmlLogFilter, folder_part(controller_.log_file_name()));
    if (!chosen) return;
    try {
        controller_.load_log_plainly(*chosen, resolve_externals_);
        const std::vector<std::string> entries = controller_.list_processes();
        state_.available_processes = {entries, entries.empty() ? -1 : 0};
        log_opened_here_ = true;
    } catch (const std::exception& error) {
        dialogs_.warning(file_not_read(error));
    }
}

void RelationsInspectorLogic::replay_process() {
    if (!inspection_.is_open()) return;
    const std::string process = process_id_of_entry(state_.available_processes.text());
    forget_replay();
    RecordingSink found;
    try {
        InspectorBusyScope busy(dialogs_);
        inspection_.replay_process(process, true, found);
    } catch (const Cancelled&) {
        // Figures of half a replay would pass for the whole log's: none are shown.
        controller_.forget_replay();
        state_.replay_summary = "Replay cancelled: no figures are shown.";
        draw_net();
        return;
    } catch (const std::exception& error) {
        controller_.forget_replay();
        dialogs_.warning("The process " + process + " could not be replayed: " + error.what());
        draw_net();
        return;
    }
    const TStoch_var& flow = controller_.flow_time();
    state_.time_info[3] = {std::to_string(flow.Nr_of_observations()), figure(flow.Mean()),
                           figure(flow.Variance()), figure(flow.Minimum()), figure(flow.Maximum())};
    state_.time_tips[3] = figure_tips(flow);
    if (const std::optional<TokenCounts>& counts = controller_.token_counts())
        state_.replay_summary = "Replayed " + grouped_number(counts->cases) +
                                (counts->cases == 1 ? " case. " : " cases. ") +
                                fitness_line(*counts);
    bool any_warning = false;
    for (const RecordingSink::Message& message : found.messages) {
        state_.findings.push_back(message.text);
        any_warning |= message.level != RecordingSink::Level::information;
    }
    draw_net();
    // One message at the end, with every finding, instead of one box per finding.
    if (!any_warning) {
        for (const std::string& text : state_.findings)
            dialogs_.information(text);
        return;
    }
    std::string text = "The replay of the whole process found:";
    for (const std::string& finding : state_.findings)
        text += "\n" + finding;
    dialogs_.warning(text);
}

void RelationsInspectorLogic::check_conformance() {
    if (!inspection_.is_open()) return;
    if (controller_.net().transitions().empty()) {
        dialogs_.information("Make a Petri net first: the cases are aligned on the net shown.");
        return;
    }
    if (controller_.log().empty()) {
        dialogs_.information("There are no cases to align: replay a process first.");
        return;
    }
    try {
        InspectorBusyScope busy(dialogs_);
        state_.conformance = inspector_conformance(controller_.check_conformance({}));
    } catch (const Cancelled&) {
        // The figures of some variants would pass for the log's.
        state_.conformance =
            InspectorConformance{"Check conformance cancelled: no figures are shown.", {}};
    } catch (const std::exception& error) {
        dialogs_.warning("The conformance could not be checked: " + std::string(error.what()));
    }
}

}  // namespace vesk
