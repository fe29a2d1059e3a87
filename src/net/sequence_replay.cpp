#include "net/sequence_replay.h"

#include <algorithm>
#include <unordered_map>

#include "base/int32_checked.h"
#include "base/sequence_hash.h"
#include "net/vesk_redisc_replay.h"

namespace vesk {

namespace {

std::vector<std::int32_t> transitions_of_names(const Tpetrinet& net, const TokenNet& token_net,
                                               const std::vector<Ttask*>& task_of_name) {
    std::vector<std::int32_t> result;
    result.reserve(task_of_name.size());
    for (const Ttask* task : task_of_name)
        result.push_back(task != nullptr ? token_net.index_of(net.Transition_of_task(task)) : -1);
    return result;
}

double line_time(const Tlog_line& line) {
    const Ttime clock = line.time();
    return date_time_value(line.date(), clock.hour, clock.minute);
}

// Each distinct sequence of names planned once.
class VariantPlans {
public:
    explicit VariantPlans(ReplayPlanner& planner) : planner_(planner) {}

    const CasePlan& of(const Tloglist& log, std::size_t begin, std::size_t end) {
        names_.clear();
        for (std::size_t i = begin; i < end; ++i)
            names_.push_back(log[i].name_id());
        const auto found = plans_.find(names_);
        if (found != plans_.end()) return found->second;
        return plans_.emplace(names_, planner_.plan(names_)).first->second;
    }

private:
    ReplayPlanner& planner_;
    std::vector<std::int32_t> names_;
    std::unordered_map<std::vector<std::int32_t>, CasePlan, SequenceHash> plans_;
};

void add_case(TokenCounts& total, const CasePlan& plan) {
    total.produced += plan.produced;
    total.consumed += plan.consumed;
    total.missing += plan.missing;
    total.remaining += plan.remaining;
    total.cases = checked_add(total.cases, 1);
    if (plan.fits) total.fitting_cases = checked_add(total.fitting_cases, 1);
    if (plan.undecided) total.undecided_cases = checked_add(total.undecided_cases, 1);
}

}  // namespace

SequenceReplay::SequenceReplay(Tpetrinet& net, const Tloglist& log, const Ttasklist& tasks,
                               MessageSink& sink, std::size_t search_bound)
    : net_(net),
      log_(log),
      sink_(sink),
      token_net_(net),
      task_of_name_(tasks_of_names(log, tasks)),
      transition_of_name_(transitions_of_names(net, token_net_, task_of_name_)),
      planner_(token_net_, transition_of_name_, search_bound),
      search_bound_(search_bound) {
    std::unordered_map<const Tplace*, std::int32_t> place_index;
    for (const auto& place : net_.places())
        place_index.emplace(place.get(), static_cast<std::int32_t>(place_index.size()));
    arcs_of_.resize(net_.transitions().size());
    for (const auto& transition : net_.transitions())
        transitions_.push_back(transition.get());
    // In the net's arc order, which decides a place that is both input and output.
    for (const auto& arc : net_.arcs())
        arcs_of_[static_cast<std::size_t>(token_net_.index_of(arc->transition))].push_back(
            ArcEnd{place_index.at(arc->place), arc->to_place, arc->place});
    tokens_.assign(net_.places().size(), 0);
    token_time_.assign(net_.places().size(), NO_TOKEN);
}

bool SequenceReplay::put_token(std::int32_t place, double time, bool show_messages) {
    const auto p = static_cast<std::size_t>(place);
    bool shown = false;
    if (tokens_[p] > 0 && net_.is_safe && place != token_net_.end_place()) {
        net_.is_safe = false;
        if (show_messages) {
            sink_.warning("The mined net is not safe");
            shown = true;
        }
    }
    ++tokens_[p];
    token_time_[p] = time;
    return shown;
}

bool SequenceReplay::report_unfired(Ttask* task, const std::string& name, bool show_messages) {
    return vesk::report_unfired(net_, unknown_reported_, sink_, task, name, show_messages);
}

bool SequenceReplay::fire(std::int32_t transition, double time, bool show_messages) {
    const auto& arcs = arcs_of_[static_cast<std::size_t>(transition)];
    const bool record = std::all_of(arcs.begin(), arcs.end(), [this](const ArcEnd& arc) {
        return arc.to_place || tokens_[static_cast<std::size_t>(arc.place)] > 0;
    });
    bool shown = false;
    if (!record) {
        Ttask* task = transitions_[static_cast<std::size_t>(transition)]->task;
        if (task != nullptr) shown = report_unfired(task, task->name(), show_messages);
    }
    double enabled_at = 0.0;
    int inputs = 0;
    for (const ArcEnd& arc : arcs) {
        if (arc.to_place) continue;
        ++inputs;
        const double arrived = token_time_[static_cast<std::size_t>(arc.place)];
        if (arrived - enabled_at >= kEqualityTolerance) enabled_at = arrived;
    }
    for (const ArcEnd& arc : arcs) {
        const auto p = static_cast<std::size_t>(arc.place);
        if (arc.to_place) {
            put_token(arc.place, time, show_messages);
            continue;
        }
        if (record) {
            const double arrived = token_time_[p];
            if (inputs > 1)
                arc.target->sync_time.Add_observation(widened_minutes(arrived, enabled_at));
            const double waited = widened_minutes(enabled_at, time);
            arc.target->waiting_time.Add_observation(waited);
            arc.target->sojourn_time.Add_observation(inputs > 1 ? widened_minutes(arrived, time)
                                                                : waited);
        }
        if (tokens_[p] > 0 && --tokens_[p] == 0) token_time_[p] = NO_TOKEN;
    }
    return shown;
}

bool SequenceReplay::check_tokens_left(bool show_messages) {
    bool shown = false;
    for (std::size_t p = 0; p < tokens_.size(); ++p) {
        if (tokens_[p] > 0 && static_cast<std::int32_t>(p) != token_net_.end_place()) {
            if (!net_.tokens_left && show_messages) {
                sink_.warning("The net leaves tokens in places");
                shown = true;
            }
            net_.tokens_left = true;
        }
        tokens_[p] = 0;
        token_time_[p] = NO_TOKEN;
    }
    return shown;
}

bool SequenceReplay::walk_case(const CasePlan& plan, std::size_t begin, std::size_t end,
                               bool show_messages) {
    bool shown = false;
    const std::int32_t start = token_net_.start_place();
    if (start >= 0) shown |= put_token(start, line_time(log_[begin]), show_messages);
    std::size_t firing = 0;
    double time = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        time = line_time(log_[i]);
        const std::int32_t name = log_[i].name_id();
        if (transition_of_name_[static_cast<std::size_t>(name)] < 0)
            shown |= report_unfired(task_of_name_[static_cast<std::size_t>(name)],
                                    log_.name(log_[i]), show_messages);
        for (; firing < plan.event_end[i - begin]; ++firing)
            shown |= fire(plan.firings[firing], time, show_messages);
    }
    for (; firing < plan.firings.size(); ++firing)
        shown |= fire(plan.firings[firing], time, show_messages);
    return check_tokens_left(show_messages) || shown;
}

