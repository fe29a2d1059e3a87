// The fast construction against the literal one on random relations: the same places in the
// same order, the same arcs, and the same places between any two transitions.

#include <gtest/gtest.h>

#include <random>

#include "net/literal_net_build.h"
#include "net/net_builder.h"

namespace vesk {
namespace {

// Relations of a random shape over few tasks, so that choices, parallel pairs and long input
// and output sides are common; names that differ in case only, contain one another or hold
// the set syntax's "*" and "&" take the slow roads of the place lookup.
test::Relations random_relations(std::mt19937& random) {
    static const char* const names[] = {"A", "B",  "C",  "D",   "E",  "F",  "G", "H",
                                        "a", "AB", "c*", "d&e", "*g", "Hh", "I", "J"};
    std::uniform_int_distribution<int> count(2, 12);
    std::uniform_int_distribution<int> percent(0, 99);
    const int n = count(random);
    const bool odd_names = percent(random) < 25;
    test::Relations r;
    std::vector<std::string> tasks;
    for (int i = 0; i < n; ++i)
        tasks.push_back(odd_names ? names[i] : "T" + std::to_string(i));
    for (const std::string& t : tasks)
        r.task(t);
    const int causal = 10 + percent(random) % 40;
    const int parallel = percent(random) % 25;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if (i == j) continue;
            const int roll = percent(random);
            // Mostly forward, so that the relations look like a process.
            if (roll < (j > i ? causal : causal / 4))
                r.cause(tasks[i], tasks[j]);
            else if (j > i && roll < causal + parallel)
                r.parallel(tasks[i], tasks[j]);
        }
    r.start(tasks.front()).end(tasks.back());
    if (percent(random) < 30) r.start(tasks[1]);
    return r;
}

std::vector<std::string> listing(const Tpetrinet& net) {
    std::vector<std::string> lines;
    net.net_text(lines);
    for (const auto& place : net.places())
        lines.push_back(place->input_set + " | " + place->output_set);
    return lines;
}

TEST(NetBuildEquivalence, FastConstructionMatchesTheLiteralOneOnRandomRelations) {
    std::mt19937 random(19700101);
    for (int round = 0; round < 3000; ++round) {
        test::Relations r = random_relations(random);
        Tpetrinet fast, literal;
        Build_net(fast, r.tasks);
        test::literal_build_net(literal, r.tasks);
        ASSERT_EQ(listing(fast), listing(literal)) << "round " << round;

        // The places between every two transitions, both ways of asking.
        const auto& transitions = fast.transitions();
        for (const auto& from : transitions)
            for (const auto& to : transitions)
                for (const bool strict : {true, false})
                    ASSERT_EQ(fast.Places_between(from.get(), to.get(), strict),
                              test::literal_places_between(fast, from.get(), to.get(), strict))
                        << "round " << round;
    }
}

}  // namespace
}  // namespace vesk
