#include "cli/command_resources.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "base/number_format.h"
#include "base/text_util.h"
#include "cli/cli_common.h"
#include "cli/console.h"
#include "control/attribute_views.h"
#include "control/map_run.h"

namespace vesk::cli {

namespace {

constexpr const char* kResourcesHelp =
    "Reads process ID of LOG (with the event types and case filters given) and lists who does "
    "its work, by the event attribute --resource-key (default org:resource; MXML and workflow "
    "logs give their originator under that key): per resource its events, cases and "
    "activities; the activity x resource table (events); the handover of work: in each case, "
    "among its events that carry a resource, an event followed by one of another resource is a "
    "handover from the first to the second, counted with the median minutes between the two; "
    "and working together: the cases two resources both work in.\n"
    "--format json prints {\"process\", \"events\", \"events_without_resource\", "
    "\"resource_list\": [{\"resource\", \"events\", \"cases\", \"activities\"}], "
    "\"handover_list\": [{\"from\", \"to\", \"count\", \"median_minutes\"}], "
    "\"together_list\": [{\"a\", \"b\", \"cases\"}], \"activity_resource_list\": "
    "[{\"activity\", \"resource\", \"events\"}]}. --format dot prints the handover map for dot: "
    "the process map with the resources as its nodes ('vesk-cli map --by org:resource' draws "
    "it with the map's sliders).\n"
    "Exit status: 0 done, 1 the log or process could not be read, 2 wrong arguments (also a "
    "resource key the log's events do not have).";

nlohmann::json views_json(const ResourceViews& views) {
    nlohmann::json resources = nlohmann::json::array(), handovers = nlohmann::json::array(),
                   together = nlohmann::json::array(), table = nlohmann::json::array();
    for (const ResourceFigures& r : views.resources)
        resources.push_back({{"resource", r.resource},
                             {"events", r.events},
                             {"cases", r.cases},
                             {"activities", r.activities}});
    for (const Handover& h : views.handovers)
        handovers.push_back({{"from", h.from},
                             {"to", h.to},
                             {"count", h.count},
                             {"median_minutes", h.median_minutes}});
    for (const WorkingTogether& t : views.together)
        together.push_back({{"a", t.a}, {"b", t.b}, {"cases", t.cases}});
    for (const ActivityResource& a : views.activity_resources)
        table.push_back({{"activity", a.activity}, {"resource", a.resource}, {"events", a.events}});
    return {{"events", views.events},
            {"events_without_resource", views.events_without_resource},
            {"resource_list", std::move(resources)},
            {"handover_list", std::move(handovers)},
            {"together_list", std::move(together)},
            {"activity_resource_list", std::move(table)}};
}

void print_views(const ResourceViews& views, std::ostream& out) {
    out << grouped_number(static_cast<std::int64_t>(views.resources.size())) << " resources; "
        << grouped_number(views.events_without_resource) << " of " << grouped_number(views.events)
        << " events carry none\n\nResources (events, cases, "
        << "activities):\n";
    for (const ResourceFigures& r : views.resources)
        out << "  " << one_line(r.resource) << "  " << grouped_number(r.events) << "  "
            << grouped_number(r.cases) << "  " << r.activities << '\n';
    out << "\nHandovers of work (count, median minutes):\n";
    for (const Handover& h : views.handovers)
        out << "  " << one_line(h.from) << " -> " << one_line(h.to) << "  "
            << grouped_number(h.count) << "  " << format_general(h.median_minutes, '.', 6) << '\n';
    out << "\nWorking together (cases):\n";
    for (const WorkingTogether& t : views.together)
        out << "  " << one_line(t.a) << " + " << one_line(t.b) << "  " << grouped_number(t.cases)
            << '\n';
    out << "\nActivities by resource (events):\n";
    for (const ActivityResource& a : views.activity_resources)
        out << "  " << one_line(a.activity) << "  " << one_line(a.resource) << "  "
            << grouped_number(a.events) << '\n';
}

}  // namespace

void ResourcesCommand::declare(CLI::App& app) {
    log_.declare(app, true);
    app.add_option("--resource-key", resource_key_,
                   std::string("the event attribute naming who did the event (default ") +
                       kDefaultResourceKey + ")");
    app.add_option("--format", format_, "text (default), json or dot")
        ->check(CLI::IsMember({"text", "json", "dot"}));
    app.footer(std::string(kResourcesHelp) + "\n\n" + LogReadOptions::kHelp + "\n" +
               CaseFilterOptions::kHelp);
}

int ResourcesCommand::run(Console& console) {
    log_.set_attribute_need(AttributeChoice::keys({resource_key_}));
    Tvesk_util controller(locale_decimal_separator());
    const auto [request, warnings] = log_.read(controller, console);
    if (format_ == "dot") {
        const AttributeMap handovers = attribute_map(controller.log(), resource_key_);
        console.out() << map_dot_text(handovers.map, select_paths(handovers.map, 100), {});
        return kSuccess;
    }
    const ResourceViews views = resource_views(controller.log(), resource_key_);
    if (format_ == "json") {
        nlohmann::json document = views_json(views);
        document["process"] = request.process_id;
        document["log"] = log_.log();
        document["warnings"] = warnings.size();
        document["warning_list"] = warnings_json(warnings);
        console.out() << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                      << '\n';
        return kSuccess;
    }
    if (!request.cases.keeps_everything())
        console.out() << "Case filter: "
                      << case_filter_removals_text(controller.case_filter_result()) << '\n';
    print_views(views, console.out());
    return kSuccess;
}

}  // namespace vesk::cli
