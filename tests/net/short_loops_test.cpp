#include "net/short_loop_transitions.h"

#include <gtest/gtest.h>

#include "log/vesk_logline_reader.h"
#include "mining/vesk_task_build.h"
#include "net/net_builder.h"
#include "net/vesk_redisc_build.h"
#include "support/task_dump.h"

namespace vesk {
namespace {

using test::names;
using Sets = std::vector<std::string>;

class ShortLoopTest : public ::testing::Test {
protected:
    void mine(const std::vector<std::vector<std::string>>& cases) {
        for (std::size_t c = 0; c < cases.size(); ++c)
            for (const std::string& name : cases[c])
                log_.emplace_back(name, static_cast<int>(c));
        compute_loop_information(log_);
        build_task_list(log_, tasks_);
    }
    Ttask& task(const std::string& name) {
        Ttask* found = tasks_.find_by_name(name);
        if (found == nullptr) throw std::runtime_error("no task " + name);
        return *found;
    }
    // prepare, construct, restore, as around every construction.
    void build_net(bool split) {
        prepare_short_loops(tasks_, loops_, split);
        Build_net(net_, tasks_);
        if (!split) Add_loop_tasks(net_, loops_.one_loop);
        restore_short_loops(tasks_, loops_, net_, split);
    }
    Tloglist log_;
    Towned_tasklist tasks_;
    ShortLoopLists loops_;
    Tpetrinet net_;
};

TEST_F(ShortLoopTest, TwoLoopIsCausalBothWaysDuringTheConstructionOnly) {
    mine({{"P_c", "A_c", "B_c", "A_c", "S_c"}});
    prepare_short_loops(tasks_, loops_, false);
    EXPECT_EQ(names(task("A_c").causal_successors()), "S_c B_c");
    EXPECT_EQ(names(task("B_c").causal_successors()), "A_c");
    EXPECT_TRUE(task("A_c").parallel().empty());
    restore_short_loops(tasks_, loops_, net_, false);
    EXPECT_EQ(names(task("A_c").parallel()), "B_c");
    EXPECT_EQ(names(task("A_c").causal_successors()), "S_c");
    EXPECT_TRUE(task("B_c").causal_successors().empty());
}

TEST_F(ShortLoopTest, OneLoopTaskIsSetAsideAndComesBackAtTheEnd) {
    mine({{"P_c", "A_c", "A_c", "S_c"}});
    prepare_short_loops(tasks_, loops_, false);
    EXPECT_EQ(tasks_.find_by_name("A_c"), nullptr);
    EXPECT_EQ(loops_.one_loop.count(), 1);
    EXPECT_TRUE(task("P_c").causal_successors().empty());
    restore_short_loops(tasks_, loops_, net_, false);
    EXPECT_EQ(tasks_.name_at(2), "A_c");
    EXPECT_EQ(names(task("P_c").causal_successors()), "A_c");
    EXPECT_EQ(names(task("S_c").causal_predecessors()), "A_c");
}

TEST_F(ShortLoopTest, WithoutSplitTheLoopTransitionSitsOnThePlaceBetweenItsNeighbours) {
    mine({{"P_c", "A_c", "A_c", "S_c"}, {"P_c", "S_c"}});
    build_net(false);
    const Sets arcs = test::arc_list(net_);
    EXPECT_EQ(Sets(arcs.end() - 2, arcs.end()),
              (Sets{"[*P_c*|*S_c*] -> A_c", "A_c -> [*P_c*|*S_c*]"}));
}

TEST_F(ShortLoopTest, SplitCopiesFormACycleWithShiftedDistances) {
    mine({{"P_c", "A_c", "A_c", "X_c", "Y_c", "S_c"}});
    const std::int32_t distance = task("A_c").distance(&task("S_c"), Direction::successor);
    prepare_short_loops(tasks_, loops_, true);
    ASSERT_EQ(loops_.copies.count(), 3);
    Ttask* c1 = loops_.copies.get(0);
    Ttask* c3 = loops_.copies.get(2);
    EXPECT_EQ(c1->name(), "&%$1loop1$%&A_c");
    EXPECT_EQ(c1->loop_length, 3);
    EXPECT_EQ(names(c1->causal_predecessors()), "&%$1loop3$%&A_c P_c");
    EXPECT_EQ(names(c3->causal_successors()), "&%$1loop1$%&A_c X_c");
    EXPECT_EQ(names(c1->causal_successors()), "&%$1loop2$%&A_c");
    for (std::int32_t k = 0; k < 3; ++k)
        EXPECT_EQ(loops_.copies.get(k)->distance(&task("S_c"), Direction::successor),
                  distance + 2 - k);
    EXPECT_EQ(tasks_.find_by_name("A_c"), nullptr);
    EXPECT_EQ(tasks_.name_at(tasks_.count() - 1), "&%$1loop3$%&A_c");
}

TEST_F(ShortLoopTest, SplitMergesTheCopiesIntoOneSelfLoopingTransition) {
    // The loop task stands first in the list and starts the cases.
    mine({{"A_c", "A_c", "S_c"}, {"A_c", "S_c"}});
    build_net(true);
    const Ttransition* a = net_.Find_transition("A_c");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(net_.transitions().size(), 2u);
    const Parclist inputs = net_.Arcs_of_transition(a, false);
    const Parclist outputs = net_.Arcs_of_transition(a, true);
    ASSERT_EQ(inputs.size(), 2u);  // the start place and the loop's own place
    // One place that A both consumes from and produces into.
    int self_loops = 0;
    for (const Tarc* in : inputs)
        for (const Tarc* out : outputs)
            self_loops += in->place == out->place;
    EXPECT_EQ(self_loops, 1);
    EXPECT_EQ(loops_.copies.count(), 0);
    for (Ttask* t : tasks_)
        EXPECT_EQ(t->name().find("loop"), std::string::npos);
    EXPECT_EQ(names(task("A_c").causal_successors()), "S_c");
}

TEST_F(ShortLoopTest, SplitTwoLoopBecomesOneTransitionAgain) {
    mine({{"P_c", "A_c", "B_c", "A_c", "S_c"}, {"P_c", "A_c", "S_c"}});
    prepare_short_loops(tasks_, loops_, true);
    ASSERT_EQ(loops_.copies.count(), 2);
    EXPECT_EQ(loops_.copies.get(1)->name(), "&%$2loop2$%&A_c");
    EXPECT_EQ(loops_.copies.get(0)->loop_length, 4);
    // The middle task sits between the second and the first copy: c1 -> c2 -> B -> c1.
    EXPECT_EQ(names(task("B_c").causal_successors()), "&%$2loop1$%&A_c");
    EXPECT_EQ(names(task("B_c").causal_predecessors()), "&%$2loop2$%&A_c");
    Build_net(net_, tasks_);
    restore_short_loops(tasks_, loops_, net_, true);
    EXPECT_NE(net_.Find_transition("A_c"), nullptr);
    for (const auto& t : net_.transitions())
        EXPECT_EQ(t->name.find("loop"), std::string::npos);
    EXPECT_EQ(tasks_.count(), 4);
    EXPECT_EQ(names(task("A_c").parallel()), "B_c");
}

}  // namespace
}  // namespace vesk
