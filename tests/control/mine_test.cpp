// The whole run on the example log: relations, net, replay.

#include <gtest/gtest.h>

#include "support/example_run.h"
#include "support/transition_sets.h"

#include <map>
#include <set>

#include "control/build_relations.h"
#include "control/mine_run.h"
#include "control/relations_inspection.h"

namespace vesk {
namespace {

// Whole minutes since 1 January 2002, counted in integers (the example log stays in 2002).
std::int64_t minute_of(const Tlog_line& line) {
    static constexpr int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const Tdate d = line.date();
    const std::int64_t day = kDaysBefore[d.month - 1] + d.day - 1 + (d.year - 2002) * 365;
    return day * 1440 + line.time().hour * 60 + line.time().minute;
}

// Flow time per case straight from the log: first line to last line.
std::vector<double> flow_times_of(const Tloglist& log) {
    std::map<std::int32_t, std::pair<std::int64_t, std::int64_t>> span;
    for (const Tlog_line& line : log) {
        auto [it, added] = span.try_emplace(line.case_number(), minute_of(line), minute_of(line));
        it->second.second = minute_of(line);
    }
    std::vector<double> minutes;
    for (const auto& [_, first_last] : span)
        minutes.push_back(static_cast<double>(first_last.second - first_last.first));
    return minutes;
}

using test::PlaceSets;
using test::transition_sets;

class MineExample : public ::testing::TestWithParam<bool> {};

TEST_P(MineExample, ReplayOnItsOwnNetGivesTheLogsFlowTimes) {
    Tvesk_util controller;
    build_relations(controller, test::example_relations(controller, "1"));
    RelationsInspection inspection(controller);
    inspection.open_with_task_list();
    inspection.make_petrinet(GetParam());
    EXPECT_GE(controller.net().transitions().size(), 10u);
    RecordingSink sink;
    controller.replay(false, sink);
    EXPECT_EQ(controller.flow_time().observations(), flow_times_of(controller.log()));
    EXPECT_EQ(controller.flow_time().Nr_of_observations(), 30);
    // After the construction the task list holds exactly the tasks of the log again.
    for (Ttask* task : controller.main_task_list())
        EXPECT_EQ(task->name().find("$%&"), std::string::npos) << task->name();
}

INSTANTIATE_TEST_SUITE_P(SplitOrNot, MineExample, ::testing::Bool());

// The order-handling net drawn by hand from the process the example log was made from:
// receive order, then check credit and check stock in parallel, then approve or reject; an
// approved order is shipped and invoiced, reminded any number of times, and paid; every order
// is closed. Its log fits it exactly.
TEST(MineExampleNet, TheAlphaNetIsTheOneDrawnByHandAndTheLogFitsIt) {
    const auto c = [](const char* task) { return std::string(task) + "_complete"; };
    const std::set<PlaceSets> by_hand = {
        {{}, {c("receive order")}},
        {{c("receive order")}, {c("check credit")}},
        {{c("receive order")}, {c("check stock")}},
        {{c("check credit")}, {c("approve order"), c("reject order")}},
        {{c("check stock")}, {c("approve order"), c("reject order")}},
        {{c("approve order")}, {c("ship goods")}},
        {{c("ship goods")}, {c("send invoice")}},
        {{c("send invoice"), c("send reminder")}, {c("receive payment"), c("send reminder")}},
        {{c("receive payment"), c("reject order")}, {c("close order")}},
        {{c("close order")}, {}}};
    Tvesk_util controller;
    test::mine_example(controller, "1");
    EXPECT_EQ(transition_sets(controller.net()), by_hand);
    const Tpetrinet& net = controller.net();
    EXPECT_TRUE(net.unfired_tasks.empty());
    EXPECT_TRUE(net.is_safe);
    EXPECT_FALSE(net.tokens_left);
}

}  // namespace
}  // namespace vesk
