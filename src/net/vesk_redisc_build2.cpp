// The second construction: places between sets of tasks that may themselves be sequences,
// parallel branches or choices, joined through invisible transitions where needed.

#include <algorithm>
#include <functional>
#include <optional>
#include <set>

#include "net/vesk_redisc_build.h"

namespace vesk {

namespace {

using TaskSet = std::vector<Ttask*>;

struct SidePair {
    TaskSet input;
    TaskSet output;
    std::size_t total() const { return input.size() + output.size(); }
};

bool has(const TaskSet& set, const Ttask* task) {
    return std::find(set.begin(), set.end(), task) != set.end();
}

// Every task of `pair` is on one of the sides of `other`.
bool covers(const SidePair& other, const SidePair& pair) {
    const auto inside = [&other](const Ttask* t) {
        return has(other.input, t) || has(other.output, t);
    };
    return std::all_of(pair.input.begin(), pair.input.end(), inside) &&
           std::all_of(pair.output.begin(), pair.output.end(), inside);
}

// Drops pairs with an empty side and pairs that an earlier pair at least as large, or a later
// strictly larger one, covers.
std::vector<SidePair> filter_pairs(const std::vector<SidePair>& pairs) {
    std::vector<SidePair> kept;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const SidePair& pair = pairs[k];
        bool drop = pair.input.empty() || pair.output.empty();
        for (std::size_t m = 0; m < pairs.size() && !drop; ++m) {
            if (m == k || !covers(pairs[m], pair)) continue;
            drop = m < k ? pairs[m].total() >= pair.total() : pairs[m].total() > pair.total();
        }
        if (!drop) kept.push_back(pair);
    }
    return kept;
}

using ListOf = std::function<Ttasklist&(Ttask*)>;

// For each task t of the scope: the side `forward(t)` (within the scope), and t together with
// every task c whose own `forward` list holds all of that side, found through `backward` of
// the side's tasks. Returned as (t's group, t's forward side).
std::vector<SidePair> grouped_pairs(const TaskSet& scope, const ListOf& forward,
                                    const ListOf& backward) {
    std::vector<SidePair> pairs;
    for (Ttask* t : scope) {
        SidePair pair{{t}, {}};
        for (Ttask* s : forward(t))
            if (has(scope, s)) pair.output.push_back(s);
        for (Ttask* s : pair.output) {
            for (Ttask* c : backward(s)) {
                if (!has(scope, c) || has(pair.input, c)) continue;
                const Ttasklist& reach = forward(c);
                if (std::all_of(pair.output.begin(), pair.output.end(),
                                [&reach](const Ttask* o) { return reach.contains(o); }))
                    pair.input.push_back(c);
            }
        }
        pairs.push_back(std::move(pair));
    }
    return pairs;
}

Ttasklist& successors_of(Ttask* t) {
    return t->causal_successors();
}
Ttasklist& predecessors_of(Ttask* t) {
    return t->causal_predecessors();
}
Ttasklist& parallel_of(Ttask* t) {
    return t->parallel();
}

bool unrelated(Ttask* a, Ttask* b) {
    return !a->is_related(*b) && !b->is_related(*a);
}

enum class Side { input, output };  // input: places fed by the tasks; output: places feeding them

class SecondConstruction {
public:
    SecondConstruction(Tpetrinet& net, Towned_tasklist& tasks) : net_(net), tasks_(tasks) {}

    void run(bool combine_places) {
        net_.Clear();
        add_temporary_ends();
        for (Ttask* task : tasks_)
            net_.Add_transition(task->name(), task);
        for (const SidePair& pair : filter_pairs(candidate_pairs())) {
            const Tplace_trans input = build_side(pair.input, Side::input);
            const Tplace_trans output = build_side(pair.output, Side::output);
            join(input.places, output.places, false);
        }
        if (combine_places) combine_redundant_places();
        add_skip_twins();
        close_start();
        close_end();
    }

private:
    std::string next_number() { return std::to_string(counter_++); }
    std::string next_skip_name() { return std::string(kSkipMarker) + next_number() + "_normal"; }

    void add_temporary_ends() {
        start_ = tasks_.create("$#%extra start#%$_normal");
        for (Ttask* t : tasks_) {
            if (!t->is_trace_start) continue;
            t->causal_predecessors().add(start_);
            start_->causal_successors().add(t);
        }
        end_ = tasks_.create("$#%extra end#%$_normal");
        for (Ttask* t : tasks_) {
            if (!t->is_trace_end) continue;
            t->causal_successors().add(end_);
            end_->causal_predecessors().add(t);
        }
    }

    std::vector<SidePair> candidate_pairs() {
        const TaskSet all(tasks_.begin(), tasks_.end());
        std::vector<SidePair> pairs = grouped_pairs(all, successors_of, predecessors_of);
        for (SidePair& pair : grouped_pairs(all, predecessors_of, successors_of))
            pairs.push_back({std::move(pair.output), std::move(pair.input)});
        return pairs;
    }

    Tplace* new_place() { return net_.Add_new_place(next_number(), ""); }

