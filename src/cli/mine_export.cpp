// mine's exports: the net's files, BPMN, and the pictures and report drawn by dot.

#include <algorithm>
#include <set>

#include "base/file_util.h"
#include "base/interruption.h"
#include "cli/cli_common.h"
#include "cli/command_mine.h"
#include "cli/console.h"
#include "control/bpmn_export.h"
#include "control/export_petrinet.h"
#include "control/map_rendering.h"
#include "control/map_run.h"
#include "control/rendering.h"

namespace vesk::cli {

namespace {

// "; case filter: kept 1,203 of 13,087 cases" where a filter was given.
std::string kept_cases_note(const Tvesk_util& controller) {
    if (controller.case_filter().keeps_everything()) return "";
    return "; case filter: kept " + kept_cases_text(controller.case_filter_result());
}

// Files named as this export names its own that it did not write are an earlier run's (the
// pages of places the new net lacks, pictures of an older net): said, so that nobody takes
// them for this run's. They are left alone.
void note_earlier_files(const std::filesystem::path& folder, const std::string& base,
                        const std::vector<std::filesystem::path>& written, Console& console) {
    std::set<std::string> ours;
    for (const auto& path : written)
        ours.insert(path.filename().string());
    std::vector<std::string> earlier;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = item.path().filename().string();
        const bool like_ours =
            (name.starts_with(base) && !name.ends_with(".relations.xml")) || name == "report.html";
        if (like_ours && item.is_regular_file() && !ours.contains(name)) earlier.push_back(name);
    }
    if (earlier.empty()) return;
    std::sort(earlier.begin(), earlier.end());
    console.warning(std::to_string(earlier.size()) + (earlier.size() == 1 ? " file" : " files") +
                    " in " + folder.string() +
                    " named like this export's are an earlier run's, "
                    "left as they were (" +
                    earlier.front() + (earlier.size() > 1 ? ", ..." : "") + ")");
}

}  // namespace

void MineCommand::render(Tvesk_util& controller, const MineSource& source,
                         const std::filesystem::path& folder, const RenderBudget& budget,
                         MineSummary& summary, std::vector<std::filesystem::path>& written,
                         Console& console) const {
    DotOptions options;
    options.left_to_right = orientation_ == "lr";
    options.page_size = page_ == "a4" ? "A4" : "Letter";
    options.budget = budget;
    const std::size_t nodes =
        controller.net().transitions().size() + controller.net().places().size();
    // A net too large for dot is still reported: the page keeps its figures, without a drawing.
    const bool too_big = nodes > max_render_;
    const std::string size = "the net has " + std::to_string(nodes) +
                             " transitions and places, more than --max-render " +
                             std::to_string(max_render_);
    if (too_big) {
        summary.errors.push_back(size + (report_ ? ": the net was not drawn, and report.html "
                                                   "holds its figures without a drawing"
                                                 : ": no pictures were made"));
        if (!report_) return;
    }
    const auto dot = find_dot(program_folder());
    if (!dot) {
        summary.errors.push_back(
            "dot (GraphViz) was found neither next to vesk-cli, nor in the install's data folder, "
            "nor on PATH: no pictures were made");
        return;
    }
    console.stage("Rendering with dot");
    const std::string prefix = picture_prefix(folder, source.base);
    std::vector<RenderResult> results;
    if (render_ && !too_big) {
        results.push_back(make_jpg_map(*dot, prefix, options));
        results.push_back(make_ps_jpg(*dot, prefix, options));
        if (!pictures_.empty())
            results.push_back(run_dot(*dot, picture_runs(prefix, options, pictures_), budget));
    }
    ReportInfo info = report_info(controller, source, summary);
    if (too_big) info.net_not_drawn = "Not drawn: " + size + ".";
    std::string map_views;
    if (!controller.log().empty()) {
        console.stage("Drawing the process map");
        const StepOptions steps = step_options_of(controller.filter());
        const ProcessMap map = controller.process_map(steps);
        results.push_back(
            draw_map_views(*dot, prefix, controller.log(), steps, map, options, map_views));
        AttributeReportViews attribute_views;
        if (!map_views.empty())
            results.push_back(
                draw_attribute_views(*dot, prefix, controller.log(), options, attribute_views));
        info.attributes_view = !attribute_views.attributes.empty();
        info.resources_view = !attribute_views.resources.empty();
        map_views += attribute_views.attributes + attribute_views.resources;
    }
    std::string conformance_view;
    if (controller.conformance() && !too_big) {
        console.stage("Drawing the conformance view");
        results.push_back(draw_conformance_view(*dot, prefix, *controller.conformance(),
                                                controller.net(), options, conformance_view));
    }
    results.push_back(
        make_report(*dot, prefix, controller.net(), info, options, map_views, conformance_view));
    for (const RenderResult& result : results) {
        for (const std::string& message : result.messages)
            console.note("dot: " + message);
        written.insert(written.end(), result.written.begin(), result.written.end());
        summary.errors.insert(summary.errors.end(), result.failures.begin(), result.failures.end());
    }
}

