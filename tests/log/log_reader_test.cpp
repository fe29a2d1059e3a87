#include <gtest/gtest.h>

#include "log/vesk_logline_reader.h"
#include "support/log_xml.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using test::Entry;
using test::Process;

using test::complete_only;

std::vector<std::string> names_of(const Tloglist& log) {
    std::vector<std::string> names;
    for (const Tlog_line& line : log)
        names.push_back(log.name(line));
    return names;
}

std::vector<std::int32_t> cases_of(const Tloglist& log) {
    std::vector<std::int32_t> cases;
    for (const Tlog_line& line : log)
        cases.push_back(line.case_number());
    return cases;
}

class LogReaderTest : public ::testing::Test {
protected:
    ProcessLog read(const std::string& xml, const Tevent_filter& filter,
                    const std::string& id = "1") const {
        const WorkflowLogFile file(dir_.write("log.xml", xml), false);
        return read_process_log(file, id, filter);
    }
    std::vector<LogProcess> list(const std::string& xml) const {
        return WorkflowLogFile(dir_.write("log.xml", xml), false).list_processes();
    }
    test::TempDir dir_;
};

TEST(LogDateTime, DatesAreReadByPositionAndFallBackWhenUnreadable) {
    EXPECT_EQ(parse_log_date("31-12-2001"), (Tdate{31, 12, 2001}));
    EXPECT_EQ(parse_log_date("31/12/2001"), (Tdate{31, 12, 2001}));
    EXPECT_EQ(parse_log_date("2002-01-31"), std::nullopt);
    EXPECT_EQ(parse_log_date("31-02-2002"), std::nullopt);
    EXPECT_EQ(parse_log_date("31-12-"), std::nullopt);
    EXPECT_EQ(parse_log_date("a1-12-2001"), std::nullopt);
    EXPECT_EQ(parse_log_date(""), std::nullopt);
}

TEST(LogDateTime, TimesAreReadByPositionWithOptionalSecondsAndFraction) {
    EXPECT_EQ(parse_log_time("09:30"), (Ttime{9, 30, 0, 0}));
    EXPECT_EQ(parse_log_time("09:30:15"), (Ttime{9, 30, 15, 0}));
    EXPECT_EQ(parse_log_time("09:30:15.25"), (Ttime{9, 30, 15, 25}));
    EXPECT_EQ(parse_log_time("09:30:15.500"), (Ttime{9, 30, 15, 500}));
    EXPECT_EQ(parse_log_time("09:30:1"), (Ttime{9, 30, 0, 0}));  // seconds need 8 characters
    EXPECT_EQ(parse_log_time("9:30"), std::nullopt);
    EXPECT_EQ(parse_log_time("09:3"), std::nullopt);
    EXPECT_EQ(parse_log_time("24:00"), std::nullopt);
    EXPECT_EQ(parse_log_time("09:30:15.x"), std::nullopt);
    EXPECT_EQ(parse_log_time("09:30:15.99999999999"), std::nullopt);
}

TEST_F(LogReaderTest, ListsProcessesAfterALeadingSourceOnly) {
    const std::string head = "<source/>\n";
    auto processes = list(test::log_xml(
        {Process{.id = "1", .description = "order handling"}, Process{.id = "2"}}, head));
    ASSERT_EQ(processes.size(), 2u);
    EXPECT_EQ(processes[0].id, "1");
    EXPECT_EQ(processes[0].description, "order handling");
    EXPECT_EQ(processes[1].description, std::nullopt);

    // A "source" in a later position is a process like any other.
    processes = list("<log><process id=\"1\"/><source id=\"s\"/></log>");
    ASSERT_EQ(processes.size(), 2u);
    EXPECT_EQ(processes[1].id, "s");
}

