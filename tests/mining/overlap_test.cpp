#include "mining/vesk_task_overlap.h"

#include <gtest/gtest.h>

#include "log/vesk_logline_reader.h"
#include "mining/vesk_task_build.h"
#include "support/task_dump.h"

namespace vesk {
namespace {

using test::names;

// One case per list; names are "activity_event".
class OverlapTest : public ::testing::Test {
protected:
    void build(const std::vector<std::vector<std::string>>& cases) {
        log_.clear();
        for (std::size_t c = 0; c < cases.size(); ++c) {
            for (const std::string& name : cases[c]) {
                Tlog_line& line = log_.emplace_back(name, static_cast<std::int32_t>(c));
                line.set_event({name.substr(name.rfind('_') + 1)});
            }
        }
        compute_loop_information(log_);
        build_task_list(log_, tasks_);
    }
    Ttask& task(const std::string& name) { return *tasks_.find_by_name(name); }

    Tloglist log_;
    Towned_tasklist tasks_;
};

TEST_F(OverlapTest, OverlappingIntervalsMakeEveryEventVariantParallel) {
    build({{"A_start", "B_start", "A_complete", "B_complete"}});
    overlap_parallel(log_, tasks_, "start", "complete");
    EXPECT_EQ(names(task("A_start").parallel()), "B_start B_complete");
    EXPECT_EQ(names(task("A_complete").parallel()), "B_start B_complete");
    EXPECT_EQ(names(task("A_start").causal_successors()), "A_complete");
    EXPECT_EQ(names(task("B_start").causal_predecessors()), "");
    EXPECT_EQ(names(task("A_complete").causal_successors()), "");
}

TEST_F(OverlapTest, WorkedExampleGetsASplitAndAJoin) {
    build({{"P_complete", "A_start", "B_start", "A_complete", "B_complete", "Q_complete"}});
    overlap_parallel(log_, tasks_, "start", "complete");
    EXPECT_EQ(names(task("P_complete").causal_successors()), "A_start B_start");
    EXPECT_EQ(names(task("B_start").causal_predecessors()), "P_complete");
    EXPECT_EQ(names(task("A_complete").causal_successors()), "Q_complete");
    EXPECT_EQ(names(task("Q_complete").causal_predecessors()), "B_complete A_complete");
    EXPECT_EQ(names(task("A_start").causal_successors()), "A_complete");
    EXPECT_EQ(names(task("B_start").causal_successors()), "B_complete");
}

TEST_F(OverlapTest, NestedIntervalIsFoundOnce) {
    build({{"A_start", "B_start", "B_complete", "A_complete"}});
    overlap_parallel(log_, tasks_, "start", "complete");
    EXPECT_EQ(names(task("B_start").parallel()), "A_start A_complete");
    EXPECT_EQ(names(task("A_start").parallel()), "B_start B_complete");
}

TEST_F(OverlapTest, IntervalStartsAtTheLastStartBeforeItsStop) {
    // A's interval is the second A_start .. A_complete, which holds B_start.
    build({{"A_start", "A_start", "B_start", "A_complete", "B_complete"}});
    overlap_parallel(log_, tasks_, "start", "complete");
    EXPECT_EQ(names(task("A_start").parallel()), "A_start B_start B_complete");
}

TEST_F(OverlapTest, UnfinishedOrSequentialActivitiesStayAsTheyAre) {
    build(
        {{"A_start", "B_start", "B_complete"}, {"C_start", "C_complete", "D_start", "D_complete"}});
    const std::string before = test::dump_tasks(tasks_);
    overlap_parallel(log_, tasks_, "start", "complete");
    EXPECT_EQ(test::dump_tasks(tasks_), before);
}

}  // namespace
}  // namespace vesk
