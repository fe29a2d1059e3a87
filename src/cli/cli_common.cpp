#include "cli/cli_common.h"

#include "cli/command.h"

#include "base/file_util.h"
#include "cli/console.h"
#include "control/read_warnings.h"

namespace vesk::cli {

std::vector<std::string> split_list(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type begin = 0;
    while (true) {
        const auto end = text.find(separator, begin);
        parts.push_back(text.substr(begin, end - begin));
        if (end == std::string::npos) return parts;
        begin = end + 1;
    }
}

std::filesystem::path output_folder(const std::string& path) {
    const std::filesystem::path folder = path;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw FileWriteError("Cannot create the folder " + folder.string() + ": " +
                             error.message());
    return folder;
}

std::vector<ReadWarning> report_read_problems(const Tvesk_util& controller,
                                              const std::string& process_id, Console& console) {
    const CaseFilterResult& cases = controller.case_filter_result();
    // A misspelt name would quietly keep no case, or leave its neighbour's choice alone.
    const auto refuse_unknown = [](const std::vector<std::string>& names, const char* option) {
        if (names.empty()) return;
        throw UsageError(std::string(option) + ": no case of the log holds the activity \"" +
                         names.front() + "\" (among the event types read)");
    };
    refuse_unknown(cases.unknown_starts, "--starts-with");
    refuse_unknown(cases.unknown_ends, "--ends-with");
    const ReadWarnings found = read_warnings(controller.read_diagnostics(), controller.filter(),
                                             process_id, controller.log().size(), cases);
    if (found.nothing_read) {
        // Results of nothing (a flow time of -1, a fitness of 0 cases) are no results: the
        // reason ends the run, after the other warnings.
        for (std::size_t i = 1; i < found.warnings.size(); ++i)
            console.warning(found.warnings[i]);
        throw LogFormatError(found.warnings.front() +
                             (found.filtered_out
                                  ? ": nothing was mined; loosen the case filter"
                                  : ": nothing was mined; choose event types that the process "
                                    "has with --events, or pick another --process"));
    }
    for (const std::string& warning : found.warnings)
        console.warning(warning);
    // Attributes left unread change no result.
    const auto about_results =
        std::count_if(found.details.begin(), found.details.end(),
                      [](const ReadWarning& w) { return w.kind != "nested_attribute"; });
    if (about_results > 0)
        console.note("the results rest on a log read with " + std::to_string(about_results) +
                     (about_results == 1 ? " warning" : " warnings") +
                     ": check --events against the kinds the log uses, or correct the log");
    return found.details;
}

nlohmann::json warnings_json(const std::vector<ReadWarning>& warnings) {
    nlohmann::json list = nlohmann::json::array();
    for (const ReadWarning& warning : warnings)
        list.push_back({{"kind", warning.kind},
                        {"count", warning.count},
                        {"example", warning.example},
                        {"text", warning.text}});
    return list;
}

}  // namespace vesk::cli
