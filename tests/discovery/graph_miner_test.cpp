// The construction on the directly-follows graph alone: its cuts equal those found on the full
// graph, it rediscovers random models from their graphs, and a block of thousands of
// activities with structure gets a tree, not a flower.

#include "discovery/graph_miner.h"

#include <gtest/gtest.h>

#include <random>

#include "discovery/follows_graph.h"
#include "discovery/inductive_miner.h"
#include "discovery/random_trees.h"
#include "discovery/trace_logs.h"

namespace vesk {
namespace {

std::string graph_mined(const std::vector<std::pair<std::string, std::int64_t>>& cases) {
    return tree_text(mine_graph_tree(SparseFollows(test::letters(cases), 26), 0.0),
                     test::letter_names());
}

TEST(GraphMiner, TextbookShapesFromTheGraph) {
    EXPECT_EQ(graph_mined({{"abcd", 1}, {"acbd", 1}}), "->( 'a', +( 'b', 'c' ), 'd' )");
    // The edge a -> c jumps over b: b may be skipped.
    EXPECT_EQ(graph_mined({{"abc", 2}, {"ac", 1}}), "->( 'a', X( 'b', tau ), 'c' )");
    EXPECT_EQ(graph_mined({{"a", 1}, {"aca", 1}}), "*( 'a', 'c' )");
    EXPECT_EQ(graph_mined({{"ab", 1}, {"c", 1}}), "X( ->( 'a', 'b' ), 'c' )");
    EXPECT_EQ(graph_mined({{"aa", 1}}), "*( 'a', tau )");
}

TEST(GraphMiner, CutsEqualThoseOfTheFullGraph) {
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        const int activities = 2 + round % 8;
        TraceLog log;
        for (int c = 0; c < 1 + round % 6; ++c) {
            Trace trace{{}, 1};
            const int length = 1 + static_cast<int>(random() % 6);
            for (int e = 0; e < length; ++e)
                trace.events.push_back(static_cast<std::int32_t>(random() % activities));
            log.push_back(trace);
        }
        const FollowsGraph full(log, 26);
        const SparseFollows sparse(log, 26);
        SCOPED_TRACE("round " + std::to_string(round));
        EXPECT_EQ(sparse_choice_cut(sparse).parts, choice_cut(full).parts);
        EXPECT_EQ(sparse_sequence_cut(sparse).parts, sequence_cut(full).parts);
        EXPECT_EQ(sparse_parallel_cut(sparse).parts, parallel_cut(full).parts);
        EXPECT_EQ(sparse_loop_cut(sparse).parts, loop_cut(full).parts);
    }
}

TEST(GraphMiner, RandomModelsAreRediscoveredFromTheirGraphs) {
    const std::vector<std::string> names = test::letter_names();
    for (unsigned seed = 1; seed <= 40; ++seed) {
        test::RandomTrees random(seed);
        const ProcessTree model = random.model(3 + static_cast<std::int32_t>(seed % 13));
        const ProcessTree found = mine_graph_tree(SparseFollows(random.log(model, 2000), 26), 0.0);
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + tree_text(model, names));
        // A loop whose way back is a choice reads as the loop with each branch as a way back.
        EXPECT_EQ(test::canonical_text(test::ways_back_apart(found), names),
                  test::canonical_text(test::ways_back_apart(model), names));
    }
}

TEST(GraphMiner, ABlockOfThreeThousandActivitiesGetsItsStructure) {
    // 1,500 steps, each a choice of two activities: beyond the size the construction divides
    // on the cases, so the graph alone is divided.
    constexpr std::int32_t kSteps = 1500;
    std::mt19937 random(3);
    TraceLog log;
    for (int c = 0; c < 200; ++c) {
        Trace trace{{}, 1};
        for (std::int32_t step = 0; step < kSteps; ++step)
            trace.events.push_back(2 * step + static_cast<std::int32_t>(random() % 2));
        log.push_back(std::move(trace));
    }
    const ProcessTree tree = mine_tree(log, 2 * kSteps, InductiveOptions{0.2});
    ASSERT_EQ(tree.kind(), ProcessTree::Kind::sequence);
    ASSERT_EQ(tree.children().size(), static_cast<std::size_t>(kSteps));
    EXPECT_EQ(tree.children()[7],
              ProcessTree::node(ProcessTree::Kind::choice,
                                {ProcessTree::activity(14), ProcessTree::activity(15)}));
}

}  // namespace
}  // namespace vesk