TokenCounts SequenceReplay::Replay(bool show_messages) {
    count_task_lines(net_, log_, task_of_name_);
    set_branch_probabilities(net_);
    net_.flow_time.Clear();
    for (const auto& place : net_.places()) {
        place->sync_time.Clear();
        place->waiting_time.Clear();
        place->sojourn_time.Clear();
    }
    std::int64_t cases = 0;
    if (progress_)
        for (std::size_t begin = 0; begin < log_.size(); begin = log_.case_end(begin))
            ++cases;
    TokenCounts total;
    VariantPlans plans(planner_);
    bool shown = false;
    std::int64_t begun = 0;
    for (std::size_t begin = 0; begin < log_.size();) {
        const std::size_t end = log_.case_end(begin);
        const CasePlan& plan = plans.of(log_, begin, end);
        add_case(total, plan);
        net_.flow_time.Add_observation(
            widened_minutes(line_time(log_[begin]), line_time(log_[end - 1])));
        shown |= walk_case(plan, begin, end, show_messages);
        if (progress_ && ++begun % kProgressEvery == 0)
            progress_({"Replaying", begun, cases, -1, "cases"});
        begin = end;
    }
    if (progress_ && cases > 0) progress_({"Replayed", cases, cases, -1, "cases"});
    if (total.undecided_cases > 0)
        sink_.warning("The search for invisible firings gave up on " +
                      std::to_string(total.undecided_cases) + " cases after looking at " +
                      std::to_string(search_bound_) + " markings; they count as not fitting");
    if (!shown && show_messages)
        sink_.information(log_.empty() ? "No timing information available"
                                       : "No errors while calculating timing information");
    return total;
}

TokenCounts sequence_token_counts(const Tpetrinet& net, const Tloglist& log,
                                  const Ttasklist& tasks) {
    const TokenNet token_net(net);
    ReplayPlanner planner(token_net,
                          transitions_of_names(net, token_net, tasks_of_names(log, tasks)));
    VariantPlans plans(planner);
    TokenCounts total;
    for (std::size_t begin = 0; begin < log.size();) {
        const std::size_t end = log.case_end(begin);
        add_case(total, plans.of(log, begin, end));
        begin = end;
    }
    return total;
}

}  // namespace vesk
