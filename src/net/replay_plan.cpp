#include "net/replay_plan.h"

#include <algorithm>
#include <numeric>

namespace vesk {

ReplayPlanner::ReplayPlanner(const TokenNet& net, std::vector<std::int32_t> transition_of_name,
                             std::size_t search_bound)
    : net_(net), transition_of_name_(std::move(transition_of_name)), search_(net, search_bound) {}

void ReplayPlanner::fire(std::int32_t transition, InvisibleSearch::Marking& tokens,
                         CasePlan& plan) const {
    for (const std::int32_t p : net_.inputs(transition)) {
        auto& count = tokens[static_cast<std::size_t>(p)];
        ++plan.consumed;
        if (count > 0)
            --count;
        else
            ++plan.missing;
    }
    for (const std::int32_t p : net_.outputs(transition)) {
        ++tokens[static_cast<std::size_t>(p)];
        ++plan.produced;
    }
    plan.firings.push_back(transition);
}

void ReplayPlanner::follow(const InvisibleSearch::Path& path, InvisibleSearch::Marking& tokens,
                           CasePlan& plan) const {
    if (path.outcome == InvisibleSearch::Outcome::undecided) plan.undecided = true;
    for (const std::int32_t step : path.firings)
        fire(step, tokens, plan);
}

InvisibleSearch::Path ReplayPlanner::path_to(const InvisibleSearch::Marking& tokens,
                                             std::int32_t target) {
    const auto ask = [&] {
        return target < 0 ? search_.completing(tokens) : search_.enabling(tokens, target);
    };
    question_.assign(reinterpret_cast<const char*>(&target), sizeof target);
    for (const std::int32_t count : tokens) {
        if (count > 255) return ask();
        question_.push_back(static_cast<char>(count));
    }
    const auto found = answers_.find(question_);
    if (found != answers_.end()) return found->second;
    InvisibleSearch::Path path = ask();
    if (answers_.size() < kRememberedAnswers) answers_.emplace(question_, path);
    return path;
}

CasePlan ReplayPlanner::plan(std::span<const std::int32_t> names) {
    CasePlan plan;
    bool on_transitions = true;
    InvisibleSearch::Marking tokens(static_cast<std::size_t>(net_.place_count()), 0);
    if (net_.start_place() >= 0) {
        ++tokens[static_cast<std::size_t>(net_.start_place())];
        ++plan.produced;
    }
    for (const std::int32_t name : names) {
        const std::int32_t transition = transition_of_name_[static_cast<std::size_t>(name)];
        if (transition < 0) {
            on_transitions = false;  // an event the net has no transition for
        } else {
            const auto& inputs = net_.inputs(transition);
            const bool enabled = std::all_of(inputs.begin(), inputs.end(), [&](std::int32_t p) {
                return tokens[static_cast<std::size_t>(p)] > 0;
            });
            if (!enabled) follow(path_to(tokens, transition), tokens, plan);
            fire(transition, tokens, plan);
        }
        plan.event_end.push_back(static_cast<std::uint32_t>(plan.firings.size()));
    }
    follow(path_to(tokens, -1), tokens, plan);
    if (net_.end_place() >= 0) {
        auto& end_tokens = tokens[static_cast<std::size_t>(net_.end_place())];
        ++plan.consumed;
        if (end_tokens > 0)
            --end_tokens;
        else
            ++plan.missing;
    }
    plan.remaining = std::accumulate(tokens.begin(), tokens.end(), std::int64_t{0});
    plan.fits = on_transitions && !plan.undecided && plan.missing == 0 && plan.remaining == 0;
    return plan;
}

}  // namespace vesk
