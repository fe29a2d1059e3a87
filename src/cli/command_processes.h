#pragma once

#include "cli/command.h"

namespace vesk::cli {

// Lists the processes of a workflow log as the process list shows them.
class ProcessesCommand : public Command {
public:
    std::string name() const override { return "processes"; }
    std::string summary() const override { return "list the processes of a workflow log"; }
    std::string usage() const override;
    int run(const std::vector<std::string>& args, Streams io) const override;
};

}  // namespace vesk::cli
