#pragma once
// A whole mining run in the order the windows make it: Build relations (or Open relations),
// the inspector opened on the relations, Make Petrinet, Replay, and the inspector closed, so
// that the task list carries the facts before anything is listed or exported. The command line
// and the windows both go through these functions.

#include <optional>
#include <string>

#include "control/build_relations.h"
#include "control/noise_choice.h"
#include "control/relations_inspection.h"

namespace vesk {

struct NetOptions {
    bool split_loops = false;
    RelationsInspection::Construction construction = RelationsInspection::Construction::alpha;
    bool combine_places = true;
    // The inductive construction's share of behaviour treated as infrequent.
    double noise = 0.2;
    // Instead: the threshold of the grid whose net has the best F-score on the log.
    bool choose_noise = false;
    // A PNML file whose net is replayed instead of one constructed; empty for none.
    std::string net_file;
};

// The log that a relations file is replayed on.
struct ReplayLog {
    std::string path;
    std::string process_id;
    EventLogOptions options;
    // False: the log is read for the inductive construction only.
    bool replay = true;
    // The cases kept of those read.
    CaseFilter cases;
};

struct MineOutcome {
    bool replayed = false;
    // With NetOptions::choose_noise: the grid's figures and the threshold chosen.
    std::optional<NoiseChoice> noise_choice;
};

// From the loaded log of the controller.
// With timings, every stage is timed: read, relations, facts, net, replay.
MineOutcome mine_from_log(Tvesk_util& controller, const BuildRelationsRequest& request,
                          const NetOptions& net, bool replay, MessageSink& sink,
                          const StatusCallback& status = {}, StageTimings* timings = nullptr);

// From a relations file; with a log the process is read with the event types of the relations
// and replayed.
MineOutcome mine_from_relations_file(Tvesk_util& controller, const std::string& relations_path,
                                     bool resolve_externals, const std::optional<ReplayLog>& log,
                                     const NetOptions& net, MessageSink& sink,
                                     const StatusCallback& status = {},
                                     StageTimings* timings = nullptr);

}  // namespace vesk
