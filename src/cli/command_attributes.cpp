#include "cli/command_attributes.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "base/number_format.h"
#include "base/text_util.h"
#include "cli/cli_common.h"
#include "cli/console.h"
#include "cli/option_checks.h"
#include "control/attribute_views.h"
#include "control/map_run.h"

namespace vesk::cli {

namespace {

constexpr const char* kAttributesHelp =
    "Reads process ID of LOG (with the event types and case filters given; all attributes "
    "unless --attributes says otherwise) and lists every attribute its cases and events carry, "
    "case attributes first: its level (case or event), its type (string, int, float, date, "
    "boolean; for untyped formats the type all its values read as), the cases and events that "
    "carry it (an event attribute: the cases with at least one event carrying it; a case "
    "attribute: the events of the cases carrying it), its distinct values, the most frequent "
    "ones (--top N, counted in cases or events by its level), and for numbers and dates the "
    "minimum, median and maximum.\n"
    "--format json prints {\"process\", \"cases\", \"events\", \"attribute_list\": [{\"key\", "
    "\"level\", \"type\", \"cases\", \"events\", \"distinct\", \"top\": [{\"value\", "
    "\"count\"}], and for numbers and dates \"min\", \"median\", \"max\" (dates as ISO "
    "text)}], \"warnings\", \"warning_list\"}.\n"
    "Exit status: 0 done, 1 the log or process could not be read, 2 wrong arguments.";

nlohmann::json number_json(const AttributeSummary& summary, double value) {
    if (summary.type == AttributeType::date) return attribute_number_text(summary.type, value);
    return value;
}

nlohmann::json summary_json(const AttributeSummary& summary) {
    nlohmann::json item = {{"key", summary.key},
                           {"level", attribute_level_name(summary.level)},
                           {"type", attribute_type_name(summary.type)},
                           {"cases", summary.cases},
                           {"events", summary.events},
                           {"distinct", summary.distinct}};
    nlohmann::json top = nlohmann::json::array();
    for (const ValueCount& value : summary.top)
        top.push_back({{"value", value.value}, {"count", value.count}});
    item["top"] = std::move(top);
    if (summary.min) {
        item["min"] = number_json(summary, *summary.min);
        item["median"] = number_json(summary, *summary.median);
        item["max"] = number_json(summary, *summary.max);
    }
    return item;
}

}  // namespace

void AttributesCommand::declare(CLI::App& app) {
    log_.declare(app, true);
    log_.set_attribute_need(AttributeChoice::all());
    app.add_option("--format", format_, "text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
    app.add_option("--top", top_, "the most frequent values listed per attribute (default 5)")
        ->check(whole_number_from(0));
    app.footer(std::string(kAttributesHelp) + "\n\n" + LogReadOptions::kHelp + "\n" +
               CaseFilterOptions::kHelp);
}

int AttributesCommand::run(Console& console) {
    Tvesk_util controller(locale_decimal_separator());
    const auto [request, warnings] = log_.read(controller, console);
    const std::vector<AttributeSummary> summaries =
        summarize_attributes(controller.log(), static_cast<std::size_t>(top_));
    const std::int64_t cases = controller.cases_in_log();
    const auto events = static_cast<std::int64_t>(controller.log().size());
    if (format_ == "json") {
        nlohmann::json list = nlohmann::json::array();
        for (const AttributeSummary& summary : summaries)
            list.push_back(summary_json(summary));
        const nlohmann::json document = {{"process", request.process_id},
                                         {"log", log_.log()},
                                         {"cases", cases},
                                         {"events", events},
                                         {"attribute_list", std::move(list)},
                                         {"warnings", warnings.size()},
                                         {"warning_list", warnings_json(warnings)}};
        console.out() << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                      << '\n';
        return kSuccess;
    }
    auto& out = console.out();
    out << "Process " << request.process_id << ": " << grouped_number(cases) << " cases, "
        << grouped_number(events) << " events, " << summaries.size()
        << (summaries.size() == 1 ? " attribute\n" : " attributes\n");
    if (!request.cases.keeps_everything())
        out << "Case filter: " << case_filter_removals_text(controller.case_filter_result())
            << '\n';
    for (const AttributeSummary& summary : summaries) {
        out << '\n' << one_line(attribute_summary_line(summary)) << '\n';
        for (const ValueCount& value : summary.top)
            out << "  " << grouped_number(value.count) << "  " << one_line(value.value) << '\n';
    }
    return kSuccess;
}

}  // namespace vesk::cli
