#pragma once

#include <string>

#include "cli/command.h"
#include "cli/log_options.h"

namespace vesk::cli {

// What the cases and events of a process carry besides name, type and time: each attribute with
// its level, type, how many cases and events carry it, its values.
class AttributesCommand : public Command {
public:
    std::string name() const override { return "attributes"; }
    std::string summary() const override {
        return "list the attributes of the cases and events of a process";
    }
    void declare(CLI::App& app) override;
    int run(Console& console) override;
    bool writes_json() const override { return format_ == "json"; }

private:
    LogReadOptions log_;
    std::string format_ = "text";
    int top_ = 5;
};

}  // namespace vesk::cli
