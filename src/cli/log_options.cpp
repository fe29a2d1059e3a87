#include "cli/log_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <map>

#include "base/text_util.h"
#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/console.h"
#include "cli/option_checks.h"
#include "control/map_run.h"

namespace vesk::cli {

namespace {

UsedEvents parse_events(const std::string& text) {
    UsedEvents events;
    events.complete = false;
    const std::map<std::string, bool UsedEvents::*> names = {
        {"schedule", &UsedEvents::schedule}, {"start", &UsedEvents::start},
        {"suspend", &UsedEvents::suspend},   {"complete", &UsedEvents::complete},
        {"withdraw", &UsedEvents::withdraw}, {"abort", &UsedEvents::abort}};
    for (const std::string& name : split_list(text, ',')) {
        const auto it = names.find(ascii_lower(trimmed(name)));
        if (it == names.end())
            throw UsageError("--events: unknown event type \"" + name +
                             "\" (use schedule, start, suspend, complete, withdraw, abort)");
        events.*(it->second) = true;
    }
    return events;
}

// The id of the log's one process; a log of several needs --process.
std::string only_process(const Tvesk_util& controller) {
    const std::vector<LogProcess> processes = controller.processes();
    if (processes.size() == 1) return processes.front().id;
    throw UsageError("--process ID is required: the log has " + std::to_string(processes.size()) +
                     " processes (see 'vesk-cli processes')");
}

// Says which requested events the rules changed, so a shell user is not surprised.
void report_adjustments(const UsedEvents& asked, const UsedEvents& used, Console& console) {
    const auto note = [&console](bool was, bool is, const std::string& name, const char* why) {
        if (was && !is) console.note("note: " + name + " events are not used: " + why);
        if (!was && is) console.note("note: " + name + " events are used as well: " + why);
    };
    note(asked.withdraw, used.withdraw, "withdraw", "they need schedule and complete");
    note(asked.abort, used.abort, "abort", "they need schedule or start, and complete");
    note(asked.suspend, used.suspend, "suspend", "they need schedule or start");
    note(asked.complete, used.complete, "complete",
         "without schedule or start, or with withdraw or abort, complete is needed");
}

}  // namespace

void LogReadOptions::declare(CLI::App& app, bool log_required) {
    auto* log = app.add_option("LOG", log_, "the XML workflow log");
    if (log_required) log->required();
    app.add_option("--process", process_,
                   "the id of the process (see 'vesk-cli processes'); may be left out when the "
                   "log has one process");
    events_option_ =
        app.add_option("--events", events_, "event types to read, in any case (default complete)");
    overlap_option_ =
        app.add_option("--overlap", overlaps_,
                       "START:STOP: activities whose START..STOP intervals overlap in a case "
                       "become parallel (for example start:complete); may be repeated")
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("--external-dtd", external_dtd_, kExternalDtdHelp);
    app.add_option("--classifier", event_log_.classifier,
                   "XES: name events by this declared classifier, its keys' values joined "
                   "with \"+\"");
    app.add_flag("--lifecycle-into-name", event_log_.lifecycle_into_name,
                 "XES, MXML: append a non-standard lifecycle transition to the event's name "
                 "(\"+\" between) and read the event as complete");
    app.add_flag("--local-time", event_log_.local_time,
                 "XES, MXML: keep timestamps as written instead of converting them to UTC");
    app.add_option("--attributes", attributes_,
                   "which attributes of cases and events to read: none, all or KEY,KEY,... "
                   "(default: what the command needs)")
        ->check(not_empty("none, all or keys"));
    cases_.declare(app);
}

EventLogOptions LogReadOptions::event_log_options() const {
    EventLogOptions options = event_log_;
    AttributeChoice choice = attribute_need_;
    if (attributes_ == "all") {
        choice = AttributeChoice::all();
    } else if (attributes_ == "none") {
        choice = AttributeChoice::none();
    } else if (!attributes_.empty()) {
        choice = AttributeChoice::none();
        for (const std::string& key : split_list(attributes_, ','))
            if (!trimmed(key).empty()) choice.add(trimmed(key));
    }
    for (const std::string& key : cases_.condition_keys())
        choice.add(key);
    options.attributes = std::move(choice);
    return options;
}

bool LogReadOptions::asks_for_events() const {
    return events_option_->count() > 0 || overlap_option_->count() > 0;
}

BuildRelationsRequest LogReadOptions::request(Console& console,
                                              const Tvesk_util& controller) const {
    BuildRelationsRequest request;
    const UsedEvents asked = parse_events(events_);
    request.events = apply_event_choice(asked);
    report_adjustments(asked, request.events.ticked, console);
    const auto& offered = request.events.overlap_events;
    for (const std::string& text : overlaps_) {
        const auto parts = split_list(text, ':');
        if (parts.size() != 2)
            throw UsageError("--overlap expects START:STOP, not \"" + text + "\"");
        for (const std::string& type : parts) {
            if (std::find(offered.begin(), offered.end(), type) == offered.end())
                throw UsageError("--overlap " + text + ": \"" + type +
                                 "\" events are not read (see --events)");
        }
        request.overlaps.push_back({parts[0], parts[1]});
    }
    request.cases = cases_.filter();
    request.process_id = process_.empty() ? only_process(controller) : process_;
    return request;
}

ProcessRead LogReadOptions::read(Tvesk_util& controller, Console& console) const {
    controller.load_log(log_, external_dtd_, event_log_options());
    ProcessRead read{request(console, controller), {}};
    console.stage("Reading Workflow-log");
    read_request(
        controller, read.request, [&console](const std::string& s) { console.stage(s); },
        console.timings());
    read.warnings = report_read_problems(controller, read.request.process_id, console);
    return read;
}

}  // namespace vesk::cli
