#pragma once

#include "cli/command.h"

namespace vesk::cli {

// Lists the processes of a workflow log as the process list shows them.
class ProcessesCommand : public Command {
public:
    std::string name() const override { return "processes"; }
    std::string summary() const override { return "list the processes of a workflow log"; }
    void declare(CLI::App& app) override;
    int run(Console& console) override;
    bool writes_json() const override { return format_ == "json"; }

private:
    std::string log_;
    std::string format_ = "text";
    bool external_dtd_ = false;
    bool counts_ = false;
};

}  // namespace vesk::cli