TEST_F(LogReaderTest, AProcessWithoutIdOrAMalformedFileFailsTheWholeListing) {
    EXPECT_THROW(list(test::log_xml({Process{.id = "1"}, Process{.id = std::nullopt}})),
                 LogFormatError);
    // A comment is a child like any other, and has no id.
    EXPECT_THROW(list("<log><!-- note --><process id=\"1\"/></log>"), LogFormatError);
    // Broken after the processes: still the whole file is refused.
    EXPECT_THROW(list("<log><process id=\"1\"/></log><trailing>"), XmlReadError);
    EXPECT_THROW(list("<log><process id=\"1\"></log>"), XmlReadError);
    EXPECT_THROW(WorkflowLogFile(dir_.path().string() + "/missing.xml", false).list_processes(),
                 XmlReadError);
}

TEST_F(LogReaderTest, TheFilterWorksOnTheRawKind) {
    const auto xml = test::log_xml({Process{
        .cases = {{Entry{"A", "complete"}, Entry{"B", "Complete"}, Entry{"C", std::nullopt},
                   Entry{"D", "start"}, Entry{"E", "normal"}, Entry{"F", "finish"}}}}});
    const ProcessLog log = read(xml, complete_only());
    EXPECT_EQ(names_of(log.lines),
              (std::vector<std::string>{"A_complete", "C_normal", "E_normal"}));
    Tevent_filter with_start = complete_only();
    with_start.start = true;
    EXPECT_EQ(read(xml, with_start).lines.size(), 4u);
}

TEST_F(LogReaderTest, UnwantedAbortOrWithdrawDropsTheWholeCase) {
    const auto xml = test::log_xml(
        {Process{.cases = {{Entry{"A", "start"}, Entry{"A", "complete"}},
                           {Entry{"A", "start"}, Entry{"A", "abort"}, Entry{"B", "complete"}},
                           {Entry{"A", "schedule"}, Entry{"A", "withdraw"}},
                           {Entry{"C", "complete"}}}}});
    Tevent_filter filter = complete_only();
    filter.start = true;
    filter.schedule = true;
    const ProcessLog log = read(xml, filter);
    EXPECT_EQ(cases_of(log.lines), (std::vector<std::int32_t>{0, 0, 3}));
    EXPECT_EQ(log.case_count, 4);

    filter.abort = true;
    filter.withdraw = true;
    EXPECT_EQ(cases_of(read(xml, filter).lines),
              (std::vector<std::int32_t>{0, 0, 1, 1, 1, 2, 2, 3}));
}

TEST_F(LogReaderTest, MissingOrUnreadableDateAndTimeGetDefaults) {
    const auto xml = test::log_xml(
        {Process{.cases = {{Entry{.task = "A", .date = "05-03-2002", .time = "09:30:15.25"},
                            Entry{.task = "B", .date = "2002-03-05", .time = "9:30"},
                            Entry{.task = "C"}}}}});
    const ProcessLog log = read(xml, complete_only());
    ASSERT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[0].date(), (Tdate{5, 3, 2002}));
    EXPECT_EQ(log.lines[0].time(), (Ttime{9, 30, 15, 25}));
    for (std::size_t i : {1u, 2u}) {
        EXPECT_EQ(log.lines[i].date(), kDefaultDate);
        EXPECT_EQ(log.lines[i].time(), kDefaultTime);
    }
}

TEST_F(LogReaderTest, CaseNumbersFollowPositionsAmongTheProcessChildren) {
    const std::string xml =
        "<log><process id=\"1\" description=\"d\">\n"
        "  <instance><entry><task_name>A</task_name><event kind=\"complete\"/></entry></instance>\n"
        "  <!-- a comment counts as an empty case -->\n"
        "  <instance/>\n"
        "  <instance><entry><task_name>B</task_name><event kind=\"complete\"/></entry></instance>\n"
        "</process><process id=\"2\"/></log>";
    const ProcessLog log = read(xml, complete_only());
    EXPECT_EQ(cases_of(log.lines), (std::vector<std::int32_t>{0, 3}));
    EXPECT_EQ(log.case_count, 4);
    EXPECT_EQ(log.description, "d");
    EXPECT_EQ(read(xml, complete_only(), "2").description, "none");
}

