#include <gtest/gtest.h>

#include "log/vesk_logline_reader.h"
#include "mining/vesk_task_build.h"
#include "net/net_builder.h"
#include "net/vesk_redisc_build.h"
#include "net/vesk_redisc_replay.h"

namespace vesk {
namespace {

using Sets = std::vector<std::string>;

Tloglist make_log(const std::vector<std::vector<std::string>>& cases) {
    Tloglist log;
    for (std::size_t c = 0; c < cases.size(); ++c) {
        for (const std::string& name : cases[c]) {
            Tlog_line& line = log.emplace_back(name, static_cast<std::int32_t>(c));
            line.set_date({1, 1, 2002});
            line.set_time({10, static_cast<std::int32_t>(log.size() % 60), 0, 0});
        }
    }
    compute_loop_information(log);
    return log;
}

TEST(SecondConstruction, SkippableTaskGetsAnInvisibleTwin) {
    test::Relations r;
    r.cause("A_c", "B_c").cause("B_c", "C_c").cause("A_c", "C_c").start("A_c").end("C_c");
    Tpetrinet net;
    Build_net_2(net, r.tasks, true);
    EXPECT_TRUE(r.task("B_c")->is_skippable);
    EXPECT_EQ(r.tasks.count(), 3);  // the temporary start and end tasks are gone
    const Ttransition* skip = net.Find_transition("$#%skip#%$B_c");
    ASSERT_NE(skip, nullptr);
    EXPECT_EQ(skip->task, nullptr);
    const Ttransition* a = net.Find_transition("A_c");
    const Ttransition* c = net.Find_transition("C_c");
    // A -> p -> B or skip(B) -> q -> C
    EXPECT_EQ(net.Places_between(a, skip, true).size(), 1u);
    EXPECT_EQ(net.Places_between(skip, c, true).size(), 1u);
    EXPECT_TRUE(net.Places_between(a, c, true).empty());
    // The places before A and after C became the start and end places.
    EXPECT_EQ(net.Arcs_of_transition(a, false)[0]->place->input_set, "_#start#_");
    EXPECT_EQ(net.Arcs_of_transition(c, true)[0]->place->output_set, "_#end#_");
    EXPECT_EQ(net.transitions().size(), 4u);
}

TEST(SecondConstruction, ReplaysALogWithSkippedTasksWithoutFindings) {
    const Tloglist log = make_log({{"A_c", "B_c", "C_c"}, {"A_c", "C_c"}, {"A_c", "B_c", "C_c"}});
    Towned_tasklist tasks;
    build_task_list(log, tasks);
    for (const bool combine : {true, false}) {
        Tpetrinet net;
        Build_net_2(net, tasks, combine);
        RecordingSink sink;
        Treplay(net, log, tasks, sink).Replay(false);
        EXPECT_TRUE(net.unfired_tasks.empty());
        EXPECT_TRUE(net.is_safe);
        EXPECT_FALSE(net.tokens_left);
        EXPECT_EQ(net.flow_time.Nr_of_observations(), 3);
    }
}

TEST(SecondConstruction, ParallelAndChoiceSides) {
    // A splits into parallel B and C, which join in D; D chooses between E and F.
    const Tloglist log =
        make_log({{"A_c", "B_c", "C_c", "D_c", "E_c"}, {"A_c", "C_c", "B_c", "D_c", "F_c"}});
    Towned_tasklist tasks;
    build_task_list(log, tasks);
    Tpetrinet net;
    Build_net_2(net, tasks, true);
    RecordingSink sink;
    Treplay(net, log, tasks, sink).Replay(false);
    EXPECT_TRUE(net.unfired_tasks.empty());
    EXPECT_TRUE(net.is_safe);
    EXPECT_FALSE(net.tokens_left);
    const Ttransition* d = net.Find_transition("D_c");
    EXPECT_EQ(net.Arcs_of_transition(d, false).size(), 2u);  // waits for both branches
    EXPECT_EQ(net.Arcs_of_transition(d, true).size(), 1u);   // one place for the choice
}

}  // namespace
}  // namespace vesk
