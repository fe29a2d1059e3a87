#pragma once

#include "cli/command.h"

namespace vesk::cli {

// Builds the relations of a process (or reads them from a file), makes the Petri net, replays
// the log on it and reports what the replay found.
class MineCommand : public Command {
public:
    std::string name() const override { return "mine"; }
    std::string summary() const override { return "rediscover a Petri net and replay the log"; }
    std::string usage() const override;
    int run(const std::vector<std::string>& args, Streams io) const override;
};

}  // namespace vesk::cli
