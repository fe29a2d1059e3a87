#include "net/vesk_redisc_replay.h"

#include <gtest/gtest.h>

#include "log/vesk_logline_reader.h"
#include "mining/vesk_task_build.h"
#include "net/net_builder.h"
#include "net/vesk_redisc_build.h"

namespace vesk {
namespace {

double at(std::int32_t hour, std::int32_t minute) {
    return date_time_value({5, 3, 2002}, hour, minute);
}

struct Line {
    std::string name;
    std::int32_t hour, minute;
};

// Cases of (name, time) lines, built into a log, its task list and its net.
class ReplayTest : public ::testing::Test {
protected:
    static Tloglist make_log(const std::vector<std::vector<Line>>& cases) {
        Tloglist log;
        for (std::size_t c = 0; c < cases.size(); ++c) {
            for (const Line& l : cases[c]) {
                Tlog_line& line = log.emplace_back(l.name, static_cast<std::int32_t>(c));
                line.set_date({5, 3, 2002});
                line.set_time({l.hour, l.minute, 0, 0});
            }
        }
        compute_loop_information(log);
        return log;
    }
    void mine(const std::vector<std::vector<Line>>& cases) {
        log_ = make_log(cases);
        build_task_list(log_, tasks_);
        Build_net(net_, tasks_);
    }
    const Tplace& place(const std::string& input_set, const std::string& output_set) {
        for (const auto& p : net_.places())
            if (p->input_set == input_set && p->output_set == output_set) return *p;
        throw std::runtime_error("no place " + input_set + " -> " + output_set);
    }
    Tloglist log_;
    Towned_tasklist tasks_;
    Tpetrinet net_;
    RecordingSink sink_;
};

TEST(ReplayClock, DateTimeValuesAndMinutes) {
    EXPECT_EQ(date_time_value({30, 12, 1899}, 0, 0), 0.0);
    EXPECT_EQ(date_time_value({1, 1, 2002}, 12, 0), 37257.5);
    EXPECT_EQ(minutes_between(at(10, 0) - kMargin, at(10, 25) + kMargin), 25);
    EXPECT_EQ(minutes_between(at(10, 0) - kMargin, at(10, 0) + kMargin), 0);
}

TEST_F(ReplayTest, WaitingAndSojournOfASequence) {
    mine({{{"A_complete", 10, 0}, {"B_complete", 10, 25}}});
    Treplay(net_, log_, tasks_, sink_).Replay(true);
    const Tplace& between = place("*A_complete*", "*B_complete*");
    EXPECT_EQ(between.waiting_time.observations(), std::vector<double>{25});
    EXPECT_EQ(between.sojourn_time.observations(), std::vector<double>{25});
    EXPECT_EQ(between.sync_time.Nr_of_observations(), 0);
    EXPECT_EQ(net_.flow_time.observations(), std::vector<double>{25});
    ASSERT_EQ(sink_.messages.size(), 1u);
    EXPECT_EQ(sink_.messages[0].text, "No errors while calculating timing information");
    EXPECT_EQ(tasks_.find_by_name("A_complete")->times_in_log, 2);
}

TEST_F(ReplayTest, SynchronisationOfTwoInputPlaces) {
    Tpetrinet net;
    Ttask c("C_complete");
    Tplace* first = net.Add_place("*A*", "*C*");
    Tplace* second = net.Add_place("*B*", "*C*");
    Ttransition* fire = net.Add_transition("C_complete", &c);
    net.Add_input_arc(first, fire, 1);
    net.Add_input_arc(second, fire, 1);
    Treplay replay(net, log_, tasks_, sink_);
    EXPECT_FALSE(replay.Is_enabled(fire));
    replay.Put_token(first, true, at(9, 0));
    replay.Put_token(second, true, at(9, 40));
    EXPECT_TRUE(replay.Is_enabled(fire));
    EXPECT_FALSE(replay.Fire(fire, true, at(10, 0)));
    EXPECT_EQ(first->sync_time.observations(), std::vector<double>{40});
    EXPECT_EQ(first->waiting_time.observations(), std::vector<double>{20});
    EXPECT_EQ(first->sojourn_time.observations(), std::vector<double>{60});
    EXPECT_EQ(second->sync_time.observations(), std::vector<double>{0});
    EXPECT_EQ(second->waiting_time.observations(), std::vector<double>{20});
    EXPECT_EQ(second->sojourn_time.observations(), std::vector<double>{20});
    EXPECT_EQ(first->token_time, NO_TOKEN);
}

// Messages on, the whole log is replayed all the same: each finding is told once, and the
// figures and token counts are those of a replay without messages.
TEST_F(ReplayTest, MessagesTellEachFindingOnceAndTheWholeLogIsReplayed) {
    mine({{{"A_complete", 8, 0}, {"B_complete", 9, 0}}});
    log_ = make_log({{{"A_complete", 8, 0}, {"B_complete", 9, 0}},
                     {{"B_complete", 10, 0}},
                     {{"B_complete", 10, 30}},
                     {{"A_complete", 11, 0}, {"B_complete", 11, 30}}});
    const TokenCounts counts = Treplay(net_, log_, tasks_, sink_).Replay(true);
    ASSERT_EQ(sink_.messages.size(), 2u);
    EXPECT_EQ(sink_.messages[0].text, "Transition B_complete not enabled!");
    EXPECT_EQ(sink_.messages[1].text, "The net leaves tokens in places");
    EXPECT_EQ(net_.unfired_tasks.count(), 1);
    EXPECT_EQ(net_.flow_time.observations(), (std::vector<double>{60, 0, 0, 30}));
    EXPECT_EQ(place("*A_complete*", "*B_complete*").waiting_time.observations(),
              (std::vector<double>{60, 30}));
    // Counted by hand on start -> A -> p -> B -> end: a fitting case produces and consumes 3
    // tokens; a case of B alone produces 2 and consumes 2, one of them missing (p), and leaves
    // the start token behind.
    EXPECT_EQ(counts.produced, 10);
    EXPECT_EQ(counts.consumed, 10);
    EXPECT_EQ(counts.missing, 2);
    EXPECT_EQ(counts.remaining, 2);
    EXPECT_EQ(counts.fitting_cases, 2);
    EXPECT_EQ(counts, token_fitness(net_, log_, tasks_));
}

TEST_F(ReplayTest, WithMessagesOffEveryFindingIsRecorded) {
    mine({{{"A_complete", 8, 0}, {"B_complete", 9, 0}}});
    // Case 1 skips A, so B is not enabled and the start token stays behind.
    log_ = make_log({{{"A_complete", 8, 0}, {"B_complete", 9, 0}},
                     {{"B_complete", 10, 0}},
                     {{"A_complete", 11, 0}, {"B_complete", 11, 30}}});
    Treplay(net_, log_, tasks_, sink_).Replay(false);
    EXPECT_TRUE(sink_.messages.empty());
    EXPECT_EQ(net_.unfired_tasks.count(), 1);
    EXPECT_TRUE(net_.tokens_left);
    EXPECT_TRUE(net_.is_safe);
    EXPECT_EQ(net_.flow_time.observations(), (std::vector<double>{60, 0, 30}));
    // No times for the firing that was not enabled.
    EXPECT_EQ(place("*A_complete*", "*B_complete*").waiting_time.observations(),
              (std::vector<double>{60, 30}));
}

TEST_F(ReplayTest, LeftoverTokensAreReportedOnceAndNeverForTheEndPlace) {
    mine({{{"A_complete", 8, 0}},
          {{"A_complete", 9, 0}, {"B_complete", 9, 5}},
          {{"A_complete", 10, 0}}});
    Treplay(net_, log_, tasks_, sink_).Replay(true);
    ASSERT_EQ(sink_.messages.size(), 1u);
    EXPECT_EQ(sink_.messages[0].text, "The net leaves tokens in places");
    EXPECT_TRUE(net_.tokens_left);
    // The last case's tokens count too (they were once never looked at).
    log_ = make_log({{{"A_complete", 8, 0}, {"B_complete", 9, 0}}, {{"A_complete", 10, 0}}});
    net_.tokens_left = false;
    Treplay(net_, log_, tasks_, sink_).Replay(false);
    EXPECT_TRUE(net_.tokens_left);
}

TEST_F(ReplayTest, LinesOfUnknownTasksAreReportedLikeNonEnabledFirings) {
    mine({{{"A_complete", 8, 0}}});
    log_.emplace_back("ghost_complete", 0).set_date({5, 3, 2002});
    Treplay(net_, log_, tasks_, sink_).Replay(true);
    ASSERT_EQ(sink_.messages.size(), 1u);
    EXPECT_EQ(sink_.messages[0].text, "Transition ghost_complete not enabled!");
}

TEST_F(ReplayTest, BranchingProbabilitiesFollowTheTaskCounts) {
    Tpetrinet net;
    Ttask b("B_complete"), c("C_complete");
    b.times_in_log = 3;
    c.times_in_log = 1;
    Tplace* choice = net.Add_place("*A*", "*B*&*C*");
    Tplace* silent = net.Add_place("*X*", "*Y*");
    Tplace* exclusive = net.Add_place("_#ME#_1", "*B*");
    Tarc* to_b = net.Add_input_arc(choice, net.Add_transition("B_complete", &b), 1);
    Tarc* to_c = net.Add_input_arc(choice, net.Add_transition("C_complete", &c), 1);
    Tarc* to_skip = net.Add_input_arc(silent, net.Add_transition("$#%skip#%$0_normal", nullptr), 1);
    Tarc* me = net.Add_input_arc(exclusive, net.Find_transition("B_complete"), 1);
    Tloglist no_lines;
    Ttasklist no_tasks;
    Treplay(net, no_lines, no_tasks, sink_).Replay(true);
    EXPECT_EQ(to_b->probability, 0.75);
    EXPECT_EQ(to_c->probability, 0.25);
    EXPECT_EQ(to_skip->probability, 1.0);
    EXPECT_EQ(me->probability, 1.0);
    EXPECT_EQ(sink_.messages.back().text, "No timing information available");
    EXPECT_EQ(net.flow_time.Nr_of_observations(), 0);
}

TEST_F(ReplayTest, OneCaseFlowTime) {
    mine({{{"A_complete", 8, 0}, {"B_complete", 11, 30}}});
    Treplay(net_, log_, tasks_, sink_).Replay(false);
    EXPECT_EQ(net_.flow_time.observations(), std::vector<double>{210});
}

}  // namespace
}  // namespace vesk
