// Discovery over activity instances: start and complete events paired, instances that overlap
// taken as concurrent, and each activity a start and a complete step in the net. Every figure
// below is worked out by hand from the case written beside it.

#include <gtest/gtest.h>

#include "discovery/follows_graph.h"
#include "discovery/inductive_miner.h"
#include "discovery/trace_log.h"
#include "discovery/tree_net.h"

namespace vesk {
namespace {

// {"a+ b+ a- b-", ...}: "+" a start, "-" a complete, "." a single complete event; one case per
// text.
Tloglist instance_lines(const std::vector<std::string>& cases) {
    Tloglist lines;
    for (std::size_t c = 0; c < cases.size(); ++c)
        for (std::size_t i = 0; i + 1 < cases[c].size(); i += 3) {
            const char sign = cases[c][i + 1];
            const bool start = sign == '+';
            Tlog_line& line =
                lines.emplace_back(std::string(1, cases[c][i]) + (start ? "_start" : "_complete"),
                                   static_cast<std::int32_t>(c));
            line.set_event_type(start ? EventType::start : EventType::complete);
        }
    return lines;
}

std::string mined(const std::vector<std::string>& cases) {
    const VariantLog log = variants_of(instance_lines(cases));
    return tree_text(
        mine_tree(log.traces, static_cast<std::int32_t>(log.names.size()), InductiveOptions{0.0}),
        log.names);
}

TEST(Lifecycle, StartsAndCompletesArePairedIntoInstances) {
    // a and b overlap; c follows both; a lone complete of d is an instance of one moment.
    const VariantLog log = variants_of(instance_lines({"a+ b+ a- b- c+ c- d."}));
    EXPECT_EQ(log.names, (std::vector<std::string>{"a", "b", "c", "d"}));
    ASSERT_EQ(log.traces.size(), 1U);
    EXPECT_EQ(log.traces[0].events, (std::vector<std::int32_t>{0, 1, 2, 3}));
    // a and b end before c (position 2) begins; c before d, d last.
    EXPECT_EQ(log.traces[0].first_after, (std::vector<std::int32_t>{2, 2, 3, 4}));
    EXPECT_EQ(log.events, (std::vector<std::int64_t>{2, 2, 2, 1}));
    // The net's tasks: start before complete.
    ASSERT_EQ(log.tasks_of.size(), 4U);
    EXPECT_EQ(log.task_names[static_cast<std::size_t>(log.tasks_of[0][0])], "a_start");
    EXPECT_EQ(log.task_names[static_cast<std::size_t>(log.tasks_of[0][1])], "a_complete");
    EXPECT_EQ(log.tasks_of[3].size(), 1U);
    // Without start events the names keep their event types.
    Tloglist plain;
    plain.emplace_back("x_complete", 0).set_event_type(EventType::complete);
    EXPECT_EQ(variants_of(plain).names, (std::vector<std::string>{"x_complete"}));
    EXPECT_TRUE(variants_of(plain).tasks_of.empty());
}

TEST(Lifecycle, InstancesFollowDirectlyWithNothingWhollyBetween) {
    // a, then b running while c and then d run: c lies wholly between a and d.
    const VariantLog log = variants_of(instance_lines({"a+ a- b+ c+ c- d+ d- b-"}));
    const FollowsGraph graph(log.traces, 4);
    EXPECT_TRUE(graph.has_edge(0, 1));   // a -> b
    EXPECT_TRUE(graph.has_edge(0, 2));   // a -> c: b began after a but had not ended
    EXPECT_FALSE(graph.has_edge(0, 3));  // not a -> d: c lies between
    EXPECT_TRUE(graph.has_edge(2, 3));   // c -> d
    // b overlaps c and d: an edge each way.
    for (const std::int32_t other : {2, 3}) {
        EXPECT_TRUE(graph.has_edge(1, other));
        EXPECT_TRUE(graph.has_edge(other, 1));
    }
    EXPECT_TRUE(graph.is_start(0));
    EXPECT_FALSE(graph.is_start(1));
    EXPECT_TRUE(graph.is_end(1) && graph.is_end(3));
    EXPECT_FALSE(graph.is_end(2));
    // Eventually, either weighing: a before d; c before d, not d before c; b and d concurrent
    // both ways.
    for (const RepeatWeight repeats : {RepeatWeight::each_event, RepeatWeight::every_pair}) {
        const FollowsGraph later = FollowsGraph::eventually(log.traces, 4, -1, repeats);
        EXPECT_EQ(later.edge(0, 3), 1);
        EXPECT_EQ(later.edge(3, 2), 0);
        EXPECT_EQ(later.edge(3, 1), 1);
    }
}

TEST(Lifecycle, OverlappingInstancesAreParallelAndOthersInSequence) {
    EXPECT_EQ(mined({"a+ b+ a- b-", "b+ a+ b- a-"}), "+( 'a', 'b' )");
    // One after the other.
    EXPECT_EQ(mined({"a+ a- b+ b-"}), "->( 'a', 'b' )");
    // c (the first name, so listed first) runs beside the sequence a b.
    EXPECT_EQ(mined({"c+ a+ a- b+ b- c-", "a+ c+ a- b+ c- b-"}), "+( 'c', ->( 'a', 'b' ) )");
}

TEST(Lifecycle, EachActivityBecomesAStartAndACompleteStepInTheNet) {
    const VariantLog log = variants_of(instance_lines({"a+ a- b."}));
    const ProcessTree tree = mine_tree(log.traces, 2, InductiveOptions{0.0});
    EXPECT_EQ(tree_text(task_tree(tree, log), log.task_names),
              "->( 'a_start', 'a_complete', 'b_complete' )");
    // A start never completed, and a complete without a start: either step may be missing.
    const VariantLog lone = variants_of(instance_lines({"a+ a-", "a+", "b+ b-", "b."}));
    const ProcessTree choice = mine_tree(lone.traces, 2, InductiveOptions{0.0});
    EXPECT_EQ(tree_text(task_tree(choice, lone), lone.task_names),
              "X( ->( 'a_start', X( 'a_complete', tau ) ), ->( X( 'b_start', tau ), "
              "'b_complete' ) )");
}

}  // namespace
}  // namespace vesk
