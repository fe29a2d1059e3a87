#include "net/vesk_token_fitness.h"

#include "net/sequence_replay.h"

namespace vesk {

double TokenCounts::fitness() const {
    if (consumed == 0 || produced == 0) return 0.0;
    return 0.5 * (1.0 - double(missing) / double(consumed)) +
           0.5 * (1.0 - double(remaining) / double(produced));
}

TokenGame::TokenGame(const Tpetrinet& net, const Ttasklist& tasks) : net_(net) {
    const auto& places = net.places();
    for (std::size_t i = 0; i < places.size(); ++i) {
        index_[places[i].get()] = i;
        if (is_start_place(*places[i]) && start_ < 0) start_ = static_cast<long>(i);
        if (is_end_place(*places[i]) && end_ < 0) end_ = static_cast<long>(i);
    }
    tokens_.assign(places.size(), 0);
    for (const auto& arc : net.arcs())
        arcs_of_[arc->transition].push_back(arc.get());
    for (const auto& transition : net.transitions())
        if (transition->name.find(kSkipMarker) != std::string::npos)
            skips_.push_back(transition.get());
    for (Ttask* task : tasks) {
        task_of_name_.try_emplace(task->name(), task);
        transition_of_.try_emplace(task, net.Transition_of_task(task));
    }
}

void TokenGame::start_case() {
    case_ = TokenCounts{};
    case_fits_ = true;
    tokens_.assign(tokens_.size(), 0);
    if (start_ >= 0) {
        ++tokens_[static_cast<std::size_t>(start_)];
        ++case_.produced;
    }
}

const Ttransition* TokenGame::transition_for(const std::string& name) const {
    const auto task = task_of_name_.find(name);
    if (task == task_of_name_.end()) return nullptr;
    const auto found = transition_of_.find(task->second);
    return found != transition_of_.end() ? found->second : nullptr;
}

void TokenGame::event(const Ttransition* transition) {
    if (transition == nullptr) {
        case_fits_ = false;  // an event the net has no transition for
        return;
    }
    if (!enabled(transition)) {
        for (const Ttransition* skip : skips_)
            if (enabled(skip)) fire(skip);
    }
    fire(transition);
}

void TokenGame::end_case(TokenCounts& total) {
    if (end_ >= 0) {
        auto& end_tokens = tokens_[static_cast<std::size_t>(end_)];
        ++case_.consumed;
        if (end_tokens > 0)
            --end_tokens;
        else
            ++case_.missing;
    }
    for (const std::int64_t count : tokens_)
        case_.remaining += count;
    total.produced += case_.produced;
    total.consumed += case_.consumed;
    total.missing += case_.missing;
    total.remaining += case_.remaining;
    total.cases = checked_add(total.cases, 1);
    if (case_fits_ && case_.missing == 0 && case_.remaining == 0)
        total.fitting_cases = checked_add(total.fitting_cases, 1);
}

bool TokenGame::enabled(const Ttransition* transition) const {
    if (net_.arcs().empty()) return true;
    const auto found = arcs_of_.find(transition);
    if (found == arcs_of_.end()) return true;
    for (const Tarc* arc : found->second)
        if (!arc->to_place && tokens_[index_.at(arc->place)] == 0) return false;
    return true;
}

void TokenGame::fire(const Ttransition* transition) {
    const auto found = arcs_of_.find(transition);
    if (found == arcs_of_.end()) return;
    for (const Tarc* arc : found->second) {
        if (arc->to_place) continue;
        auto& count = tokens_[index_.at(arc->place)];
        ++case_.consumed;
        if (count > 0)
            --count;
        else
            ++case_.missing;
    }
    for (const Tarc* arc : found->second) {
        if (!arc->to_place) continue;
        ++tokens_[index_.at(arc->place)];
        ++case_.produced;
    }
}

TokenCounts token_fitness(const Tpetrinet& net, const Tloglist& log, const Ttasklist& tasks) {
    if (net.skip_rule == SkipRule::shortest_sequence) return sequence_token_counts(net, log, tasks);
    TokenCounts total;
    TokenGame game(net, tasks);
    std::int32_t previous_case = -1;
    // Looked up once per name of the log rather than once per line.
    std::vector<const Ttransition*> transition_of_name(static_cast<std::size_t>(log.name_count()));
    for (std::int32_t id = 0; id < log.name_count(); ++id)
        transition_of_name[static_cast<std::size_t>(id)] = game.transition_for(log.name_of(id));
    for (const Tlog_line& line : log) {
        if (line.case_number() != previous_case) {
            if (previous_case >= 0) game.end_case(total);
            game.start_case();
            previous_case = line.case_number();
        }
        game.event(transition_of_name[static_cast<std::size_t>(line.name_id())]);
    }
    if (previous_case >= 0) game.end_case(total);
    return total;
}

}  // namespace vesk
