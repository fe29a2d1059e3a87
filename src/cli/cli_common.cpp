#include "cli/cli_common.h"

#include <algorithm>
#include <map>

#include <unistd.h>

#include <iostream>

#include "app/file_util.h"

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
        const auto it = names.find(name);
        if (it == names.end())
            throw UsageError("unknown event type \"" + name +
                             "\" (use schedule, start, suspend, complete, withdraw, abort)");
        events.*(it->second) = true;
    }
    return events;
}

// Says which requested events the rules changed, so a shell user is not surprised.
void report_adjustments(const UsedEvents& asked, const UsedEvents& used, std::ostream& err) {
    const auto note = [&err](bool was, bool is, const char* name, const char* why) {
        if (was && !is) err << "note: " << name << " events are not used: " << why << '\n';
        if (!was && is) err << "note: " << name << " events are used as well: " << why << '\n';
    };
    note(asked.withdraw, used.withdraw, "withdraw", "they need schedule and complete");
    note(asked.abort, used.abort, "abort", "they need schedule or start, and complete");
    note(asked.suspend, used.suspend, "suspend", "they need schedule or start");
    note(asked.complete, used.complete, "complete",
         "without schedule or start, or with withdraw or abort, complete is needed");
}

}  // namespace

EventChoice event_choice_from(const ParsedArgs& args, std::ostream& err) {
    const UsedEvents asked = parse_events(args.value("events").value_or("complete"));
    EventChoice choice = apply_event_choice(asked);
    report_adjustments(asked, choice.ticked, err);
    return choice;
}

std::vector<OverlapVariant> overlap_variants_from(const ParsedArgs& args,
                                                  const EventChoice& events) {
    std::vector<OverlapVariant> variants;
    const auto& offered = events.overlap_events;
    for (const std::string& text : args.values("overlap")) {
        const auto parts = split_list(text, ':');
        if (parts.size() != 2)
            throw UsageError("--overlap expects START:STOP, not \"" + text + "\"");
        for (const std::string& type : parts) {
            if (std::find(offered.begin(), offered.end(), type) == offered.end())
                throw UsageError("--overlap " + text + ": \"" + type +
                                 "\" events are not read (see --events)");
        }
        variants.push_back({parts[0], parts[1]});
    }
    return variants;
}

std::vector<std::string> shows_from(const ParsedArgs& args,
                                    const std::vector<std::string>& allowed) {
    std::vector<std::string> shows;
    for (const std::string& show : args.values("show")) {
        if (std::find(allowed.begin(), allowed.end(), show) == allowed.end())
            throw UsageError("--show " + show + " is not one of the listings");
        shows.push_back(show);
    }
    return shows;
}

std::filesystem::path output_folder_from(const ParsedArgs& args) {
    const std::filesystem::path folder = *args.value("out");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw FileWriteError("Cannot create the folder " + folder.string() + ": " +
                             error.message());
    return folder;
}

StageLine::StageLine(std::ostream& err)
    : err_(err), active_(&err == &std::cerr && ::isatty(STDERR_FILENO) == 1) {}

StageLine::~StageLine() {
    if (active_) err_ << "\r\033[K" << std::flush;
}

void StageLine::show(const std::string& stage) {
    if (active_) err_ << "\r\033[K" << stage << "..." << std::flush;
}

}  // namespace vesk::cli
