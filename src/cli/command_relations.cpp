#include "cli/command_relations.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "base/file_util.h"
#include "base/number_format.h"
#include "cli/cli_common.h"
#include "cli/console.h"
#include "control/relations_inspection.h"

namespace vesk::cli {

namespace {

void print_relations(Tvesk_util& controller, Console& console) {
    std::vector<std::string> lines;
    controller.relations_text(lines);
    for (const std::string& line : lines)
        console.out() << line << '\n';
}

void print_erroneous_sets(RelationsInspection& inspection, Console& console) {
    const TintMatrix& sets = inspection.erroneous_sets();
    for (std::size_t i = 0; i < sets.size(); ++i) {
        console.out() << "Erroneous set " << i << '\n';
        for (const std::int32_t position : sets[i])
            console.out() << "  " << fact_text(*inspection.facts().get(position)) << '\n';
    }
}

}  // namespace

void RelationsCommand::declare(CLI::App& app) {
    log_.declare(app, false);
    app.add_option("--relations", relations_, "read this relations file instead of a log");
    app.add_option("--out", out_, "write the relations file into DIR (created when missing)");
    app.add_option("--dtd", dtd_, "the WF_relations.dtd location written into the file");
    app.add_option("--show", shows_, "relations: also list the relations when writing")
        ->check(CLI::IsMember({"relations"}))
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.footer(
        "The first form reads process ID of the XML workflow log LOG and builds the ordering "
        "relations between its tasks. Without --out it lists them: per task its loop length, "
        "direct predecessors (<) and successors (>), causal successors (->) and predecessors "
        "(<-), parallel tasks (||) and short-loop partners. With --out it saves them as "
        "\"<LOG name> <ID> relations.xml\" in DIR.\n"
        "The second form (--relations FILE) reads a relations file back, lists its "
        "contradicting facts as erroneous sets, and with --out saves the relations again under "
        "the file's name." +
        std::string("\n\n") + std::string(LogReadOptions::kHelp) +
        "\nA \"/\" or \"\\\" in a process id becomes \"_\" in file names.\n"
        "Exit status: 0 done, 1 a file or process could not be read or written, 2 wrong "
        "arguments.");
}

int RelationsCommand::run(Console& console) {
    if (!dtd_.empty() && dtd_.find('"') != std::string::npos)
        throw UsageError("--dtd: a DTD location cannot hold a double quote");
    if (dtd_.empty()) dtd_ = kDefaultRelationsDtd;
    return relations_.empty() ? from_log(console) : from_relations_file(console);
}

int RelationsCommand::from_log(Console& console) {
    if (!log_.has_log()) throw UsageError("give a LOG, or --relations FILE");
    Tvesk_util controller(locale_decimal_separator());
    controller.load_log(log_.log(), log_.resolve_externals(), log_.event_log_options());
    const BuildRelationsRequest request = log_.request(console, controller);
    console.stage("Reading Workflow-log");
    build_relations(
        controller, request, [&console](const std::string& s) { console.stage(s); },
        console.timings());
    report_read_problems(controller, request.process_id, console);
    if (!out_.empty()) {
        begin_stage(console.timings(), "export");
        const auto path = controller.write_relations(
            output_folder(out_), relations_file_base_name(log_.log(), request.process_id), dtd_);
        console.note("wrote " + path.string());
    }
    if (out_.empty() || !shows_.empty()) print_relations(controller, console);
    return kSuccess;
}

int RelationsCommand::from_relations_file(Console& console) {
    if (log_.has_log()) throw UsageError("give either LOG or --relations FILE");
    if (log_.has_process() || log_.asks_for_events())
        throw UsageError("--process, --events and --overlap need a LOG");
    Tvesk_util controller(locale_decimal_separator());
    RelationsInspection inspection(controller);
    inspection.open_with_relations_file(relations_, log_.resolve_externals(), console);
    print_erroneous_sets(inspection, console);
    // As closing the inspector does: the tasks take the relations of the switched-on facts.
    inspection.close();
    if (!out_.empty()) {
        const auto written = controller.write_relations(output_folder(out_),
                                                        file_name_without_xml(relations_), dtd_);
        console.note("wrote " + written.string());
    }
    if (!shows_.empty()) print_relations(controller, console);
    return kSuccess;
}

}  // namespace vesk::cli
