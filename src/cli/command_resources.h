#pragma once

#include <string>

#include "cli/command.h"
#include "cli/log_options.h"
#include "control/attribute_views.h"

namespace vesk::cli {

// Who does the work of a process: resources, the activity x resource table, the handover of
// work and working together; as text, JSON or the handover graph for dot.
class ResourcesCommand : public Command {
public:
    std::string name() const override { return "resources"; }
    std::string summary() const override {
        return "list who does the work of a process and who hands work to whom";
    }
    void declare(CLI::App& app) override;
    int run(Console& console) override;
    bool writes_json() const override { return format_ == "json"; }

private:
    LogReadOptions log_;
    std::string resource_key_ = kDefaultResourceKey;
    std::string format_ = "text";
};

}  // namespace vesk::cli