    void connect(Tplace* place, Ttransition* transition, Side side) {
        if (side == Side::input)
            net_.Add_output_arc(transition, place, 1.0);
        else
            net_.Add_input_arc(place, transition, 1.0);
    }

    Tplace_trans build_side(const TaskSet& side_tasks, Side side) {
        if (side_tasks.empty()) return {};
        if (side_tasks.size() == 1) {
            Ttransition* transition = net_.Transition_of_task(side_tasks[0]);
            Tplace* place = new_place();
            connect(place, transition, side);
            return {{place}, {transition}};
        }
        if (auto parts = covering_pair(grouped_pairs(side_tasks, successors_of, predecessors_of),
                                       side_tasks))
            return build_sequence(*parts, side);
        if (auto parts =
                covering_pair(grouped_pairs(side_tasks, parallel_of, parallel_of), side_tasks))
            return build_parallel(*parts, side);
        if (auto parts = covering_pair(choice_pairs(side_tasks), side_tasks))
            return build_choice(*parts, side);
        return {};
    }

    static std::optional<SidePair> covering_pair(const std::vector<SidePair>& pairs,
                                                 const TaskSet& side_tasks) {
        const std::vector<SidePair> kept = filter_pairs(pairs);
        if (kept.empty() || kept[0].total() != side_tasks.size()) return std::nullopt;
        return kept[0];
    }

    static std::vector<SidePair> choice_pairs(const TaskSet& scope) {
        std::vector<SidePair> pairs;
        for (Ttask* t : scope) {
            SidePair pair{{t}, {}};
            for (Ttask* u : scope)
                if (u != t && unrelated(t, u)) pair.output.push_back(u);
            for (Ttask* c : scope) {
                if (c == t || has(pair.output, c)) continue;
                if (std::all_of(pair.output.begin(), pair.output.end(),
                                [c](Ttask* o) { return unrelated(c, o); }))
                    pair.input.push_back(c);
            }
            pairs.push_back(std::move(pair));
        }
        return pairs;
    }

    Tplace_trans build_parallel(const SidePair& parts, Side side) {
        Tplace_trans first = build_side(parts.input, side);
        const Tplace_trans second = build_side(parts.output, side);
        first.places.insert(first.places.end(), second.places.begin(), second.places.end());
        first.transitions.insert(first.transitions.end(), second.transitions.begin(),
                                 second.transitions.end());
        return first;
    }

    // Several places of one alternative become one, through an invisible transition.
    Tplace* reduce_to_one(const Tplacelist& places, Side side) {
        if (places.size() == 1) return places[0];
        Ttransition* skip = net_.Add_transition(next_skip_name(), nullptr);
        Tplace* place = new_place();
        for (Tplace* p : places) {
            if (side == Side::input)
                net_.Add_input_arc(p, skip, 1.0);
            else
                net_.Add_output_arc(skip, p, 1.0);
        }
        if (side == Side::input)
            net_.Add_output_arc(skip, place, 1.0);
        else
            net_.Add_input_arc(place, skip, 1.0);
        return place;
    }

    void move_arcs(Tplace* from, Tplace* to) {
        for (Tarc* arc : net_.Arcs_of_place(from, true))
            arc->place = to;
        for (Tarc* arc : net_.Arcs_of_place(from, false))
            arc->place = to;
        net_.Remove_place(from);
    }

    Tplace_trans build_choice(const SidePair& parts, Side side) {
        const Tplace_trans first = build_side(parts.input, side);
        const Tplace_trans second = build_side(parts.output, side);
        Tplace_trans result;
        result.transitions = first.transitions;
        result.transitions.insert(result.transitions.end(), second.transitions.begin(),
                                  second.transitions.end());
        if (first.places.empty() || second.places.empty()) {
            result.places = first.places.empty() ? second.places : first.places;
            return result;
        }
        Tplace* one = reduce_to_one(first.places, side);
        Tplace* other = reduce_to_one(second.places, side);
        move_arcs(one, other);
        result.places = {other};
        return result;
    }

    Tplace_trans build_sequence(const SidePair& parts, Side side) {
        // The part next to the side's place: the later one on an input side.
        const TaskSet& near_tasks = side == Side::input ? parts.output : parts.input;
        const TaskSet& far_tasks = side == Side::input ? parts.input : parts.output;
        const Tplace_trans near = build_side(near_tasks, side);
        const Tplace_trans far = build_side(far_tasks, side);
        const Side opposite = side == Side::input ? Side::output : Side::input;
        TaskSet near_reported;
        for (const Ttransition* t : near.transitions)
            if (t->task != nullptr) near_reported.push_back(t->task);
        const Tplace_trans between = build_side(near_reported, opposite);
        if (side == Side::input)
            join(far.places, between.places, false);
        else
            join(between.places, far.places, true);
        for (Ttask* task : near_reported)
            task->is_skippable = true;
        return {near.places, far.transitions};
    }

