#include "control/vesk_util.h"

#include <gtest/gtest.h>

#include "support/log_xml.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using test::Entry;
using test::Process;

using test::complete_only;

TEST(Controller, ProcessListEntries) {
    EXPECT_EQ(process_list_entry({"1", "order handling"}), "1 (order handling)");
    EXPECT_EQ(process_list_entry({"2", std::nullopt}), "2 (none)");
    EXPECT_EQ(process_id_of_entry("1 (order handling)"), "1");
    EXPECT_EQ(process_id_of_entry("17"), "17");
}

TEST(Controller, ResetLeavesNothingOfTheEarlierRun) {
    test::TempDir dir;
    Tvesk_util controller;
    EXPECT_EQ(controller.case_count(), -1);
    controller.load_log(
        dir.write("log.xml", test::log_xml({Process{.cases = {{Entry{"A"}, Entry{"B"}}}}})), false);
    controller.set_filter(complete_only());
    controller.read_process("1");
    controller.build_task_list();
    EXPECT_EQ(controller.case_count(), 1);
    EXPECT_EQ(controller.main_task_list().count(), 2);

    controller.reset();
    std::vector<std::string> lines;
    controller.relations_text(lines);
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(controller.log().empty());
    EXPECT_EQ(controller.case_count(), -1);
    EXPECT_EQ(controller.process_description(), "");
}

TEST(Controller, AFailedReadKeepsTheLogItHad) {
    test::TempDir dir;
    Tvesk_util controller;
    controller.load_log(dir.write("log.xml", test::log_xml({Process{.cases = {{Entry{"A"}}}}})),
                        false);
    controller.set_filter(complete_only());
    controller.read_process("1");
    EXPECT_THROW(controller.read_process("2"), LogFormatError);
    EXPECT_EQ(controller.log().size(), 1u);
}

// Reading tells the events read every 20,000; the replay the cases begun of all of them.
TEST(Controller, ProgressCountsTheEventsReadAndTheCasesReplayed) {
    test::TempDir dir;
    Process process;
    for (int c = 0; c < 20000; ++c)
        process.cases.push_back({Entry{"A", "complete", "04-03-2002", "10:00"},
                                 Entry{"B", "complete", "04-03-2002", "10:05"}});
    Tvesk_util controller;
    std::vector<std::string> told;
    controller.set_progress([&told](const Progress& p) {
        told.push_back(p.step + " " + std::to_string(p.done) + "/" + std::to_string(p.total));
    });
    controller.load_log(dir.write("log.xml", test::log_xml({process})), false);
    controller.set_filter(complete_only());
    controller.read_process("1");
    EXPECT_EQ(told, (std::vector<std::string>{"Reading 20000/0", "Reading 40000/0"}));
    controller.build_task_list();
    controller.make_net(false);
    told.clear();
    RecordingSink sink;
    controller.replay(false, sink);
    // The last word is the end's, so that no line stays at a count short of the whole.
    EXPECT_EQ(told, (std::vector<std::string>{"Replaying 20000/20000", "Replayed 20000/20000"}));
}

TEST(Controller, RelationsTextListsEveryTask) {
    test::TempDir dir;
    Tvesk_util controller;
    controller.load_log(
        dir.write("log.xml", test::log_xml({Process{.cases = {{Entry{"A"}, Entry{"B"}, Entry{"A"}},
                                                              {Entry{"A"}, Entry{"C"}}}}})),
        false);
    controller.set_filter(complete_only());
    controller.read_process("1");
    controller.build_task_list();
    std::vector<std::string> lines;
    controller.relations_text(lines);
    const std::vector<std::string> expected = {
        "",
        "A_complete  2",
        "  < B_complete ",
        "  > B_complete C_complete ",
        " -> C_complete ",
        " <- ",
        " || B_complete ",
        "two loop with:",
        "    B_complete",
        "",
        "B_complete  2147483647",
        "  < A_complete ",
        "  > A_complete ",
        " -> ",
        " <- ",
        " || A_complete ",
        "",
        "C_complete  2147483647",
        "  < A_complete ",
        "  > ",
        " -> ",
        " <- A_complete ",
        " || ",
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace vesk
