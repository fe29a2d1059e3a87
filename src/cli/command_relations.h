#pragma once

#include "cli/command.h"

namespace vesk::cli {

// Reads one process of a workflow log, builds its ordering relations and lists them.
class RelationsCommand : public Command {
public:
    std::string name() const override { return "relations"; }
    std::string summary() const override { return "mine the ordering relations of a process"; }
    std::string usage() const override;
    int run(const std::vector<std::string>& args, Streams io) const override;
};

}  // namespace vesk::cli
