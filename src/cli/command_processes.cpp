#include "cli/command_processes.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "base/number_format.h"
#include "cli/console.h"
#include "cli/log_options.h"
#include "control/read_warnings.h"
#include "control/vesk_util.h"

namespace vesk::cli {

void ProcessesCommand::declare(CLI::App& app) {
    app.add_option("LOG", log_, "the XML workflow log")->required();
    app.add_option("--format", format_, "text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
    app.add_flag("--external-dtd", external_dtd_, kExternalDtdHelp);
    app.footer(
        "Lists the processes of the XML workflow log LOG, one a line, as \"ID (description)\" "
        "or \"ID (none)\"." +
        std::string("\n\n") +
        "With --format json the output is one object: {\"processes\": [{\"id\": \"1\", "
        "\"description\": \"order handling\"}, {\"id\": \"2\", \"description\": null}]}.");
}

int ProcessesCommand::run(Console& console) {
    Tvesk_util controller(locale_decimal_separator());
    controller.load_log(log_, external_dtd_);
    std::vector<std::string> refused;
    const std::vector<LogProcess> processes = controller.processes(&refused);
    if (!refused.empty()) console.warning(refused_entities_warning(refused));
    if (format_ == "json") {
        nlohmann::json list = nlohmann::json::array();
        for (const LogProcess& process : processes)
            list.push_back(
                {{"id", process.id},
                 {"description", process.description ? nlohmann::json(*process.description)
                                                     : nlohmann::json(nullptr)}});
        console.out() << nlohmann::json{{"processes", list}}.dump(
                             2, ' ', false, nlohmann::json::error_handler_t::replace)
                      << '\n';
        return kSuccess;
    }
    for (const LogProcess& process : processes)
        console.out() << process_list_entry(process) << '\n';
    return kSuccess;
}

}  // namespace vesk::cli
