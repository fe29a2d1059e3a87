#include "cli/command_relations.h"

#include <algorithm>

#include "app/file_util.h"
#include "cli/cli_common.h"
#include "control/relations_inspection.h"

namespace vesk::cli {

namespace {

const OptionSpec kOptions = {
    .with_value = {"process", "events", "overlap", "out", "dtd", "show", "relations"},
    .flags = {"external-dtd"},
    .repeatable = {"overlap", "show"}};

void print_relations(Tvesk_util& controller, std::ostream& out) {
    std::vector<std::string> lines;
    controller.relations_text(lines);
    for (const std::string& line : lines)
        out << line << '\n';
}

void print_erroneous_sets(RelationsInspection& inspection, std::ostream& out) {
    const TintMatrix& sets = inspection.erroneous_sets();
    for (std::size_t i = 0; i < sets.size(); ++i) {
        out << "Erroneous set " << i << '\n';
        for (const std::int32_t position : sets[i])
            out << "  " << fact_text(*inspection.facts().get(position)) << '\n';
    }
}

bool shows(const std::vector<std::string>& list, const char* what) {
    return std::find(list.begin(), list.end(), what) != list.end();
}

int mine_from_log(const ParsedArgs& args, Streams io) {
    if (args.positionals().size() != 1) throw UsageError("expected one LOG file");
    const auto process = args.value("process");
    if (!process) throw UsageError("--process ID is required");
    const auto show = shows_from(args, {"relations"});
    BuildRelationsRequest request;
    request.process_id = *process;
    request.events = event_choice_from(args, io.err);
    request.overlaps = overlap_variants_from(args, request.events);

    Tvesk_util controller;
    controller.load_log(args.positionals()[0], args.has("external-dtd"));
    StageLine stage(io.err);
    stage.show("Reading Workflow-log");
    build_relations(controller, request,
                    [&stage](const std::string& status) { stage.show(status); });
    if (args.has("out")) {
        const auto path = controller.write_relations(
            output_folder_from(args), relations_file_base_name(args.positionals()[0], *process),
            args.value("dtd").value_or(kDefaultRelationsDtd));
        io.err << "Wrote " << path.string() << '\n';
    }
    if (!args.has("out") || shows(show, "relations")) print_relations(controller, io.out);
    return kSuccess;
}

int reopen_relations_file(const ParsedArgs& args, Streams io) {
    if (!args.positionals().empty()) throw UsageError("give either LOG or --relations FILE");
    for (const char* option : {"process", "events", "overlap"})
        if (args.has(option)) throw UsageError(std::string("--") + option + " needs a LOG");
    const auto show = shows_from(args, {"relations"});
    const std::string path = *args.value("relations");

    Tvesk_util controller;
    StderrSink sink(io.err);
    RelationsInspection inspection(controller);
    inspection.open_with_relations_file(path, args.has("external-dtd"), sink);
    print_erroneous_sets(inspection, io.out);
    // As closing the inspector does: the tasks take the relations of the switched-on facts.
    inspection.apply();
    if (args.has("out")) {
        const std::string base = file_name_without_xml(path);
        const auto written = controller.write_relations(
            output_folder_from(args), base, args.value("dtd").value_or(kDefaultRelationsDtd));
        io.err << "Wrote " << written.string() << '\n';
    }
    if (shows(show, "relations")) print_relations(controller, io.out);
    return kSuccess;
}

}  // namespace

std::string RelationsCommand::usage() const {
    return "Usage: vesk-cli relations LOG --process ID [--events LIST] [--overlap START:STOP]...\n"
           "                          [--out DIR] [--dtd URL] [--show relations] [--external-dtd]\n"
           "       vesk-cli relations --relations FILE [--out DIR] [--dtd URL] [--show relations]\n"
           "\n"
           "The first form reads process ID of the XML workflow log LOG, keeping the event types\n"
           "of LIST (default: complete), and builds the ordering relations between its tasks.\n"
           "Without --out it lists them: per task its loop length, direct predecessors (<) and\n"
           "successors (>), causal successors (->) and predecessors (<-), parallel tasks (||)\n"
           "and short-loop partners. With --out it saves them as \"<LOG name> <ID> "
           "relations.xml\"\n"
           "in DIR.\n"
           "\n"
           "The second form reads a relations file back, lists its contradicting facts as\n"
           "erroneous sets, and with --out saves the relations again under the file's name.\n"
           "\n"
           "  --process ID          the id of the process (see 'vesk-cli processes')\n"
           "  --events LIST         comma-separated: schedule,start,suspend,complete,withdraw,\n"
           "                        abort; suspend brings resume with it; withdraw needs schedule\n"
           "                        and complete, abort needs schedule or start and complete\n"
           "  --overlap START:STOP  make activities whose START..STOP intervals overlap in a case\n"
           "                        parallel (for example start:complete); may be repeated\n"
           "  --out DIR             write the relations file into DIR (created when missing)\n"
           "  --dtd URL             DTD location written into the file\n"
           "  --show relations      also list the relations when writing\n"
           "  --external-dtd        resolve the DTD a file names (local files only)\n";
}

int RelationsCommand::run(const std::vector<std::string>& args, Streams io) const {
    const ParsedArgs parsed(args, kOptions);
    return parsed.has("relations") ? reopen_relations_file(parsed, io) : mine_from_log(parsed, io);
}

}  // namespace vesk::cli
