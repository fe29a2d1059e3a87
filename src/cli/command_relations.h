#pragma once

#include <vector>

#include "cli/command.h"
#include "cli/log_options.h"

namespace vesk::cli {

// Reads one process of a workflow log, builds its ordering relations and lists or saves them;
// or reads a relations file back.
class RelationsCommand : public Command {
public:
    std::string name() const override { return "relations"; }
    std::string summary() const override { return "mine the ordering relations of a process"; }
    void declare(CLI::App& app) override;
    int run(Console& console) override;
    bool writes_json() const override { return format_ == "json"; }

private:
    int from_log(Console& console);
    int from_relations_file(Console& console);

    LogReadOptions log_;
    std::string relations_;
    std::string out_;
    std::string dtd_;
    std::vector<std::string> shows_;
    std::string format_ = "text";
};

}  // namespace vesk::cli
