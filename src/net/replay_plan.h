#pragma once
// The token game of one case on a net with invisible transitions, played with counted tokens:
// the firings it takes (the shortest invisible sequence before each event that needs one, and
// at the end of the case) and what it produced, consumed, missed and left behind. The plan
// depends only on the case's sequence of events, so a replay plays it once per variant and
// then walks every case of the variant along it with the case's own times.

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "net/invisible_search.h"
#include "net/token_net.h"

namespace vesk {

struct CasePlan {
    // Transition indices in firing order.
    std::vector<std::int32_t> firings;
    // For each event, one past the last of its firings (invisible ones first, then its own
    // transition, if it has one); the firings after the last event's end the case.
    std::vector<std::uint32_t> event_end;
    std::int64_t produced = 0;
    std::int64_t consumed = 0;
    std::int64_t missing = 0;
    std::int64_t remaining = 0;
    // Every event on a transition, nothing missing, nothing left, every search decided.
    bool fits = false;
    // A search gave up at its bound: whether the case could fit is not known.
    bool undecided = false;
};

// Search answers a planner keeps: enough for the distinct markings of real logs, few enough
// that a log of millions of distinct situations stays within memory.
inline constexpr std::size_t kRememberedAnswers = 1 << 16;

class ReplayPlanner {
public:
    // transition_of_name: the transition index of each of the log's names, -1 for none. The
    // net must outlive the planner.
    ReplayPlanner(const TokenNet& net, std::vector<std::int32_t> transition_of_name,
                  std::size_t search_bound = kMaxInvisibleMarkings);

    // Not const: the answers of searches are remembered for the cases that follow.
    CasePlan plan(std::span<const std::int32_t> names);

private:
    // The search's answer depends only on the marking and the wanted transition (-1: the end of
    // the case), so each is asked once, up to kRememberedAnswers.
    InvisibleSearch::Path path_to(const InvisibleSearch::Marking& tokens, std::int32_t target);
    void fire(std::int32_t transition, InvisibleSearch::Marking& tokens, CasePlan& plan) const;
    void follow(const InvisibleSearch::Path& path, InvisibleSearch::Marking& tokens,
                CasePlan& plan) const;

    const TokenNet& net_;
    std::vector<std::int32_t> transition_of_name_;
    InvisibleSearch search_;
    // The target's four bytes, then a byte per place: markings of more than 255 tokens in a
    // place are not remembered.
    std::string question_;
    std::unordered_map<std::string, InvisibleSearch::Path> answers_;
};

}  // namespace vesk
