#pragma once
// Token-based fitness: the log replayed on the net with counted tokens, beside the replay that
// measures times. A transition that fires while not enabled creates the tokens it lacks
// (missing); the tokens a case leaves behind, the end place's one excepted, remain.
//
// fitness = 1/2 (1 - missing / consumed) + 1/2 (1 - remaining / produced)
//
// Produced counts the start place's token of each case, consumed the end place's token taken
// when a case ends (missing when there is none). The firings are those of the replay: a
// transition that is not enabled first lets every enabled invisible transition fire once, or on
// nets replayed by shortest sequences the fewest invisible firings that enable it.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "log/vesk_loglist.h"
#include "mining/vesk_task.h"
#include "net/vesk_redisc.h"

namespace vesk {

struct TokenCounts {
    std::int64_t produced = 0;
    std::int64_t consumed = 0;
    std::int64_t missing = 0;
    std::int64_t remaining = 0;
    std::int32_t cases = 0;
    // Cases with nothing missing, nothing remaining and every event on a transition.
    std::int32_t fitting_cases = 0;
    // Cases where the search for invisible firings gave up at its bound; none of them counts
    // as fitting.
    std::int32_t undecided_cases = 0;

    // 1 for a log the net replays exactly; 0 when nothing was replayed.
    double fitness() const;
    double fitting_share() const { return cases == 0 ? 0.0 : double(fitting_cases) / cases; }
    friend bool operator==(const TokenCounts&, const TokenCounts&) = default;
};

// The counted token game case by case, for a replay that walks the log itself.
class TokenGame {
public:
    TokenGame(const Tpetrinet& net, const Ttasklist& tasks);
    // The transition of the task of this name; null when there is none.
    const Ttransition* transition_for(const std::string& name) const;
    void start_case();
    // An event of the case on its transition (null: one the net has no transition for).
    void event(const Ttransition* transition);
    // Adds the case to the total.
    void end_case(TokenCounts& total);

private:
    // As the replay decides: a transition without arcs, in a net without arcs, is enabled.
    bool enabled(const Ttransition* transition) const;
    void fire(const Ttransition* transition);

    const Tpetrinet& net_;
    std::unordered_map<const Tplace*, std::size_t> index_;
    std::unordered_map<const Ttransition*, std::vector<const Tarc*>> arcs_of_;
    std::unordered_map<std::string, Ttask*> task_of_name_;
    std::unordered_map<const Ttask*, Ttransition*> transition_of_;
    std::vector<const Ttransition*> skips_;
    std::vector<std::int64_t> tokens_;
    long start_ = -1;
    long end_ = -1;
    TokenCounts case_;
    bool case_fits_ = true;
};

// Leaves the net as it was.
TokenCounts token_fitness(const Tpetrinet& net, const Tloglist& log, const Ttasklist& tasks);

}  // namespace vesk