ReportInfo MineCommand::report_info(Tvesk_util& controller, const MineSource& source,
                                    const MineSummary& summary) const {
    ReportInfo info{source.process.value_or(file_name_without_xml(relations_)),
                    controller.process_description(),
                    log_.has_log() ? log_.log() : replay_log_,
                    event_types_read(controller.filter()),
                    options_text() + kept_cases_note(controller),
                    summary.replayed,
                    controller.token_counts(),
                    controller.decimal_separator(),
                    controller.process_tree_text(),
                    {},
                    left_out_line(controller.left_out())};
    if (const std::optional<NoiseChoice>& choice = summary.noise_choice) {
        for (const NoiseTrial& trial : choice->trials) {
            std::string f_score = format_fixed4(trial.figures.f_score, '.');
            if (trial.every_variant)
                f_score +=
                    " (" + format_fixed4(trial.every_variant->f_score, '.') + " on every variant)";
            info.noise_grid.push_back(
                {{trial_label(trial), format_fixed4(trial.figures.fitness, '.'),
                  format_fixed4(trial.figures.precision, '.'), f_score,
                  std::to_string(trial.activities_left_out)},
                 is_chosen(*choice, trial)});
        }
        for (const std::string& note : noise_choice_notes(*choice))
            info.noise_sample += (info.noise_sample.empty() ? "" : "; ") + note;
    }
    return info;
}

int MineCommand::export_files(Tvesk_util& controller, const MineSource& source,
                              const ExportRequest& request, MineSummary& summary,
                              Console& console) const {
    console.stage("Writing the net");
    begin_stage(console.timings(), "export");
    int code = kSuccess;
    std::vector<std::filesystem::path> written;
    const ExportWatch unfinished(request.folder);
    // Every run of dot in the export shares one budget.
    const RenderBudget budget{std::chrono::seconds(render_timeout_)};
    try {
        export_petrinet(controller, request, written);
        if (bpmn_) {
            const BpmnExport bpmn = write_bpmn(controller, find_dot(program_folder()),
                                               request.folder, request.base, budget);
            written.push_back(bpmn.written);
            for (const std::string& note : bpmn.notes)
                console.note(note);
        }
        console.note("wrote the net into " + request.folder.string());
        if (render_ || report_) {
            // The text summary comes before dot, which may take long on a large net.
            if (format_ != "json") print_summary(controller, summary, console);
            render(controller, source, request.folder, budget, summary, written, console);
            if (!summary.errors.empty()) code = kRenderFailure;
        }
    } catch (const FileWriteError& error) {
        summary.errors.push_back(error.what());
        code = kFailure;
    }
    for (const auto& path : written)
        summary.files.push_back(path.string());
    note_earlier_files(request.folder, request.base, written, console);
    return code;
}

}  // namespace vesk::cli
