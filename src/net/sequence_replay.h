#pragma once
// The replay of nets whose invisible transitions fire by shortest sequences (nets from process
// trees, nets read from PNML). The token game of each variant is planned once with counted
// tokens; every case then walks its variant's firings with its own times, so the fitness and
// the timing figures come from one pass over the log. The findings and figures are those of
// Treplay: the whole log is replayed, each finding reported once.

#include <cstdint>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "base/progress.h"
#include "log/vesk_loglist.h"
#include "net/replay_plan.h"
#include "net/vesk_redisc.h"
#include "net/vesk_token_fitness.h"

namespace vesk {

class SequenceReplay {
public:
    // The net must not change while the replay object lives.
    SequenceReplay(Tpetrinet& net, const Tloglist& log, const Ttasklist& tasks, MessageSink& sink,
                   std::size_t search_bound = kMaxInvisibleMarkings);

    void set_progress(ProgressCallback progress) { progress_ = std::move(progress); }
    TokenCounts Replay(bool show_messages);

private:
    struct ArcEnd {
        std::int32_t place;
        bool to_place;
        Tplace* target;
    };
    // Plays one case along its plan; returns true when a message was shown.
    bool walk_case(const CasePlan& plan, std::size_t begin, std::size_t end, bool show_messages);
    bool fire(std::int32_t transition, double time, bool show_messages);
    bool put_token(std::int32_t place, double time, bool show_messages);
    bool report_unfired(Ttask* task, const std::string& name, bool show_messages);
    bool check_tokens_left(bool show_messages);

    Tpetrinet& net_;
    const Tloglist& log_;
    MessageSink& sink_;
    TokenNet token_net_;
    std::vector<Ttask*> task_of_name_;
    std::vector<std::int32_t> transition_of_name_;
    ReplayPlanner planner_;
    std::vector<std::vector<ArcEnd>> arcs_of_;
    std::vector<Ttransition*> transitions_;
    std::vector<std::int32_t> tokens_;
    std::vector<double> token_time_;
    std::vector<std::string> unknown_reported_;
    ProgressCallback progress_;
    std::size_t search_bound_;
};

// The token counts of the log on a net replayed by shortest sequences, without the times.
TokenCounts sequence_token_counts(const Tpetrinet& net, const Tloglist& log,
                                  const Ttasklist& tasks);

}  // namespace vesk
