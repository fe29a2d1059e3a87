#include "formats/pnml_net.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

namespace vesk {

Ttask* task_of_label(const std::string& label, const Ttasklist& tasks) {
    if (Ttask* exact = tasks.find_by_name(label)) return exact;
    const auto plus = label.rfind('+');
    if (plus != std::string::npos)
        if (Ttask* task = tasks.find_by_name(label.substr(0, plus) + "_" + label.substr(plus + 1)))
            return task;
    Ttask* only = nullptr;
    for (Ttask* task : tasks) {
        const TstringTuple parts = task->split_name();
        if (parts.activity != label) continue;
        // An activity read with several event types: its complete event stands for it.
        if (parts.event == "complete") return task;
        if (only != nullptr) return nullptr;
        only = task;
    }
    return only;
}

namespace {

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

class NetBuilder {
public:
    NetBuilder(Tpetrinet& net, const PnmlNet& model, const Ttasklist& tasks)
        : net_(net), model_(model), tasks_(tasks) {}

    std::vector<std::string> build() {
        net_.Clear();
        net_.skip_rule = SkipRule::shortest_sequence;
        add_transitions();
        collect_arcs();
        const std::vector<std::string> starts = start_places();
        const std::vector<std::string> ends = end_places();
        if (starts.size() > 1) join_through_silent_step(starts, true);
        if (ends.size() > 1) join_through_silent_step(ends, false);
        start_ = starts.size() == 1 ? starts.front() : kFreshStart;
        end_ = ends.size() == 1 ? ends.front() : kFreshEnd;
        if (start_ == end_)
            throw PnmlError("place " + quoted(start_) +
                            " is both the start and the end of the net");
        for (const auto& place : model_.places)
            add_place(place.id);
        for (const std::string id : {kFreshStart, kFreshEnd})
            if (start_ == id || end_ == id) add_place(id);
        for (const auto& [place, transition, to_place] : arcs_)
            net_.Add_new_arc(places_.at(place), transitions_.at(transition), to_place, 1.0);
        return warnings_;
    }

private:
    static constexpr const char* kFreshStart = "#start";
    static constexpr const char* kFreshEnd = "#end";
    struct Arc {
        std::string place;
        std::string transition;
        bool to_place;
    };

    std::string silent_name() {
        std::string name;
        do {
            name = std::string(kSkipMarker) + std::to_string(silent_++) + "_normal";
        } while (net_.Find_transition(name) != nullptr);
        return name;
    }

    void add_transitions() {
        std::map<std::string, std::string> id_of_name;
        for (const auto& transition : model_.transitions) {
            if (transitions_.contains(transition.id))
                throw PnmlError("two nodes have the id " + quoted(transition.id));
            Ttask* task = nullptr;
            std::string name;
            if (!transition.invisible) {
                task = tasks_.find_by_name(transition.task);
                if (task == nullptr) task = task_of_label(transition.label, tasks_);
                if (task == nullptr)
                    warnings_.push_back("the label " + quoted(transition.label) +
                                        " of transition " + quoted(transition.id) +
                                        " matches no activity of the log");
                name = task != nullptr ? task->name() : transition.label;
                const auto [at, added] = id_of_name.emplace(name, transition.id);
                if (!added)
                    throw PnmlError("transitions " + quoted(at->second) + " and " +
                                    quoted(transition.id) + " both stand for " + quoted(name) +
                                    "; a log is replayed on nets with one transition per activity");
            }
            transitions_[transition.id] = net_.Add_transition(
                task != nullptr || !transition.invisible ? name : silent_name(), task);
        }
    }