    // Joins places fed by one structure with places feeding another. With one place on each
    // side, the arcs of the first move to the second, or the other way round when
    // `move_second_into_first` is set.
    void join(const Tplacelist& fed, const Tplacelist& feeding, bool move_second_into_first) {
        if (fed.empty() || feeding.empty()) return;
        if (fed.size() == 1 && feeding.size() == 1) {
            move_second_into_first ? move_arcs(feeding[0], fed[0]) : move_arcs(fed[0], feeding[0]);
        } else if (fed.size() == 1) {
            for (Tarc* arc : arcs_at(fed[0]))
                for (Tplace* p : feeding)
                    net_.Add_output_arc(arc->transition, p, 1.0);
            net_.Remove_place(fed[0]);
        } else if (feeding.size() == 1) {
            for (Tarc* arc : arcs_at(feeding[0]))
                for (Tplace* p : fed)
                    net_.Add_input_arc(p, arc->transition, 1.0);
            net_.Remove_place(feeding[0]);
        } else {
            Ttransition* skip = net_.Add_transition(next_skip_name(), nullptr);
            for (Tplace* p : fed)
                net_.Add_input_arc(p, skip, 1.0);
            for (Tplace* p : feeding)
                net_.Add_output_arc(skip, p, 1.0);
        }
    }

    Parclist arcs_at(const Tplace* place) const {
        Parclist arcs;
        for (const auto& arc : net_.arcs())
            if (arc->place == place) arcs.push_back(arc.get());
        return arcs;
    }

    void combine_redundant_places() {
        std::set<const Tplace*> removed;
        const auto& transitions = net_.transitions();
        for (std::size_t i = 0; i < transitions.size(); ++i) {
            for (std::size_t j = i + 1; j < transitions.size(); ++j) {
                const Tplacelist between =
                    net_.Places_between(transitions[i].get(), transitions[j].get(), false);
                if (between.size() < 2) continue;
                for (Tplace* a : between) {
                    for (Tplace* b : between) {
                        if (a == b || removed.count(a) || removed.count(b)) continue;
                        if (!redundant(b, a)) continue;
                        removed.insert(b);
                        net_.Remove_place(b);
                    }
                }
            }
        }
    }

    bool redundant(const Tplace* b, const Tplace* a) const {
        for (const Tarc* in : net_.Arcs_of_place(b, true))
            if (!net_.Reaches_place(in->transition, a)) return false;
        for (const Tarc* out : net_.Arcs_of_place(b, false))
            if (!net_.Reaches_transition(a, out->transition)) return false;
        return true;
    }

    void add_skip_twins() {
        const std::size_t task_count = static_cast<std::size_t>(tasks_.count());
        std::vector<Ttransition*> visible;
        for (std::size_t k = 0; k < task_count && k < net_.transitions().size(); ++k)
            visible.push_back(net_.transitions()[k].get());
        for (Ttransition* transition : visible) {
            if (transition->task == nullptr || !transition->task->is_skippable) continue;
            Ttransition* twin =
                net_.Add_transition(std::string(kSkipMarker) + transition->name, nullptr);
            for (const Tarc* in : net_.Arcs_of_transition(transition, false))
                net_.Add_input_arc(in->place, twin, 1.0);
            for (const Tarc* out : net_.Arcs_of_transition(transition, true))
                net_.Add_output_arc(twin, out->place, 1.0);
        }
    }

    void drop_temporary(Ttask*& task) {
        for (Ttask* t : tasks_) {
            t->causal_predecessors().remove(task);
            t->causal_successors().remove(task);
        }
        tasks_.release(task);  // destroyed here
        task = nullptr;
    }

    void close_start() {
        Ttransition* start = net_.Transition_of_task(start_);
        if (start != nullptr) start->task = nullptr;
        drop_temporary(start_);
        if (start == nullptr) return;
        const Parclist outputs = net_.Arcs_of_transition(start, true);
        if (outputs.size() == 1) {
            outputs[0]->place->input_set = std::string(kStartSet);
            outputs[0]->place->output_set.clear();
            net_.Remove_transition(start);
        } else {
            net_.Add_input_arc(net_.Add_new_place(std::string(kStartSet), ""), start, 1.0);
        }
    }

    void close_end() {
        Ttransition* end = net_.Transition_of_task(end_);
        if (end != nullptr) end->task = nullptr;
        drop_temporary(end_);
        if (end == nullptr) return;
        const Parclist inputs = net_.Arcs_of_transition(end, false);
        if (inputs.size() == 1) {
            inputs[0]->place->input_set.clear();
            inputs[0]->place->output_set = std::string(kEndSet);
            net_.Remove_transition(end);
        } else {
            net_.Add_output_arc(end, net_.Add_new_place("", std::string(kEndSet)), 1.0);
        }
    }

    Tpetrinet& net_;
    Towned_tasklist& tasks_;
    Ttask* start_ = nullptr;
    Ttask* end_ = nullptr;
    int counter_ = 0;
};

}  // namespace

void Build_net_2(Tpetrinet& net, Towned_tasklist& tasks, bool combine_places) {
    SecondConstruction(net, tasks).run(combine_places);
}

}  // namespace vesk
