#include "cli/mine_help.h"

#include "cli/log_options.h"

namespace vesk::cli {

std::string mine_footer_text() {
    return "Builds the ordering relations of process ID of LOG (as 'vesk-cli relations' does), or "
           "takes them from a relations FILE, rediscovers a Petri net from them, replays the log "
           "on the net and closes the relations as the inspector does when it is closed. Prints "
           "the size of the net, what it lacks to be a workflow net (transitions without an "
           "input or an output place fire or end as they please, and a replay cannot see it), "
           "and what the replay found: tasks that had to fire while not "
           "enabled, whether a place ever held two tokens, whether cases left tokens behind, and "
           "the flow time of the cases in minutes. With --construction inductive the net comes "
           "instead from a process tree found in the log's lines (--show tree prints it), and "
           "its invisible transitions fire by the shortest sequence that enables the next "
           "event. With --net FILE.pnml the log is replayed on a net read from PNML (an "
           "organisation's own model, or one this program wrote) in the same way: its "
           "transitions are matched to the log's activities by their labels, the activity or "
           "\"activity+event\" where several event types are read; invisible transitions are "
           "those marked activity=\"$invisible$\" or without a label. The export writes the net "
           "as \"<LOG name> <ID> .pnml\" too." +
           std::string("\n\n") + std::string(LogReadOptions::kHelp) + "\n" +
           CaseFilterOptions::kHelp +
           "\nThe export writes \"<LOG name> <ID> low.dot\", \"... high.dot\", \"... .tpn\", "
           "Default.htm and a page per place into DIR; with --relations the names start with the "
           "relations file's name. A \"/\" or \"\\\" in a process id becomes \"_\" in file names.\n"
           "With --format json the summary is one object: {\"log\", \"relations\", \"process\", "
           "\"events\" (null where not used), \"net\": {\"transitions\", \"places\", \"arcs\" "
           "(counts), \"transition_list\": [{\"name\", \"visible\", and for a visible one "
           "\"activity\", \"event\", \"occurrences\"}], \"place_list\": [{\"name\", "
           "\"input_transitions\", \"output_transitions\", \"waiting\", \"synchronisation\", "
           "\"sojourn\": {\"observations\", and where there are any \"mean\", \"variance\", "
           "\"minimum\", \"maximum\"}}]}, "
           "\"tree\" (the process tree of the inductive construction, else null), "
           "\"structure\": {\"workflow_net\", \"transitions_without_input\", "
           "\"transitions_without_output\", \"transitions_without_arcs\" (names), "
           "\"places_without_input\", \"places_without_output\" (place numbers), "
           "\"start_place_without_output\", \"end_place_without_input\", "
           "\"transitions_off_path\", \"places_off_path\" (counts), \"findings\" (texts)}, "
           "\"replay\": null or {\"events\", \"cases\" (replayed), \"process_instances\", "
           "\"unfired_tasks\": [names], \"safe\", \"tokens_left\", \"fitness\": {\"fitness\", "
           "\"produced\", \"consumed\", \"missing\", \"remaining\", \"cases\", "
           "\"fitting_cases\", \"undecided_cases\"}, with a case filter \"case_filter\": "
           "{\"kept\", \"total\"}}, "
           "\"flow_time_minutes\": null or "
           "{\"observations\", \"mean\", \"variance\", \"minimum\", \"maximum\"}, \"files\": "
           "[paths "
           "written], \"warnings\": count, \"warning_list\": [{\"kind\", \"count\", \"example\", "
           "\"text\"}], \"errors\": [texts], \"listings\" (with --show): "
           "{\"relations\", \"net\", \"timing\": [lines]}}; a run that fails prints {\"errors\": "
           "[texts]}.\n"
           "Exit status: 0 done; 1 a file or process could not be read, or an export file could "
           "not be written; 2 wrong arguments; 3 the net was exported but dot was missing or "
           "failed on a picture or the report.";
}

}  // namespace vesk::cli
