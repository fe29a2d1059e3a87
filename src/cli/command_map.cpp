#include "cli/command_map.h"
#include "cli/option_checks.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <sstream>

#include "base/file_util.h"
#include "base/number_format.h"
#include "cli/cli_common.h"
#include "cli/console.h"
#include "cli/map_output.h"
#include "control/map_rendering.h"

namespace vesk::cli {

namespace {

constexpr const char* kMapHelp =
    "Reads process ID of LOG (with the event types and case filters given) and counts its "
    "process map: per activity its events and the cases holding it; the activities that start "
    "and end cases; the paths a -> b (b the next event after a in the same case) with their "
    "count and the minutes from a to b (mean, median, minimum, maximum, total); and the "
    "variants, the distinct sequences of activities, with their cases, share and median flow "
    "time, most frequent first. Activities are named without the event type where one event "
    "type is read, else with it. Where start and complete events are both read, the map is "
    "made of activity instances instead: a start and the next complete of the same activity in "
    "the case (first in, first out) are one instance with its service time, a complete without "
    "a start is an instance of no duration, other event types are left out, and the paths run "
    "from the end of one instance to the start of the next; a pair where the next began before "
    "the one before ended is counted as overlapping and has no time.\n"
    "--activities P keeps the most frequent activities that together hold P% of the events, "
    "and counts the map again on the log without the events of the others, so that what went "
    "through a hidden activity shows as a path between its neighbours; --paths P keeps the most "
    "frequent P% of the paths, and for every activity the widest path from the starts of cases "
    "to it and from it to their ends (self-loops never count as a way in or out), so that the "
    "map does not fall apart. The \"Shown\" line says which share of the events the kept "
    "activities hold and which share of the directly-follows pairs between them the kept paths "
    "hold. The variants are always the whole log's.\n"
    "--by KEY names the nodes by the value of the event attribute KEY instead of the "
    "activity, one step per event that carries it (events without it are left out, with a "
    "warning): with --by org:resource the paths are the handovers of work between resources "
    "(and a resource's work passed on to itself).\n"
    "--view time shades and labels the paths of a drawing by their time (--time mean or "
    "median) instead of their count, and activities by their service time where instances are "
    "read.\n"
    "--format json prints one object: {\"process\", \"cases\", \"events\", "
    "\"activity_instances\" (true for the instance view), \"activities\": [{\"name\", "
    "\"events\", \"cases\", and in the instance view \"service_instances\", "
    "\"service_mean_minutes\", \"service_median_minutes\", \"service_min_minutes\", "
    "\"service_max_minutes\", \"service_total_minutes\"}], \"start\": [{\"name\", \"cases\"}], "
    "\"end\": [{\"name\", \"cases\"}], \"edges\": [{\"from\", \"to\", \"count\", "
    "\"overlapping\", \"timed\", \"mean_minutes\", \"median_minutes\", \"min_minutes\", "
    "\"max_minutes\", \"total_minutes\"}], \"variant_count\", \"variants\": [{\"activities\": "
    "[names], \"cases\", \"share\", \"median_flow_minutes\"}], \"shown\": {\"events\", "
    "\"pairs\"} (shares from 0 to 1), and with a case filter \"case_filter\": "
    "{\"kept\", \"total\"}}. --format dot prints the map for dot. With --out the listing is "
    "written to DIR as \"<LOG name> <ID> map.txt\" (.json, .dot) instead. --format svg, png or "
    "pdf has dot draw the map (--render-timeout seconds at most) into DIR as \"<LOG name> <ID> "
    "map.svg\" (.png, .pdf); svg alone may go to the standard output.\n"
    "Exit status: 0 done, 1 a file or process could not be read or written, 2 wrong arguments.";

// dot's messages as notes; a drawing that failed is the command's failure.
void report_drawing(Console& console, const RenderResult& drawn) {
    for (const std::string& message : drawn.messages)
        console.note("dot: " + message);
    if (!drawn.ok())
        throw std::runtime_error("dot could not draw the map: " + drawn.failures.front());
}

}  // namespace

void MapCommand::declare(CLI::App& app) {
    log_.declare(app, true);
    app.add_option("--activities", activities_,
                   "keep the most frequent activities holding P% of the events (default 100)")
        ->check(number_from_to(0, 100));
    app.add_option("--paths", paths_,
                   "keep the most frequent P% of the paths between kept activities (default 100)")
        ->check(number_from_to(0, 100));
    app.add_option("--variants", variants_,
                   "list the N most frequent variants (default: 20 in text, all in JSON)")
        ->check(whole_number_from(0));
    app.add_option("--format", format_, "text (default), json, dot, svg, png or pdf")
        ->check(CLI::IsMember({"text", "json", "dot", "svg", "png", "pdf"}));
    app.add_option("--view", view_, "what a drawing's shades say: frequency (default) or time")
        ->check(CLI::IsMember({"frequency", "time"}));
    app.add_option("--time", time_, "the time the time view shows: mean (default) or median")
        ->check(CLI::IsMember({"mean", "median"}));
    app.add_option("--render-timeout", render_timeout_,
                   "seconds dot may take to draw a picture (default " +
                       std::to_string(RenderBudget::kDefaultTotal.count()) + ")")
        ->check(whole_number_from(1));
    app.add_option("--out", out_, "write the listing into DIR (created when missing)");
    app.add_option("--by", by_,
                   "name the map's nodes by this event attribute instead of the activity (for "
                   "example org:resource: who hands work to whom)")
        ->check(not_empty("an attribute key"));
    app.footer(std::string(kMapHelp) + "\n\n" + LogReadOptions::kHelp + "\n" +
               CaseFilterOptions::kHelp);
}

int MapCommand::run(Console& console) {
    const bool picture = format_ == "svg" || format_ == "png" || format_ == "pdf";
    if (picture && format_ != "svg" && out_.empty())
        throw UsageError("--format " + format_ + " writes a file: give --out DIR");
    if (!by_.empty()) log_.set_attribute_need(AttributeChoice::keys({by_}));
    Tvesk_util controller(locale_decimal_separator());
    controller.load_log(log_.log(), log_.resolve_externals(), log_.event_log_options());
    const BuildRelationsRequest request = log_.request(console, controller);
    console.stage("Reading Workflow-log");
    ProcessMap whole = read_process_map(
        controller, request, [&console](const std::string& s) { console.stage(s); },
        console.timings());
    const std::vector<ReadWarning> warnings =
        report_read_problems(controller, request.process_id, console);
    StepOptions steps = step_options_of(request.events.ticked);
    const Tloglist* lines = &controller.log();
    std::optional<AttributeMap> by_value;
    if (!by_.empty()) {
        by_value = attribute_map(controller.log(), by_);
        if (by_value->log.events_without_value > 0)
            console.warning(grouped_number(by_value->log.events_without_value) +
                            " events carry no \"" + by_ + "\" and are left out of the map");
        whole = by_value->map;
        lines = &by_value->log.lines;
        steps = StepOptions{};
    }
    const ProcessMap shown = projected_map(*lines, steps, whole, activities_);
    const MapSelection selection = select_paths(shown, paths_);
    if (picture) return draw(console, request.process_id, shown, selection);
    MapListing listing{request.process_id,
                       &whole,
                       &shown,
                       &selection,
                       variants_.value_or(format_ == "json" ? INT64_MAX : 20),
                       std::nullopt};
    if (!request.cases.keeps_everything()) listing.kept = controller.case_filter_result();
    std::ostringstream text;
    if (format_ == "json") {
        nlohmann::json document = map_json(listing);
        document["log"] = log_.log();
        document["warnings"] = warnings.size();
        document["warning_list"] = warnings_json(warnings);
        text << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    } else if (format_ == "dot") {
        text << map_dot_text(shown, selection, dot_style());
    } else {
        print_map_text(listing, text);
    }
    if (out_.empty()) {
        console.out() << text.str();
        return kSuccess;
    }
    const std::filesystem::path path = out_path(request.process_id);
    write_file_atomically(path, text.str());
    console.note("wrote " + path.string());
    return kSuccess;
}

MapDotStyle MapCommand::dot_style() const {
    MapDotStyle style;
    if (view_ == "time")
        style.shading = time_ == "median" ? MapShading::median_time : MapShading::mean_time;
    return style;
}

std::filesystem::path MapCommand::out_path(const std::string& process_id) const {
    const std::string extension = format_ == "text" ? "txt" : format_;
    return output_folder(out_) / (export_base_name(log_.log(), process_id) + "map." + extension);
}

int MapCommand::draw(Console& console, const std::string& process_id, const ProcessMap& shown,
                     const MapSelection& selection) const {
    const auto dot = find_dot(program_folder());
    if (!dot)
        throw std::runtime_error(
            "dot (GraphViz) was found neither next to the program, nor in the install's data "
            "folder, nor on PATH: the map cannot be drawn");
    console.stage("Drawing the map with dot");
    const RenderBudget budget{std::chrono::seconds(render_timeout_)};
    const std::string text = map_dot_text(shown, selection, dot_style());
    if (out_.empty()) {
        // svg to the standard output: drawn into the work folder first, so that a failed drawing
        // prints nothing.
        const std::filesystem::path picture =
            std::filesystem::path(user_work_folder()) / "map for the standard output.svg";
        const RenderResult drawn = draw_map_picture(*dot, text, picture, budget);
        report_drawing(console, drawn);
        std::ifstream in(picture, std::ios::binary);
        console.out() << in.rdbuf();
        in.close();
        std::error_code ignored;
        std::filesystem::remove(picture, ignored);
        return kSuccess;
    }
    const std::filesystem::path picture = out_path(process_id);
    report_drawing(console, draw_map_picture(*dot, text, picture, budget));
    console.note("wrote " + picture.string());
    return kSuccess;
}

}  // namespace vesk::cli
