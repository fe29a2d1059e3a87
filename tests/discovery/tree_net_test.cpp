// Nets made from process trees: models rediscovered from their own logs, every net a sound
// workflow net (checked on its reachable markings), logs replayed on them with the figures
// worked out by hand.

#include "discovery/tree_net.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "discovery/inductive_miner.h"
#include "discovery/random_trees.h"
#include "discovery/trace_logs.h"
#include "net/net_structure.h"
#include "net/sequence_replay.h"
#include "net/vesk_token_fitness.h"

namespace vesk {
namespace {

using Marking = std::vector<std::int64_t>;

std::string model_text(const ProcessTree& tree, const std::vector<std::string>& names) {
    return test::canonical_text(test::ways_back_apart(tree), names);
}

// The net with its tasks, named by letters.
struct TreeNet {
    explicit TreeNet(const ProcessTree& tree) {
        for (const std::string& name : test::letter_names())
            tasks.create(name);
        build_tree_net(net, tree, test::letter_names(), tasks);
    }
    Towned_tasklist tasks;
    Tpetrinet net;
};

Tloglist lines_of(const TraceLog& log) {
    Tloglist lines;
    std::int32_t case_number = 0;
    for (const Trace& trace : log)
        for (std::int64_t copy = 0; copy < trace.count; ++copy, ++case_number)
            for (const std::int32_t a : trace.events)
                lines.emplace_back(std::string(1, static_cast<char>('a' + a)), case_number);
    return lines;
}

// Soundness on the reachable markings (up to a bound): from every marking the end can be
// reached, the end is never marked beside another token, and every transition fires.
void expect_sound(const Tpetrinet& net) {
    std::map<const Tplace*, std::size_t> index;
    for (const auto& place : net.places())
        index[place.get()] = index.size();
    std::map<const Ttransition*, std::pair<std::vector<std::size_t>, std::vector<std::size_t>>>
        arcs;
    for (const auto& arc : net.arcs())
        (arc->to_place ? arcs[arc->transition].second : arcs[arc->transition].first)
            .push_back(index[arc->place]);
    std::size_t start = 0, end = 0;
    for (const auto& place : net.places()) {
        if (place->input_set == kStartSet) start = index[place.get()];
        if (place->output_set == kEndSet) end = index[place.get()];
    }
    Marking initial(index.size(), 0), final_marking(index.size(), 0);
    initial[start] = 1;
    final_marking[end] = 1;
    std::map<Marking, std::vector<Marking>> successors;
    std::set<const Ttransition*> fired;
    std::vector<Marking> queue{initial};
    successors[initial];
    while (!queue.empty() && successors.size() < 20000) {
        const Marking m = queue.back();
        queue.pop_back();
        if (m[end] > 0) {
            EXPECT_EQ(m, final_marking) << "the end is marked beside other tokens";
            continue;
        }
        for (const auto& [transition, sides] : arcs) {
            if (!std::all_of(sides.first.begin(), sides.first.end(),
                             [&m](std::size_t p) { return m[p] > 0; }))
                continue;
            fired.insert(transition);
            Marking next = m;
            for (const std::size_t p : sides.first)
                --next[p];
            for (const std::size_t p : sides.second)
                ++next[p];
            successors[m].push_back(next);
            if (successors.try_emplace(next).second) queue.push_back(next);
        }
    }
    ASSERT_LT(successors.size(), 20000U) << "too many markings to check";
    EXPECT_EQ(fired.size(), net.transitions().size()) << "a transition never fires";
    // Backwards from the final marking: every reachable marking must lead there.
    std::set<Marking> completing{final_marking};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [m, nexts] : successors)
            if (!completing.contains(m) &&
                std::any_of(nexts.begin(), nexts.end(),
                            [&](const Marking& n) { return completing.contains(n); })) {
                completing.insert(m);
                grew = true;
            }
    }
    EXPECT_EQ(completing.size(), successors.size()) << "a marking cannot complete";
}

