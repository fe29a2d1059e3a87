#include "net/vesk_redisc_build.h"

#include <algorithm>
#include <unordered_map>

namespace vesk {

namespace {

// Relations between tasks compared by name, as the construction compares them, looked up in
// constant time: the pair search asks the same questions very often.
class NameRelations {
public:
    explicit NameRelations(const Ttasklist& tasks) {
        for (Ttask* task : tasks)
            entry(task);
    }

    bool same(const Ttask* a, const Ttask* b) { return id(a) == id(b); }
    bool causes(Ttask* a, const Ttask* b) { return entry(a).successors[id(b)]; }
    bool caused_by(Ttask* a, const Ttask* b) { return entry(a).predecessors[id(b)]; }
    bool related(Ttask* a, Ttask* b) {
        const Entry& ea = entry(a);
        const Entry& eb = entry(b);
        const std::size_t ia = id(a), ib = id(b);
        return ea.successors[ib] || ea.predecessors[ib] || ea.parallel[ib] || eb.successors[ia] ||
               eb.predecessors[ia] || eb.parallel[ia];
    }

private:
    struct Entry {
        std::vector<bool> successors, predecessors, parallel;
    };

    std::size_t id(const Ttask* task) {
        const auto [it, added] = ids_.try_emplace(task->name(), ids_.size());
        if (added)
            for (auto& [_, e] : entries_)
                grow(e);
        return it->second;
    }
    void grow(Entry& e) const {
        e.successors.resize(ids_.size());
        e.predecessors.resize(ids_.size());
        e.parallel.resize(ids_.size());
    }
    void mark(std::vector<bool>& bits, const Ttasklist& list) {
        for (const Ttask* t : list) {
            const std::size_t i = id(t);
            if (bits.size() <= i) bits.resize(ids_.size());
            bits[i] = true;
        }
    }
    const Entry& entry(Ttask* task) {
        id(task);
        const auto found = entries_.find(task);
        if (found != entries_.end()) return found->second;
        Entry e;
        grow(e);
        mark(e.successors, task->causal_successors());
        mark(e.predecessors, task->causal_predecessors());
        mark(e.parallel, task->parallel());
        grow(e);
        return entries_.emplace(task, std::move(e)).first->second;
    }

    std::unordered_map<std::string, std::size_t> ids_;
    std::unordered_map<const Ttask*, Entry> entries_;
};

bool holds(NameRelations& relations, const TTaskArray& list, const Ttask* task) {
    return std::any_of(list.begin(), list.end(),
                       [&](const Ttask* member) { return relations.same(member, task); });
}

class PairSearch {
public:
    explicit PairSearch(const Ttasklist& tasks) : tasks_(tasks), relations_(tasks) {}

    void search(TTaskArray& a, TTaskArray& b, Ttasktuplearray& result, std::int32_t start_a,
                std::int32_t start_b) {
        bool maximal = true;
        TTaskArray excluded_a, excluded_b;
        for (std::int32_t i = std::min(start_a, start_b); i < tasks_.count(); ++i) {
            Ttask* t = tasks_.get(i);
            if (i >= start_a && extends_input(t, a, b, excluded_a)) {
                a.push_back(t);
                descend(result, excluded_a, [&] { search(a, b, result, i + 1, start_b); });
                a.pop_back();
                maximal = false;
            }
            if (i >= start_b && extends_output(t, a, b, excluded_b)) {
                b.push_back(t);
                descend(result, excluded_b, [&] { search(a, b, result, start_a, i + 1); });
                b.pop_back();
                maximal = false;
            }
        }
        if (maximal) result.push_back({a, b});
    }

private:
    bool extends_input(Ttask* t, const TTaskArray& a, const TTaskArray& b,
                       const TTaskArray& excluded) {
        if (holds(relations_, a, t) || holds(relations_, excluded, t)) return false;
        for (Ttask* x : a)
            if (relations_.related(t, x)) return false;
        for (const Ttask* y : b)
            if (!relations_.causes(t, y)) return false;
        return true;
    }

