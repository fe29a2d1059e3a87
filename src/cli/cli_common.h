#pragma once
// Pieces several subcommands share: event choices, overlap variants, output folders, messages.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "control/build_relations.h"
#include "mining/message_sink.h"

namespace vesk::cli {

// Messages of the core, printed on stderr with their level.
class StderrSink : public MessageSink {
public:
    explicit StderrSink(std::ostream& err) : err_(err) {}
    void warning(const std::string& text) override { err_ << "warning: " << text << '\n'; }
    void information(const std::string& text) override { err_ << text << '\n'; }
    void error(const std::string& text) override { err_ << "error: " << text << '\n'; }

private:
    std::ostream& err_;
};

// The --events list with the rules of the "Used events" boxes applied; changes are noted on err.
EventChoice event_choice_from(const ParsedArgs& args, std::ostream& err);

// The --overlap START:STOP variants, checked against the event types being read.
std::vector<OverlapVariant> overlap_variants_from(const ParsedArgs& args,
                                                  const EventChoice& events);

// The --show values, each checked against the allowed ones.
std::vector<std::string> shows_from(const ParsedArgs& args,
                                    const std::vector<std::string>& allowed);

// The --out folder, created when missing.
std::filesystem::path output_folder_from(const ParsedArgs& args);

// Shows the stage of a long command on one line of stderr, only when stderr is a terminal.
class StageLine {
public:
    explicit StageLine(std::ostream& err);
    ~StageLine();
    StageLine(const StageLine&) = delete;
    StageLine& operator=(const StageLine&) = delete;
    void show(const std::string& stage);

private:
    std::ostream& err_;
    bool active_;
};

inline const std::string kDefaultRelationsDtd = "http://localhost/vesk/dtd/WF_relations.dtd";

}  // namespace vesk::cli