TEST(TreeNet, RandomModelsAreRediscoveredAndTheirLogsFitExactly) {
    const std::vector<std::string> names = test::letter_names();
    for (unsigned seed = 1; seed <= 40; ++seed) {
        test::RandomTrees random(seed);
        const std::int32_t activities = 3 + static_cast<std::int32_t>(seed % 13);
        const ProcessTree model = random.model(activities);
        const TraceLog log = random.log(model, 2000);
        const ProcessTree found = mine_tree(log, 26, InductiveOptions{0.0});
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + tree_text(model, names));
        EXPECT_EQ(model_text(found, names), model_text(model, names));
        TreeNet made(found);
        EXPECT_TRUE(check_structure(made.net).workflow_net());
        const TokenCounts counts = token_fitness(made.net, lines_of(log), made.tasks);
        EXPECT_EQ(counts.fitness(), 1.0);
        EXPECT_EQ(counts.fitting_cases, counts.cases);
        if (activities <= 8) expect_sound(made.net);
    }
}

TEST(TreeNet, RandomUnstructuredLogsGiveSoundNetsThatFitWithoutTheFilter) {
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        const int activities = 1 + round % 7;
        TraceLog log;
        for (int c = 0; c < 1 + round % 9; ++c) {
            Trace trace{{}, 1 + c % 3};
            const int length = static_cast<int>(random() % 7);  // one-event and empty cases too
            for (int e = 0; e < length; ++e)
                trace.events.push_back(static_cast<std::int32_t>(random() % activities));
            log.push_back(trace);
        }
        for (const double noise : {0.0, 0.2}) {
            const ProcessTree tree = mine_tree(log, 26, InductiveOptions{noise});
            SCOPED_TRACE(tree_text(tree, test::letter_names()));
            TreeNet made(tree);
            EXPECT_TRUE(check_structure(made.net).workflow_net());
            expect_sound(made.net);
            // Empty cases leave no lines: nothing is replayed then.
            const TokenCounts counts = token_fitness(made.net, lines_of(log), made.tasks);
            if (noise == 0.0 && counts.cases > 0) {
                EXPECT_EQ(counts.fitness(), 1.0);
            }
        }
    }
}

TEST(TreeNet, BlocksGetNoSilentStepTheyDoNotNeed) {
    // A sequence, a choice and a parallel block after a visible step: the split merges into
    // a, the join into d; only the skip of the choice stays silent.
    const TraceLog log =
        test::letters({{"abcde", 1}, {"acbde", 1}, {"acbe", 1}, {"abcfe", 1}, {"acbfe", 1}});
    const ProcessTree tree = mine_tree(log, 26, InductiveOptions{0.0});
    EXPECT_EQ(tree_text(tree, test::letter_names()),
              "->( 'a', +( 'b', 'c' ), X( 'd', 'f', tau ), 'e' )");
    TreeNet made(tree);
    std::size_t silent = 0;
    for (const auto& transition : made.net.transitions())
        silent += transition->task == nullptr;
    EXPECT_EQ(silent, 2U);  // the join of b and c, the skip of d and f
    // start, a->b, a->c, b->join, c->join, the place before d/f/skip, the place before e, end
    EXPECT_EQ(made.net.places().size(), 8U);
}

TEST(TreeNet, ReplayFiresTheSkipAtTheTimeOfTheEventItEnables) {
    // ->( a, X( b, tau ), c ): a at 10:00, c at 10:30. The skip fires at 10:30, so the place
    // after a waits 30 minutes for it and the place before c none.
    const ProcessTree tree = mine_tree(test::letters({{"abc", 1}, {"ac", 1}}), 26, {0.0});
    TreeNet made(tree);
    Tloglist lines;
    for (const auto& [name, minute] :
         std::vector<std::pair<const char*, int>>{{"a", 0}, {"c", 30}}) {
        Tlog_line& line = lines.emplace_back(std::string(name), 0);
        line.set_date({5, 3, 2002});
        line.set_time({10, minute, 0, 0});
    }
    RecordingSink sink;
    SequenceReplay(made.net, lines, made.tasks, sink).Replay(false);
    const auto place = [&made](const std::string& input) -> const Tplace& {
        for (const auto& p : made.net.places())
            if (p->input_set == input) return *p;
        throw std::runtime_error("no place after " + input);
    };
    const Tplace& after_a = place("*a*");
    EXPECT_EQ(after_a.waiting_time.Nr_of_observations(), 1);
    EXPECT_EQ(after_a.waiting_time.Mean(), 30.0);
    const Tplace& before_c = place("*b*&*$#%skip#%$0_normal*");
    EXPECT_EQ(before_c.waiting_time.Mean(), 0.0);
    EXPECT_TRUE(made.net.unfired_tasks.empty());
    EXPECT_FALSE(made.net.tokens_left);
    EXPECT_EQ(made.net.flow_time.Mean(), 30.0);
}

}  // namespace
}  // namespace vesk
