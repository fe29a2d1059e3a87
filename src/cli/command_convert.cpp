#include "cli/command_convert.h"

#include <CLI/CLI.hpp>

#include "base/util_functions.h"
#include "cli/cli_common.h"
#include "cli/console.h"
#include "control/conversion.h"

namespace vesk::cli {

void ConvertCommand::declare(CLI::App& app) {
    app.add_option("MODULE", module_, "the module's name in conv.txt");
    app.add_option("INPUT", input_, "the log to convert");
    app.add_option("XML", xml_, "the XML workflow log to write");
    app.add_option("--dtd", dtd_, "the WorkFlow_log.dtd location the module writes into the log");
    app.add_flag("--external-dtd", external_dtd_,
                 "tell the module that the external DTD is to be used when parsing");
    app.add_flag("--list", list_, "list the modules of conv.txt");
    app.add_option("-m,--module-option", module_options_,
                   "an option for the module, given before its four arguments; may be repeated "
                   "(csv: --day-first, --sort, ...; xes, mxml: --classifier=NAME, "
                   "--lifecycle-into-name, --local-time)")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false);
    app.footer(
        "Runs the conversion module MODULE, as listed in conv.txt (next to vesk-cli, or in the "
        "install's data folder), on the log INPUT and lets it write the XML workflow log XML "
        "(default: INPUT without its last four characters, followed by .xml). The module "
        "receives four arguments: INPUT, XML, the DTD location and YES or NO." +
        std::string("\n\n") +
        "The options of the modules that come with Vesk, each given as -m OPTION:\n"
        "csv: --delimiter=C (, ; or tab; default: found from the first line); --case=NAME, "
        "--activity=NAME, --timestamp=NAME, --start=NAME, --lifecycle=NAME (the columns, when "
        "the header's names are not the usual ones); --day-first, --month-first (how to read "
        "dates such as 03/04/2020); --sort (order the events of a case by their timestamps); "
        "--lifecycle-into-name (a non-standard lifecycle value becomes part of the name); "
        "--local-time (keep timestamps as written instead of converting them to UTC).\n"
        "xes, mxml: --classifier=NAME (name events by a declared classifier); "
        "--lifecycle-into-name; --local-time.\n\n" +
        "Exit status: 0 done, 1 the module is unknown, could not be started or failed, "
        "2 wrong arguments.");
}

int ConvertCommand::run(Console& console) {
    const std::filesystem::path folder = program_folder();
    const std::filesystem::path list_file = conversion_list_path(folder);
    const ConversionList list = read_conversion_list(list_file);
    if (list.error) console.warning(*list.error);
    if (list_) {
        if (!module_.empty()) throw UsageError("--list takes no MODULE");
        for (const ConversionModule& module : list.modules)
            console.out() << module.name << '\t' << module.program << '\n';
        return list.error ? kFailure : kSuccess;
    }
    if (module_.empty() || input_.empty()) throw UsageError("expected MODULE INPUT [XML]");
    const ConversionModule* module = nullptr;
    for (const ConversionModule& candidate : list.modules)
        if (candidate.name == module_) module = &candidate;
    if (module == nullptr) {
        console.error("no conversion module \"" + module_ + "\" in " + list_file.string());
        return kFailure;
    }
    const std::string xml = !xml_.empty() ? xml_ : derived_xml_file_name(input_);
    const ProgramRun run = conversion_run(input_, xml, dtd_.empty() ? kDefaultLogDtd : dtd_,
                                          external_dtd_, module_options_);
    const std::filesystem::path program = module_program_path(folder, *module);
    const int code = run_program(program, run.arguments);
    if (code != 0) {
        console.error("the conversion module " + program.string() +
                      (code < 0 ? " could not be started"
                                : " failed with exit status " + std::to_string(code)));
        return kFailure;
    }
    console.note("wrote " + xml);
    return kSuccess;
}

}  // namespace vesk::cli
