#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/util_functions.h"
#include "cli/command.h"
#include "cli/log_options.h"
#include "control/export_petrinet.h"
#include "control/mine_run.h"
#include "control/read_warnings.h"
#include "control/rendering.h"

namespace vesk::cli {

// Where the relations of a run came from: the JSON summary and the report name it.
struct MineSource {
    std::optional<std::string> relations;
    std::optional<std::string> log;
    std::optional<std::string> process;
    // The event types offered for overlaps; none with a relations file.
    std::optional<std::vector<std::string>> events;
    // The export's base name (see export_base_name).
    std::string base;
};

// What a run produced, for the text summary and the JSON object alike.
struct MineSummary {
    bool replayed = false;
    std::vector<ReadWarning> warning_list;
    void add_warnings(const std::vector<ReadWarning>& found) {
        warning_list.insert(warning_list.end(), found.begin(), found.end());
    }
    std::vector<std::string> files;
    std::vector<std::string> errors;
    // The text summary and the listings are out (they come before dot where it runs).
    bool printed = false;
    // --noise auto: the grid and the threshold chosen.
    std::optional<NoiseChoice> noise_choice;
};

// Builds the relations of a process (or reads them from a file), makes the Petri net, replays
// the log on it and reports what the replay found; exports the net and renders it on request.
class MineCommand : public Command {
public:
    // As the align command: a log checked against a net, the alignments in front.
    explicit MineCommand(bool align_command = false) : align_command_(align_command) {}
    std::string name() const override { return align_command_ ? "align" : "mine"; }
    std::string summary() const override {
        return align_command_ ? "align the log on a net: fitness, precision and deviations"
                              : "rediscover a Petri net and replay the log";
    }
    void declare(CLI::App& app) override;
    int run(Console& console) override;
    bool writes_json() const override { return format_ == "json"; }

private:
    void declare_construction(CLI::App& app);
    void declare_align_command(CLI::App& app);
    void declare_conformance(CLI::App& app, bool with_switch);
    void check_align_combinations() const;
    // Aligns the log on the net when asked to.
    void align(Tvesk_util& controller, Console& console);
    void check_combinations() const;
    // alpha, new or inductive, --new-construction taken in.
    std::string construction() const;
    std::string options_text() const;
    NetOptions net_options() const;
    MineSource mine_relations(Tvesk_util& controller, MineSummary& summary, Console& console) const;
    MineSource mine_log(Tvesk_util& controller, MineSummary& summary, Console& console) const;
    // Writes the net's files and, on request, the pictures and the report; the exit status.
    int export_files(Tvesk_util& controller, const MineSource& source, const ExportRequest& request,
                     MineSummary& summary, Console& console) const;
    // The text summary (unless JSON) and the listings, once.
    void print_summary(Tvesk_util& controller, MineSummary& summary, Console& console) const;
    ReportInfo report_info(Tvesk_util& controller, const MineSource& source,
                           const MineSummary& summary) const;
    void render(Tvesk_util& controller, const MineSource& source,
                const std::filesystem::path& folder, const RenderBudget& budget,
                MineSummary& summary, std::vector<std::filesystem::path>& written,
                Console& console) const;

    LogReadOptions log_;
    std::string relations_;
    std::string replay_log_;
    bool split_loops_ = false;
    bool new_construction_ = false;
    std::string construction_ = "alpha";
    double noise_ = kDefaultNoise;
    bool noise_auto_ = false;
    bool no_combine_ = false;
    bool no_replay_ = false;
    std::vector<std::string> shows_;
    std::string format_ = "text";
    std::string out_;
    bool render_ = false;
    // Further formats of the high-detail picture, "svg", "png", "pdf".
    std::vector<std::string> pictures_;
    bool report_ = false;
    bool bpmn_ = false;
    std::string stats_ = "waiting=mean,min,max;sync=mean,min,max;sojourn=mean,min,max";
    std::string colour_ = rrggbb_text(kDefaultClusterColour);
    bool no_probabilities_ = false;
    std::size_t max_render_ = 1000;
    int render_timeout_ = static_cast<int>(RenderBudget::kDefaultTotal.count());
    std::string orientation_ = "lr";
    std::string page_ = "a4";
    std::vector<CLI::Option*> export_options_;
    CLI::Option* noise_option_ = nullptr;
    CLI::Option* net_option_ = nullptr;
    std::string net_file_;
    CLI::Option* construction_option_ = nullptr;
    bool align_command_ = false;
    bool align_ = false;
    std::size_t max_states_ = kDefaultMaxStates;
    unsigned threads_ = 0;
    double align_seconds_ = 0.0;
};

}  // namespace vesk::cli
