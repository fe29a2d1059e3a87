#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "base/util_functions.h"
#include "cli/command.h"
#include "cli/log_options.h"
#include "control/map_run.h"

namespace vesk::cli {

// The process map of a process: activities, paths with their counts and times, the start and
// end of cases, and the variants; as text, JSON, dot or a picture dot draws.
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
    MapDotStyle dot_style() const;
    std::filesystem::path out_path(const std::string& process_id) const;
    // The map drawn by dot, into --out or as SVG to the standard output.
    int draw(Console& console, const std::string& process_id, const ProcessMap& shown,
             const MapSelection& selection) const;

    LogReadOptions log_;
    double activities_ = 100;
    double paths_ = 100;
    std::optional<std::int64_t> variants_;
    std::string format_ = "text";
    std::string view_ = "frequency";
    std::string time_ = "mean";
    std::string out_;
    std::string by_;
    int render_timeout_ = static_cast<int>(RenderBudget::kDefaultTotal.count());
};

}  // namespace vesk::cli