    bool extends_output(Ttask* t, const TTaskArray& a, const TTaskArray& b,
                        const TTaskArray& excluded) {
        if (holds(relations_, b, t) || holds(relations_, excluded, t)) return false;
        for (Ttask* y : b)
            if (relations_.related(t, y)) return false;
        for (const Ttask* x : a)
            if (!relations_.caused_by(t, x)) return false;
        return true;
    }

    // Runs the deeper search and excludes the output sides of the pairs it found.
    template <typename Search>
    static void descend(Ttasktuplearray& result, TTaskArray& excluded, Search deeper) {
        const std::size_t before = result.size();
        deeper();
        for (std::size_t k = before; k < result.size(); ++k)
            excluded.insert(excluded.end(), result[k][1].begin(), result[k][1].end());
    }

    const Ttasklist& tasks_;
    NameRelations relations_;
};

std::string set_of(const TTaskArray& side) {
    std::string set;
    for (const Ttask* task : side) {
        if (!set.empty()) set += "&";
        set += "*" + task->name() + "*";
    }
    return set;
}

void add_arcs(Tpetrinet& net) {
    for (const auto& transition : net.transitions()) {
        const std::string key = "*" + transition->name + "*";
        for (const auto& place : net.places()) {
            if (place->input_set.find(key) != std::string::npos)
                net.Add_output_arc(transition.get(), place.get(), 1.0);
            if (place->output_set.find(key) != std::string::npos)
                net.Add_input_arc(place.get(), transition.get(), 1.0);
        }
    }
}

void add_start_and_end(Tpetrinet& net, const Ttasklist& tasks) {
    Tplace* start = net.Add_place(std::string(kStartSet), "");
    Tplace* end = net.Add_place("", std::string(kEndSet));
    for (Ttask* task : tasks) {
        if (task->is_trace_start) {
            start->output_set += "_*" + task->name() + "*";
            net.Add_input_arc(start, net.Transition_of_task(task), 1.0);
        }
        if (task->is_trace_end) {
            end->input_set += "_*" + task->name() + "*";
            net.Add_output_arc(net.Transition_of_task(task), end, 1.0);
        }
    }
}

}  // namespace

void Search_pairs(const Ttasklist& tasks, TTaskArray& a, TTaskArray& b, Ttasktuplearray& result,
                  std::int32_t start_a, std::int32_t start_b) {
    PairSearch(tasks).search(a, b, result, start_a, start_b);
}

void Build_net(Tpetrinet& net, const Ttasklist& tasks) {
    net.Clear();
    PairSearch search(tasks);
    for (Ttask* t : tasks) {
        net.Add_transition(t->name(), t);
        TTaskArray a = {t};
        Ttasktuplearray pairs;
        for (Ttask* s : t->causal_successors()) {
            TTaskArray b = {s};
            search.search(a, b, pairs, 0, 0);
        }
        for (const TtaskTuple& pair : pairs)
            if (!pair[0].empty() && !pair[1].empty())
                net.Add_place(set_of(pair[0]), set_of(pair[1]));
    }
    add_arcs(net);
    add_start_and_end(net, tasks);
}

void Add_loop_tasks(Tpetrinet& net, const Ttasklist& loop_tasks) {
    for (Ttask* t : loop_tasks) {
        Ttransition* loop = net.Add_transition(t->name(), t);
        for (const Ttask* p : t->causal_predecessors()) {
            for (const Ttask* s : t->causal_successors()) {
                const Tplacelist between =
                    net.Places_between(net.Transition_of_task(p), net.Transition_of_task(s), true);
                for (Tplace* q : between) {
                    if (!net.Find_arc(loop, q, false)) net.Add_input_arc(q, loop, 1.0);
                    if (!net.Find_arc(loop, q, true)) net.Add_output_arc(loop, q, 1.0);
                }
            }
        }
    }
}

}  // namespace vesk
