// Process trees worked out by hand from small logs: each cut, the fall-throughs, nesting, skips
// and the filter.

#include "discovery/inductive_miner.h"

#include <gtest/gtest.h>

#include "discovery/cuts.h"
#include "discovery/follows_graph.h"
#include "discovery/log_split.h"
#include "discovery/trace_log.h"
#include "discovery/trace_logs.h"

namespace vesk {
namespace {

std::string mined(const std::vector<std::pair<std::string, std::int64_t>>& cases,
                  double noise = 0.0) {
    return tree_text(mine_tree(test::letters(cases), 26, InductiveOptions{noise}),
                     test::letter_names());
}

TEST(InductiveMiner, FindsEachCutOfTheTextbookShapes) {
    // a, b, c in that order every time: a sequence.
    EXPECT_EQ(mined({{"abc", 3}}), "->( 'a', 'b', 'c' )");
    // b or c after a: no edge between b and c, so they form a choice of their own.
    EXPECT_EQ(mined({{"ab", 2}, {"ac", 1}}), "->( 'a', X( 'b', 'c' ) )");
    // b and c in either order, each both starts and ends the middle: parallel.
    EXPECT_EQ(mined({{"abcd", 1}, {"acbd", 1}}), "->( 'a', +( 'b', 'c' ), 'd' )");
    // After a, c leads back to a; the case always ends with a: a loop with c as the way back.
    EXPECT_EQ(mined({{"a", 1}, {"aca", 1}, {"acaca", 1}}), "*( 'a', 'c' )");
    // Two ways back, not connected to each other: two redo children.
    EXPECT_EQ(mined({{"a", 1}, {"aba", 1}, {"aca", 1}}), "*( 'a', 'b', 'c' )");
}

TEST(InductiveMiner, ASkippedActivityBecomesAChoiceWithASilentStep) {
    // In the sequence a, b, c, the case a c leaves b's part an empty trace.
    EXPECT_EQ(mined({{"abc", 2}, {"ac", 1}}), "->( 'a', X( 'b', tau ), 'c' )");
    // Empty cases beside a b: the whole process may be skipped.
    EXPECT_EQ(mined({{"", 1}, {"ab", 1}}), "X( ->( 'a', 'b' ), tau )");
    EXPECT_EQ(mined({{"", 3}}), "tau");
}

TEST(InductiveMiner, SilentStepsAddNothingToABlock) {
    using Kind = ProcessTree::Kind;
    const auto text = [](const ProcessTree& tree) { return tree_text(tree, test::letter_names()); };
    const ProcessTree a = ProcessTree::activity(0);
    const ProcessTree tau = ProcessTree::silent();
    // A part mined to nothing inside an optional chain: X( ->( tau, X( tau, tau ) ), tau ).
    const ProcessTree inner = ProcessTree::node(Kind::choice, {tau, tau});
    EXPECT_EQ(text(ProcessTree::node(Kind::choice,
                                     {ProcessTree::node(Kind::sequence, {tau, inner}), tau})),
              "tau");
    EXPECT_EQ(
        text(ProcessTree::node(Kind::choice, {ProcessTree::node(Kind::choice, {a, tau}), tau})),
        "X( 'a', tau )");
    EXPECT_EQ(text(ProcessTree::node(Kind::parallel, {tau, a})), "'a'");
    EXPECT_EQ(text(ProcessTree::node(Kind::loop, {a, tau})), "*( 'a', tau )");
}

TEST(InductiveMiner, NestedLoopsComeBackNested) {
    // Body a then the loop b (back through c); the outer way back is d. Worked out: the loop
    // cut's body holds a, b, c (c returns to b, which is no start), d is the way back; the body
    // a b (c b)* is a sequence of a and the inner loop.
    EXPECT_EQ(mined({{"ab", 1}, {"abcb", 1}, {"abdab", 1}, {"abcbdab", 1}}),
              "*( ->( 'a', *( 'b', 'c' ) ), 'd' )");
}

TEST(InductiveMiner, FallThroughsWhenNoCutDivides) {
    // One activity repeated: an end directly followed by a start, so a strict tau loop.
    EXPECT_EQ(mined({{"a", 1}, {"aa", 1}}), "*( 'a', tau )");
    // a b c, b c a and b c: no cut (a -> b -> c -> a is one cycle and a, b are not parallel);
    // b occurs once in every case, so b is in parallel with the rest; the rest a c, c a, c
    // divides into a parallel of an optional a and c.
    EXPECT_EQ(mined({{"abc", 1}, {"bca", 1}, {"bc", 1}}), "+( X( 'a', tau ), 'b', 'c' )");
}

TEST(InductiveMiner, TheFilterDropsOneInfrequentCaseAtTwentyPercentAndKeepsItAtZero) {
    // Fifty cases a b c and one a c: the empty trace of b's part is 1 in 51.
    EXPECT_EQ(mined({{"abc", 50}, {"ac", 1}}, 0.0), "->( 'a', X( 'b', tau ), 'c' )");
    EXPECT_EQ(mined({{"abc", 50}, {"ac", 1}}, 0.2), "->( 'a', 'b', 'c' )");
}

TEST(InductiveMiner, OptionalStepsThatGoTogetherAreNested) {
    // b only ever follows a, and both may be left out: one optional block, inside which b is
    // optional, so that the tree does not allow x b y.
    EXPECT_EQ(mined({{"xaby", 1}, {"xay", 1}, {"xy", 1}}),
              "->( 'x', X( ->( 'a', X( 'b', tau ) ), tau ), 'y' )");
    // b also follows x directly: two independent skips.
    EXPECT_EQ(mined({{"xaby", 1}, {"xay", 1}, {"xby", 1}, {"xy", 1}}),
              "->( 'x', X( 'a', tau ), X( 'b', tau ), 'y' )");
}

TEST(InductiveMiner, AFrequentActivityDoesNotVanishInAFilteredChoice) {
    // A choice of {a, b}, {c} and {e} as a filtered graph might give it: the cases a b e go
    // whole to {a, b}, which would drop all ten events of e. With at most ten events allowed
    // to vanish, e joins the part its cases went to.
    using Parts = std::vector<std::vector<std::int32_t>>;
    const TraceLog log = test::letters({{"ab", 50}, {"c", 50}, {"abe", 10}});
    const Cut cut{Cut::Kind::choice, Parts{{0, 1}, {2}, {4}}};
    EXPECT_EQ(keep_choice_activities(log, cut, 26, 10).parts, (Parts{{0, 1, 4}, {2}}));
    EXPECT_EQ(keep_choice_activities(log, cut, 26, 11).parts, cut.parts);
    // Where no two parts remain, there is no choice.
    const Cut two{Cut::Kind::choice, Parts{{0, 1}, {4}}};
    EXPECT_EQ(keep_choice_activities(test::letters({{"abe", 10}}), two, 26, 1).kind,
              Cut::Kind::none);
}

TEST(InductiveMiner, ActivitiesWithoutALeafAreNamedWithTheirEvents) {
    // A tree over a and b of a log that also holds x (three times in two cases) and y (once).
    VariantLog log;
    log.names = {"a", "b", "x", "y"};
    log.traces = {Trace{{0, 1}, 50}, Trace{{0, 2, 1}, 1}, Trace{{0, 2, 2, 3}, 1}};
    const ProcessTree tree = ProcessTree::node(
        ProcessTree::Kind::sequence, {ProcessTree::activity(0), ProcessTree::activity(1)});
    EXPECT_EQ(left_out_activities(tree, log), (std::vector<LeftOutActivity>{{"x", 3}, {"y", 1}}));
    // Mined without the filter, nothing is left out.
    EXPECT_TRUE(left_out_activities(mine_tree(log.traces, 4, InductiveOptions{0.0}), log).empty());
}

TEST(InductiveMiner, CutsOnTheGraphAlone) {
    // a -> b -> c and a -> c: the sequence orders all three.
    const FollowsGraph graph(test::letters({{"abc", 1}, {"ac", 1}}), 26);
    const Cut cut = sequence_cut(graph);
    ASSERT_EQ(cut.kind, Cut::Kind::sequence);
    EXPECT_EQ(cut.parts, (std::vector<std::vector<std::int32_t>>{{0}, {1}, {2}}));
    // A parallel part must start and end somewhere: b never ends, so no parallel cut.
    EXPECT_EQ(parallel_cut(FollowsGraph(test::letters({{"abc", 1}, {"bac", 1}}), 26)).kind,
              Cut::Kind::none);
    // The eventually-follows graph: each event counts once towards every later activity, so a
    // repeated activity weighs as often as it occurs, not as the square of it.
    const FollowsGraph eventually =
        FollowsGraph::eventually(test::letters({{"abbbc", 2}}), 26, -1, RepeatWeight::each_event);
    EXPECT_EQ(eventually.edge(0, 1), 2);  // a before the b's, in two cases
    EXPECT_EQ(eventually.edge(1, 1), 4);  // the first two b's before another b
    EXPECT_EQ(eventually.edge(1, 2), 6);  // each b before c
    EXPECT_EQ(eventually.edge(2, 0), 0);
    // Weighed by pairs, the three b's count against each other and a three times.
    const FollowsGraph pairs =
        FollowsGraph::eventually(test::letters({{"abbbc", 2}}), 26, -1, RepeatWeight::every_pair);
    EXPECT_EQ(pairs.edge(0, 1), 6);
    EXPECT_EQ(pairs.edge(1, 1), 6);
    EXPECT_EQ(pairs.edge(1, 2), 6);
}

TEST(InductiveMiner, VariantsAreCountedFromTheLines) {
    Tloglist lines;
    for (const auto& [name, case_number] :
         std::vector<std::pair<const char*, int>>{{"x", 0}, {"y", 0}, {"x", 1}, {"y", 1}, {"y", 2}})
        lines.emplace_back(std::string(name), case_number);
    const VariantLog variants = variants_of(lines);
    EXPECT_EQ(variants.names, (std::vector<std::string>{"x", "y"}));
    ASSERT_EQ(variants.traces.size(), 2U);
    EXPECT_EQ(variants.traces[0], (Trace{{0, 1}, 2}));
    EXPECT_EQ(variants.traces[1], (Trace{{1}, 1}));
    EXPECT_EQ(case_total(variants.traces), 3);
}

}  // namespace
}  // namespace vesk
