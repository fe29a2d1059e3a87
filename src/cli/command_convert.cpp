#include "cli/command_convert.h"

#include "app/conversion.h"
#include "app/util_functions.h"
#include "cli/cli_args.h"

namespace vesk::cli {

namespace {

const std::string kDefaultLogDtd = "http://localhost/vesk/dtd/WorkFlow_log.dtd";

}  // namespace

std::string ConvertCommand::usage() const {
    return "Usage: vesk-cli convert MODULE INPUT [XML] [--dtd URL] [--external-dtd]\n"
           "\n"
           "Runs the conversion module MODULE, as listed in conv.txt next to vesk-cli, on the\n"
           "log INPUT and lets it write the XML workflow log XML (default: INPUT without its\n"
           "last four characters, followed by .xml). 'vesk-cli convert --list' lists the modules.\n"
           "\n"
           "  --dtd URL         the WorkFlow_log.dtd location the module writes into the log\n"
           "  --external-dtd    tell the module to use the external DTD when parsing\n";
}

int ConvertCommand::run(const std::vector<std::string>& args, Streams io) const {
    const ParsedArgs parsed(
        args, {.with_value = {"dtd"}, .flags = {"external-dtd", "list"}, .repeatable = {}});
    const std::filesystem::path folder = program_folder();
    const ConversionList list = read_conversion_list(folder / "conv.txt");
    if (list.error) io.err << "warning: " << *list.error << '\n';
    if (parsed.has("list")) {
        for (const ConversionModule& module : list.modules)
            io.out << module.name << '\t' << module.program << '\n';
        return list.error ? kFailure : kSuccess;
    }
    const auto& positionals = parsed.positionals();
    if (positionals.size() < 2 || positionals.size() > 3)
        throw UsageError("expected MODULE INPUT [XML]");
    const ConversionModule* module = nullptr;
    for (const ConversionModule& candidate : list.modules)
        if (candidate.name == positionals[0]) module = &candidate;
    if (module == nullptr) {
        io.err << "No conversion module \"" << positionals[0] << "\" in "
               << (folder / "conv.txt").string() << '\n';
        return kFailure;
    }
    const std::string xml =
        positionals.size() == 3 ? positionals[2] : derived_xml_file_name(positionals[1]);
    const std::string parameters =
        conversion_parameters(positionals[1], xml, parsed.value("dtd").value_or(kDefaultLogDtd),
                              parsed.has("external-dtd"));
    const int code = run_program(folder / module->program, parameters);
    if (code != 0) {
        io.err << "The conversion module " << (folder / module->program).string()
               << (code < 0 ? " could not be started"
                            : " failed with exit code " + std::to_string(code))
               << '\n';
        return kFailure;
    }
    io.err << "Wrote " << xml << '\n';
    return kSuccess;
}

}  // namespace vesk::cli