TEST_F(LogReaderTest, OnlyTheFirstChildOfEachNameCountsAndTextSpansDescendants) {
    const std::string xml =
        "<log><process id=\"1\"><i><e>"
        "<time>10:00</time><time>11:00</time><event/><event kind=\"complete\"/>"
        "<task_name>reg<b>ister</b></task_name><task_name>other</task_name>"
        "</e></i></process></log>";
    const ProcessLog log = read(xml, complete_only());
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines.name(log.lines[0]), "register_normal");
    EXPECT_EQ(log.lines[0].time(), (Ttime{10, 0, 0, 0}));
}

TEST_F(LogReaderTest, ReadFailuresNameWhatIsMissing) {
    const auto xml = test::log_xml({Process{.id = "1"}, Process{.id = "2"}});
    try {
        read(xml, complete_only(), "7");
        FAIL() << "no error for an unknown process";
    } catch (const LogFormatError& error) {
        EXPECT_NE(std::string(error.what()).find("\"7\""), std::string::npos);
    }
    EXPECT_THROW(read("<log><process id=\"1\"><i><e><event kind=\"complete\"/></e></i></process>"
                      "</log>",
                      complete_only()),
                 LogFormatError);
    // An entry that is not an element has no task name either.
    EXPECT_THROW(read("<log><process id=\"1\"><i><!-- x --></i></process></log>", complete_only()),
                 LogFormatError);
    // The process is complete, but the file breaks later on.
    EXPECT_THROW(read(test::log_xml({Process{.id = "1"}}) + "<more>", complete_only()),
                 XmlReadError);
}

TEST_F(LogReaderTest, LoopInformationOfARepeatedTask) {
    const auto xml = test::log_xml(
        {Process{.cases = {{Entry{"A"}, Entry{"B"}, Entry{"A"}, Entry{"C"}, Entry{"A"}},
                           {Entry{"D"}, Entry{"D"}, Entry{"E"}}}}});
    const ProcessLog log = read(xml, complete_only());
    ASSERT_EQ(log.lines.size(), 8u);
    using Partners = std::vector<std::string>;
    const auto partners = [&log](std::size_t k) {
        Partners names;
        for (const std::int32_t id : log.lines.two_loop_partners(log.lines[k]))
            names.push_back(log.lines.name_of(id));
        return names;
    };
    EXPECT_EQ(log.lines[0].loop_length, 2);
    EXPECT_EQ(partners(0), Partners{"B_complete"});
    EXPECT_EQ(partners(2), (Partners{"B_complete", "C_complete"}));
    // The last A is reached at the loop length its predecessor already has: partners only.
    EXPECT_EQ(log.lines[4].loop_length, kNone);
    EXPECT_EQ(partners(4), Partners{"C_complete"});
    EXPECT_EQ(log.lines[1].loop_length, kNone);
    EXPECT_EQ(log.lines[5].loop_length, 1);
    EXPECT_EQ(log.lines[6].loop_length, 1);
    EXPECT_TRUE(partners(5).empty());
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

TEST(EventFilter, KindsPassAsTheFilterSaysAndUnknownKindsNever) {
    Tevent_filter only_start;
    only_start.start = true;
    struct Case {
        std::optional<std::string> kind;
        bool passes;
    };
    const Case cases[] = {{std::nullopt, true}, {"start", true},    {"complete", false},
                          {"normal", true},     {"abort", true},    {"withdraw", true},
                          {"schedule", false},  {"Start", false},   {"bogus", false},
                          {"", false},          {"suspend", false}, {"resume", false}};
    for (const Case& c : cases)
        EXPECT_EQ(passes_event_filter(c.kind, only_start), c.passes) << c.kind.value_or("(none)");
}

}  // namespace
}  // namespace vesk
