#include "net/vesk_redisc_build.h"

#include <string>
#include <unordered_set>

#include "net/pair_search.h"
#include "net/place_index.h"

namespace vesk {

namespace {

// The net has no arcs yet and transition names are unique, so every arc made here is new.
void add_arcs(Tpetrinet& net) {
    for (const auto& transition : net.transitions()) {
        const std::string key = "*" + transition->name + "*";
        for (const auto& place : net.places()) {
            if (place->input_set.find(key) != std::string::npos)
                net.Add_new_arc(place.get(), transition.get(), true, 1.0);
            if (place->output_set.find(key) != std::string::npos)
                net.Add_new_arc(place.get(), transition.get(), false, 1.0);
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
    PairSearch search(tasks, false);
    search.search(a, b, start_a, start_b, [&](const Side& input, const Side& output) {
        TtaskTuple pair;
        for (const int n : input)
            pair[0].push_back(search.task(n));
        for (const int n : output)
            pair[1].push_back(search.task(n));
        result.push_back(std::move(pair));
    });
}

// The pairs Build_net remembers having tried.
constexpr std::size_t kTriedPairs = std::size_t{1} << 20;

void Build_net(Tpetrinet& net, const Ttasklist& tasks) {
    net.Clear();
    PairSearch search(tasks, true);
    // Places are only added here, so a pair tried once would find its place (or a larger one)
    // again: the search repeats pairs very often, and the lookup is the expensive part.
    std::unordered_set<std::string> tried;
    // The places of this net, all added here and unchanged until the loop ends.
    PlaceIndex places;
    // Each pair becomes a place as it is found, in the order a list of the pairs would give:
    // the search does not look at the net, so nothing else changes.
    const auto set_text = [&search](const Side& side) {
        std::string set;
        for (const int n : side) {
            if (!set.empty()) set += "&";
            set += "*" + search.task(n)->name() + "*";
        }
        return set;
    };
    const PairSearch::PairHandler take = [&](const Side& a, const Side& b) {
        if (a.empty() || b.empty()) return;
        std::string input = set_text(a);
        std::string output = set_text(b);
        // A pair tried before would only find its place again; past the bound the lookup
        // finds it, so that memory stays bounded.
        if (tried.size() < kTriedPairs) {
            if (!tried.insert(input + '\0' + output).second) return;
        } else if (tried.count(input + '\0' + output) != 0) {
            return;
        }
        if (places.find(input, output) >= 0) return;
        places.add(input, output);
        net.Add_new_place(std::move(input), std::move(output));
    };
    for (Ttask* t : tasks) {
        net.Add_transition(t->name(), t);
        const TTaskArray a = {t};
        for (Ttask* s : t->causal_successors())
            search.search(a, {s}, 0, 0, take);
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