    void collect_arcs() {
        std::set<std::string> place_ids;
        for (const auto& place : model_.places) {
            if (transitions_.contains(place.id) || !place_ids.insert(place.id).second)
                throw PnmlError("two nodes have the id " + quoted(place.id));
        }
        std::set<std::tuple<std::string, std::string, bool>> seen;
        for (const auto& arc : model_.arcs) {
            const bool from_place = place_ids.contains(arc.source);
            const bool to_place = place_ids.contains(arc.target);
            for (const std::string* end : {&arc.source, &arc.target})
                if (!place_ids.contains(*end) && !transitions_.contains(*end))
                    throw PnmlError("arc " + quoted(arc.id) + " refers to " + quoted(*end) +
                                    ", which is no place or transition of the net");
            if (from_place == to_place)
                throw PnmlError("arc " + quoted(arc.id) + " joins two " +
                                (from_place ? "places" : "transitions"));
            Arc made{from_place ? arc.source : arc.target, from_place ? arc.target : arc.source,
                     !from_place};
            if (!seen.insert({made.place, made.transition, made.to_place}).second)
                throw PnmlError("arc " + quoted(arc.id) +
                                " repeats an arc: only arcs of weight 1 can be replayed");
            arcs_.push_back(std::move(made));
        }
    }

    std::vector<std::string> start_places() const {
        std::vector<std::string> marked;
        for (const auto& place : model_.places) {
            if (place.initial_tokens > 1)
                throw PnmlError("place " + quoted(place.id) + " holds " +
                                std::to_string(place.initial_tokens) +
                                " tokens at the start; a place holds one at most");
            if (place.initial_tokens == 1) marked.push_back(place.id);
        }
        if (marked.empty()) throw PnmlError("the net has no initial marking");
        return marked;
    }

    // The final marking, or else the places no arc leaves.
    std::vector<std::string> end_places() const {
        std::vector<std::string> marked;
        for (const auto& entry : model_.final_marking) {
            const std::string& id = entry.first;
            const std::int64_t tokens = entry.second;
            if (std::none_of(model_.places.begin(), model_.places.end(),
                             [&id](const auto& place) { return place.id == id; }))
                throw PnmlError("the final marking names " + quoted(id) +
                                ", which is no place of the net");
            if (tokens > 1)
                throw PnmlError("the final marking puts " + std::to_string(tokens) +
                                " tokens in place " + quoted(id) + "; a place holds one at most");
            marked.push_back(id);
        }
        if (!marked.empty()) return marked;
        for (const auto& place : model_.places)
            if (std::none_of(arcs_.begin(), arcs_.end(), [&place](const Arc& arc) {
                    return arc.place == place.id && !arc.to_place;
                }))
                marked.push_back(place.id);
        if (marked.empty())
            throw PnmlError("the net has no final marking and every place has a way out");
        return marked;
    }

    // A fresh start place feeding the marked places, or the end places feeding a fresh end.
    void join_through_silent_step(const std::vector<std::string>& places, bool at_start) {
        const std::string id = at_start ? "#split" : "#join";
        transitions_[id] = net_.Add_transition(silent_name(), nullptr);
        arcs_.push_back({at_start ? kFreshStart : kFreshEnd, id, !at_start});
        for (const std::string& place : places)
            arcs_.push_back({place, id, at_start});
    }

    // "*A*&*B*" of the transitions on one side of a place.
    std::string set_of(const std::string& place, bool producers) const {
        std::string set;
        for (const Arc& arc : arcs_)
            if (arc.place == place && arc.to_place == producers)
                set += (set.empty() ? "*" : "&*") + transitions_.at(arc.transition)->name + "*";
        return set;
    }

    void add_place(const std::string& id) {
        std::string input = id == start_ ? std::string(kStartSet) : set_of(id, true);
        std::string output = id == end_ ? std::string(kEndSet) : set_of(id, false);
        // The writers tell places apart by their sets.
        for (int copy = 2; !used_.insert({input, output}).second; ++copy)
            output = output.substr(0, output.rfind("&#")) + "&#" + std::to_string(copy);
        places_[id] = net_.Add_new_place(std::move(input), std::move(output));
    }

    Tpetrinet& net_;
    const PnmlNet& model_;
    const Ttasklist& tasks_;
    std::unordered_map<std::string, Ttransition*> transitions_;
    std::unordered_map<std::string, Tplace*> places_;
    std::vector<Arc> arcs_;
    std::set<std::pair<std::string, std::string>> used_;
    std::vector<std::string> warnings_;
    std::string start_;
    std::string end_;
    std::int32_t silent_ = 0;
};

}  // namespace

std::vector<std::string> build_pnml_net(Tpetrinet& net, const PnmlNet& model,
                                        const Ttasklist& tasks) {
    return NetBuilder(net, model, tasks).build();
}

}  // namespace vesk
