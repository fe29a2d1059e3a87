#include "cli/command_relations.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

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

nlohmann::json names_of(const Ttasklist& tasks) {
    nlohmann::json names = nlohmann::json::array();
    for (const Ttask* task : tasks)
        names.push_back(task->name());
    return names;
}

// The tasks with their relations and the facts they make, for a script.
nlohmann::json relations_json(Tvesk_util& controller) {
    nlohmann::json tasks = nlohmann::json::array();
    for (Ttask* task : controller.main_task_list()) {
        const TstringTuple parts = task->split_name();
        nlohmann::json predecessors = nlohmann::json::array(), successors = predecessors;
        for (const auto& count : task->predecessor_counts())
            predecessors.push_back(count.task->name());
        for (const auto& count : task->successor_counts())
            successors.push_back(count.task->name());
        tasks.push_back(
            {{"name", task->name()},
             {"activity", parts.activity},
             {"event", parts.event},
             {"loop_length", task->loop_length == kNone ? nlohmann::json(nullptr)
                                                        : nlohmann::json(task->loop_length)},
             {"trace_start", task->is_trace_start},
             {"trace_end", task->is_trace_end},
             {"predecessors", predecessors},
             {"successors", successors},
             {"causal_successors", names_of(task->causal_successors())},
             {"causal_predecessors", names_of(task->causal_predecessors())},
             {"parallel", names_of(task->parallel())},
             {"two_loop", names_of(task->tasks_in_two_loop)}});
    }
    Tfactslist facts(controller.main_task_list());
    facts.build_from_tasks();
    nlohmann::json fact_list = nlohmann::json::array();
    for (const Tfact& fact : facts.facts()) {
        nlohmann::json entry = {{"kind", std::string(Tfactslist::kind_name(fact))},
                                {"task1", fact.task1->name()},
                                {"task2", fact.task2->name()},
                                {"certainty", fact.certainty}};
        if (fact.kind == Trelation_kind::long_succ) entry["distance"] = fact.distance;
        fact_list.push_back(entry);
    }
    return {{"tasks", tasks}, {"facts", fact_list}};
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
    app.add_option("--format", format_, "the listing as text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
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
        std::string("\n\n") + std::string(LogReadOptions::kHelp) + "\n" + CaseFilterOptions::kHelp +
        "\nA \"/\" or \"\\\" in a process id becomes \"_\" in file names.\n"
        "With --format json the first form prints one object: {\"log\", \"process\", "
        "\"tasks\": [{\"name\", \"activity\", \"event\", \"loop_length\", \"trace_start\", "
        "\"trace_end\", \"predecessors\", \"successors\", \"causal_successors\", "
        "\"causal_predecessors\", \"parallel\", \"two_loop\" (names)}], \"facts\": "
        "[{\"kind\", \"task1\", \"task2\", \"certainty\", and for long_succ \"distance\"}], "
        "\"files\": [paths written], \"warnings\": count, \"warning_list\": [{\"kind\", \"count\", "
        "\"example\", \"text\"}]}; the second form adds "
        "\"erroneous_sets\": [[fact texts]]. A run that fails prints {\"errors\": [texts]}.\n"
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
    const std::vector<ReadWarning> warnings =
        report_read_problems(controller, request.process_id, console);
    nlohmann::json files = nlohmann::json::array();
    if (!out_.empty()) {
        begin_stage(console.timings(), "export");
        const auto path = controller.write_relations(
            output_folder(out_), relations_file_base_name(log_.log(), request.process_id), dtd_);
        console.note("wrote " + path.string());
        files.push_back(path.string());
    }
    if (format_ == "json") {
        nlohmann::json document = relations_json(controller);
        document["log"] = log_.log();
        document["process"] = request.process_id;
        document["files"] = files;
        document["warnings"] = warnings.size();
        document["warning_list"] = warnings_json(warnings);
        console.out() << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                      << '\n';
    } else if (out_.empty() || !shows_.empty()) {
        print_relations(controller, console);
    }
    return kSuccess;
}

int RelationsCommand::from_relations_file(Console& console) {
    if (log_.has_log()) throw UsageError("give either LOG or --relations FILE");
    if (log_.has_process() || log_.asks_for_events())
        throw UsageError("--process, --events and --overlap need a LOG");
    Tvesk_util controller(locale_decimal_separator());
    RelationsInspection inspection(controller);
    inspection.open_with_relations_file(relations_, log_.resolve_externals(), console);
    nlohmann::json erroneous = nlohmann::json::array();
    for (const auto& set : inspection.erroneous_sets()) {
        nlohmann::json texts = nlohmann::json::array();
        for (const std::int32_t position : set)
            texts.push_back(fact_text(*inspection.facts().get(position)));
        erroneous.push_back(texts);
    }
    if (format_ != "json") print_erroneous_sets(inspection, console);
    // As closing the inspector does: the tasks take the relations of the switched-on facts.
    inspection.close();
    nlohmann::json files = nlohmann::json::array();
    if (!out_.empty()) {
        const auto written = controller.write_relations(output_folder(out_),
                                                        file_name_without_xml(relations_), dtd_);
        console.note("wrote " + written.string());
        files.push_back(written.string());
    }
    if (format_ == "json") {
        nlohmann::json document = relations_json(controller);
        document["relations"] = relations_;
        document["erroneous_sets"] = erroneous;
        document["files"] = files;
        console.out() << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                      << '\n';
    } else if (!shows_.empty()) {
        print_relations(controller, console);
    }
    return kSuccess;
}

}  // namespace vesk::cli
