#include "mining/vesk_task_build.h"

#include <gtest/gtest.h>

#include "log/vesk_logline_reader.h"
#include "support/task_dump.h"

namespace vesk {
namespace {

using test::names;

// Cases given as lists of task-event names; loop information filled in as the reader does.
Tloglist make_log(const std::vector<std::vector<std::string>>& cases) {
    Tloglist log;
    for (std::size_t c = 0; c < cases.size(); ++c)
        for (const std::string& name : cases[c])
            log.emplace_back(name, static_cast<int>(c));
    compute_loop_information(log);
    return log;
}

Ttask& task(const Ttasklist& tasks, const std::string& name) {
    Ttask* found = tasks.find_by_name(name);
    if (found == nullptr) throw std::runtime_error("no task " + name);
    return *found;
}

TEST(TaskBuild, SuccessionsFlagsAndDerivedRelations) {
    const Tloglist log =
        make_log({{"A_c", "B_c", "C_c", "D_c"}, {"A_c", "C_c", "B_c", "D_c"}, {"E_c"}});
    Towned_tasklist tasks;
    build_task_list(log, tasks);
    ASSERT_EQ(tasks.count(), 5);
    EXPECT_EQ(tasks.name_at(2), "C_c");  // tasks in order of first occurrence
    EXPECT_EQ(task(tasks, "A_c").name_list(NameList::causal_successors), "B_c C_c ");
    EXPECT_EQ(names(task(tasks, "B_c").parallel()), "C_c");
    EXPECT_EQ(names(task(tasks, "D_c").causal_predecessors()), "C_c B_c");
    EXPECT_TRUE(task(tasks, "A_c").is_trace_start);
    EXPECT_FALSE(task(tasks, "A_c").is_trace_end);
    EXPECT_TRUE(task(tasks, "D_c").is_trace_end);
    EXPECT_TRUE(task(tasks, "E_c").is_trace_start && task(tasks, "E_c").is_trace_end);
    // Long distances keep the smallest distance per pair, in order of first sight.
    EXPECT_EQ(names(task(tasks, "A_c").long_successors()), "B_c:1 C_c:1 D_c:3");
    EXPECT_EQ(names(task(tasks, "D_c").long_predecessors()), "A_c:3 B_c:1 C_c:1");
}

TEST(TaskBuild, ShortLoopsReachTheTasks) {
    const Tloglist log = make_log({{"A_c", "B_c", "A_c", "C_c", "A_c"}, {"D_c", "D_c"}});
    Towned_tasklist tasks;
    build_task_list(log, tasks);
    EXPECT_EQ(task(tasks, "A_c").loop_length, 2);
    EXPECT_EQ(names(task(tasks, "A_c").tasks_in_two_loop), "B_c C_c");
    EXPECT_EQ(names(task(tasks, "A_c").parallel()), "B_c C_c");
    EXPECT_EQ(task(tasks, "D_c").loop_length, 1);
    EXPECT_EQ(names(task(tasks, "D_c").parallel()), "D_c");
    EXPECT_EQ(names(task(tasks, "D_c").long_successors()), "D_c:1");
    EXPECT_EQ(task(tasks, "B_c").loop_length, kNone);
}

TEST(TaskBuild, LifeCycleLinksFollowTheEventTypesPresent) {
    Towned_tasklist tasks;
    build_task_list(make_log({{"X_schedule", "Y_complete", "X_complete"}}), tasks);
    EXPECT_EQ(names(task(tasks, "X_schedule").causal_successors()), "Y_complete X_complete");

    build_task_list(make_log({{"X_schedule", "X_start", "Y_complete", "X_complete"}}), tasks);
    EXPECT_EQ(names(task(tasks, "X_schedule").causal_successors()), "X_start");
    EXPECT_EQ(names(task(tasks, "X_start").causal_successors()), "Y_complete X_complete");
    EXPECT_EQ(names(task(tasks, "X_complete").causal_predecessors()), "Y_complete X_start");
}

TEST(TaskBuild, SuspendAndResumeBecomeAParallelShortLoop) {
    Towned_tasklist tasks;
    build_task_list(make_log({{"X_start", "X_suspend", "X_resume", "X_complete"}}), tasks);
    const Ttask& suspend = task(tasks, "X_suspend");
    const Ttask& resume = task(tasks, "X_resume");
    EXPECT_EQ(suspend.loop_length, 2);
    EXPECT_EQ(resume.loop_length, 2);
    EXPECT_EQ(names(suspend.parallel()), "X_resume");
    EXPECT_EQ(names(suspend.tasks_in_two_loop), "X_resume");
    EXPECT_EQ(names(task(tasks, "X_suspend").causal_successors()), "");
    EXPECT_EQ(names(task(tasks, "X_resume").causal_predecessors()), "");
    EXPECT_EQ(names(task(tasks, "X_resume").causal_successors()), "X_complete");
    EXPECT_EQ(names(task(tasks, "X_start").causal_successors()), "X_suspend X_complete");
}

TEST(TaskBuild, EmptyLogGivesNoTasks) {
    Towned_tasklist tasks;
    tasks.create("old_complete");
    build_task_list(Tloglist{}, tasks);
    EXPECT_TRUE(tasks.empty());
}

}  // namespace
}  // namespace vesk
