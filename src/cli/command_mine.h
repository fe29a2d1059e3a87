#pragma once

#include <vector>

#include "cli/command.h"
#include "cli/log_options.h"
#include "control/export_petrinet.h"

namespace vesk::cli {

// Builds the relations of a process (or reads them from a file), makes the Petri net, replays
// the log on it and reports what the replay found; exports the net and renders it on request.
class MineCommand : public Command {
public:
    std::string name() const override { return "mine"; }
    std::string summary() const override { return "rediscover a Petri net and replay the log"; }
    void declare(CLI::App& app) override;
    int run(Console& console) override;

private:
    void check_combinations() const;
    std::string options_text() const;

    LogReadOptions log_;
    std::string relations_;
    std::string replay_log_;
    bool split_loops_ = false;
    bool new_construction_ = false;
    bool no_combine_ = false;
    bool no_replay_ = false;
    std::vector<std::string> shows_;
    std::string format_ = "text";
    std::string out_;
    bool render_ = false;
    bool report_ = false;
    std::string stats_ = "waiting=mean,min,max;sync=mean,min,max;sojourn=mean,min,max";
    std::string colour_ = rrggbb_text(kDefaultClusterColour);
    bool no_probabilities_ = false;
    std::string orientation_ = "lr";
    std::string page_ = "a4";
    std::vector<CLI::Option*> export_options_;
};

}  // namespace vesk::cli
