// The fast loop step and task-list build against their literal references on random logs.

#include <gtest/gtest.h>

#include <random>

#include "log/vesk_logline_reader.h"
#include "mining/literal_task_build.h"
#include "mining/vesk_task_build.h"
#include "support/task_dump.h"

namespace vesk {
namespace {

// Few activities and events, so that repetitions, short loops and life cycles are common.
Tloglist random_log(std::mt19937& random) {
    static const char* const activities[] = {"A", "B", "C", "D"};
    static const char* const events[] = {"complete", "complete", "start",    "start", "schedule",
                                         "suspend",  "resume",   "withdraw", "abort", "normal"};
    std::uniform_int_distribution<int> case_count(1, 6);
    std::uniform_int_distribution<int> gap(1, 3);
    std::uniform_int_distribution<int> length(1, 14);
    std::uniform_int_distribution<int> activity(0, 3);
    std::uniform_int_distribution<int> event(0, 9);
    std::uniform_int_distribution<int> activity_count(1, 4);
    std::uniform_int_distribution<int> long_case(0, 9);

    Tloglist log;
    const int used_activities = activity_count(random);
    std::int32_t case_number = -1;
    for (int c = case_count(random); c > 0; --c) {
        case_number += gap(random);
        const int lines = long_case(random) == 0 ? 60 : length(random);
        for (int i = 0; i < lines; ++i) {
            const std::string name = std::string(activities[activity(random) % used_activities]) +
                                     "_" + events[event(random)];
            log.emplace_back(name, case_number);
        }
    }
    return log;
}

std::string dump_lines(const Tloglist& log) {
    std::string text;
    for (const Tlog_line& line : log) {
        text += log.name(line) + ' ' + std::to_string(line.loop_length);
        for (const std::int32_t partner : log.two_loop_partners(line))
            text += ' ' + log.name_of(partner);
        text += '\n';
    }
    return text;
}

TEST(TaskBuildEquivalence, FastBuildMatchesLiteralBuildOnRandomLogs) {
    std::mt19937 random(20021231);
    for (int round = 0; round < 3000; ++round) {
        Tloglist fast_log = random_log(random);
        Tloglist literal_log = fast_log;
        compute_loop_information(fast_log);
        test::literal_loop_information(literal_log);
        ASSERT_EQ(dump_lines(fast_log), dump_lines(literal_log)) << "round " << round;

        Towned_tasklist fast;
        Towned_tasklist literal;
        build_task_list(fast_log, fast);
        test::literal_build_task_list(literal_log, literal);
        ASSERT_EQ(test::dump_tasks(fast), test::dump_tasks(literal)) << "round " << round;
    }
}

}  // namespace
}  // namespace vesk
