#pragma once

#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/log_options.h"

namespace vesk::cli {

// The process map of a process: activities, paths with their counts and times, the start and
// end of cases, and the variants; as text, JSON or dot.
class MapCommand : public Command {
public:
    std::string name() const override { return "map"; }
    std::string summary() const override {
        return "count the process map and the variants of a process";
    }
    void declare(CLI::App& app) override;
    int run(Console& console) override;
    bool writes_json() const override { return format_ == "json"; }

private:
    LogReadOptions log_;
    double activities_ = 100;
    double paths_ = 100;
    std::optional<std::int64_t> variants_;
    std::string format_ = "text";
    std::string out_;
};

}  // namespace vesk::cli
