#include "cli/command_processes.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "base/number_format.h"
#include "cli/console.h"
#include "cli/log_options.h"
#include "control/read_warnings.h"
#include "control/vesk_util.h"

namespace vesk::cli {

namespace {

// "30 cases, 240 events (complete 240)".
std::string counts_text(const ProcessCounts& counts) {
    std::string kinds;
    for (const auto& [kind, count] : counts.kinds)
        kinds += (kinds.empty() ? "" : ", ") + (kind.empty() ? std::string("none") : kind) + " " +
                 std::to_string(count);
    return std::to_string(counts.cases) + " cases, " + std::to_string(counts.events) + " events" +
           (kinds.empty() ? "" : " (" + kinds + ")");
}

}  // namespace

void ProcessesCommand::declare(CLI::App& app) {
    app.add_option("LOG", log_, "the XML workflow log")->required();
    app.add_option("--format", format_, "text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
    app.add_flag("--external-dtd", external_dtd_, kExternalDtdHelp);
    app.add_flag("--counts", counts_,
                 "read every process through and count its cases, events and event kinds");
    app.footer(
        "Lists the processes of the XML workflow log LOG, one a line, as \"ID (description)\" "
        "or \"ID (none)\"." +
        std::string("\n\n") +
        "With --counts a line also gives the cases, the events and the event kinds as the log "
        "names them (\"none\" for entries without one): \"1 (order handling): 30 cases, 240 "
        "events (complete 240)\"." +
        std::string("\n\n") +
        "With --format json the output is one object: {\"processes\": [{\"id\": \"1\", "
        "\"description\": \"order handling\"}, {\"id\": \"2\", \"description\": null}]}; with "
        "--counts each process also has \"cases\", \"events\" and \"event_kinds\": {kind: count} "
        "(\"\" for none). A run that fails prints {\"errors\": [texts]}.");
}

int ProcessesCommand::run(Console& console) {
    Tvesk_util controller(locale_decimal_separator());
    controller.load_log(log_, external_dtd_);
    std::vector<std::string> refused;
    const std::vector<LogProcess> processes = controller.processes(&refused);
    if (!refused.empty()) console.warning(refused_entities_warning(refused));
    std::vector<ProcessCounts> counts;
    if (counts_)
        for (const LogProcess& process : processes)
            counts.push_back(controller.count_process(process.id));
    if (format_ == "json") {
        nlohmann::json list = nlohmann::json::array();
        for (std::size_t i = 0; i < processes.size(); ++i) {
            const LogProcess& process = processes[i];
            nlohmann::json entry = {
                {"id", process.id},
                {"description", process.description ? nlohmann::json(*process.description)
                                                    : nlohmann::json(nullptr)}};
            if (counts_) {
                entry["cases"] = counts[i].cases;
                entry["events"] = counts[i].events;
                entry["event_kinds"] = counts[i].kinds;
            }
            list.push_back(entry);
        }
        console.out() << nlohmann::json{{"processes", list}}.dump(
                             2, ' ', false, nlohmann::json::error_handler_t::replace)
                      << '\n';
        return kSuccess;
    }
    for (std::size_t i = 0; i < processes.size(); ++i) {
        console.out() << process_list_entry(processes[i]);
        if (counts_) console.out() << ": " << counts_text(counts[i]);
        console.out() << '\n';
    }
    return kSuccess;
}

}  // namespace vesk::cli
