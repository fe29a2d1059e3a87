// The conversion modules: an XES log converted gives what opening it directly gives, a CSV
// export of the same events gives the same relations, and bad input never leaves a file.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "csv_module.h"
#include "event_log_module.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

const std::filesystem::path kShared = VESK_SHARED_XES;

std::string relations_of(const std::string& log, const std::string& process,
                         const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"relations", log, "--process", process, "-q"};
    args.insert(args.end(), extra.begin(), extra.end());
    const test::CliResult r = test::run_cli(args);
    EXPECT_EQ(r.code, 0) << r.err;
    return r.out;
}

TEST(ConversionModules, AConvertedEventLogGivesTheRelationsOfTheLogItself) {
    if (!std::filesystem::exists(kShared)) GTEST_SKIP();
    test::TempDir dir;
    struct Case {
        const char* file;
        const char* process;
        std::vector<std::string> events;
        EventLogOptions options;
    };
    EventLogOptions into_name;
    into_name.lifecycle_into_name = true;
    const std::vector<Case> cases = {
        {"running-example.xes", "running-example", {}, {}},
        {"02_teleclaims.xes.gz", "", {"--events", "start,complete"}, {}},
        {"06_bpic2013_closed.xes.gz", "", {}, into_name},
        {"interval_event_log.xes", "", {}, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string source = (kShared / c.file).string();
        const std::string xml = dir.write(
            std::string(c.file) + ".xml",
            tools::event_log_to_workflow_log(source, false, c.options, "WorkFlow_log.dtd"));
        const auto listed = test::run_cli({"processes", source}).out;
        const std::string process = listed.substr(0, listed.find(' '));
        std::vector<std::string> direct_args = c.events;
        if (c.options.lifecycle_into_name) direct_args.push_back("--lifecycle-into-name");
        EXPECT_EQ(relations_of(xml, process, c.events), relations_of(source, process, direct_args));
        EXPECT_EQ(test::run_cli({"processes", xml}).out, listed);
    }
}

// The same four events as XES and as CSV exports with different quoting, delimiters and
// date forms.
const char* const kXes =
    "<log xes.version=\"1.0\"><string key=\"concept:name\" value=\"1\"/>"
    "<trace><event><string key=\"concept:name\" value=\"ask, then wait\"/>"
    "<date key=\"time:timestamp\" value=\"2020-03-04T09:00:00+01:00\"/></event>"
    "<event><string key=\"concept:name\" value=\"say &quot;hi&quot;\"/>"
    "<date key=\"time:timestamp\" value=\"2020-03-04T09:30:00+01:00\"/></event></trace>"
    "<trace><event><string key=\"concept:name\" value=\"say &quot;hi&quot;\"/>"
    "<date key=\"time:timestamp\" value=\"2020-03-05T10:00:00+01:00\"/></event>"
    "<event><string key=\"concept:name\" value=\"ask, then wait\"/>"
    "<date key=\"time:timestamp\" value=\"2020-03-05T11:00:00+01:00\"/></event></trace></log>";

std::string csv_log(const std::string& csv, tools::CsvOptions options = {}) {
    std::istringstream in(csv);
    return tools::csv_to_workflow_log(in, "1", "WorkFlow_log.dtd", options);
}

TEST(ConversionModules, CsvExportsOfTheSameEventsGiveTheRelationsOfTheXes) {
    test::TempDir dir;
    const std::string expected = relations_of(dir.write("events.xes", kXes), "1");
    ASSERT_NE(expected.find("ask, then wait_complete"), std::string::npos) << expected;
    using Order = tools::CsvOptions::DateOrder;
    tools::CsvOptions day_first_sorted;
    day_first_sorted.date_order = Order::day_first;
    day_first_sorted.sort = true;
    tools::CsvOptions month_first;
    month_first.date_order = Order::month_first;
    const std::vector<std::pair<std::string, tools::CsvOptions>> exports = {
        {"Case ID,Activity,Timestamp\n"
         "a,\"ask, then wait\",2020-03-04T08:00:00Z\n"
         "a,\"say \"\"hi\"\"\",2020-03-04T08:30:00Z\n"
         "b,\"say \"\"hi\"\"\",2020-03-05 09:00:00\n"
         "b,\"ask, then wait\",2020-03-05T10:00:00.000+00:00\n",
         {}},
        // Semicolons, a byte-order mark, CRLF, day-first dates and the rows of a case out of order.
        {"\xEF\xBB\xBF"
         "case:concept:name;concept:name;time:timestamp\r\n"
         "a;say \"hi\";04.03.2020 08:30\r\n"
         "b;ask, then wait;05.03.2020 10:00\r\n"
         "a;ask, then wait;04.03.2020 08:00\r\n"
         "b;say \"hi\";05.03.2020 09:00\r\n",
         day_first_sorted},
        // Tabs and month-first dates.
        {"case\tactivity\ttimestamp\n"
         "a\task, then wait\t03/04/2020 08:00:00\n"
         "a\tsay \"hi\"\t03/04/2020 08:30:00\n"
         "b\tsay \"hi\"\t03/05/2020 09:00:00\n"
         "b\task, then wait\t03/05/2020 10:00:00\n",
         month_first}};
    for (const auto& [csv, options] : exports) {
        SCOPED_TRACE(csv);
        const std::string xml = dir.write("events.xml", csv_log(csv, options));
        EXPECT_EQ(relations_of(xml, "1"), expected);
    }
}

TEST(ConversionModules, ARowWithTwoTimestampsIsAStartAndACompleteEvent) {
    const std::string xml = csv_log(
        "case,activity,start timestamp,end timestamp\n1,check,13/01/2021 08:00,13/01/2021 08:45\n");
    EXPECT_NE(xml.find("<date>13-01-2021</date><time>08:00:00.000</time><task_name>check"
                       "</task_name><event kind=\"start\"/>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<time>08:45:00.000</time><task_name>check</task_name>"
                       "<event kind=\"complete\"/>"),
              std::string::npos)
        << xml;
    // A start field of blanks (found by fuzzing) gives the end's event alone, complete as a row
    // without a lifecycle is.
    const std::string blank =
        csv_log("case,activity,start timestamp,end timestamp\n1,a,  ,2021-01-13T08:45:00\n");
    EXPECT_EQ(blank.find("kind=\"start\""), std::string::npos) << blank;
    EXPECT_NE(blank.find("<time>08:45:00.000</time><task_name>a</task_name><event "
                         "kind=\"complete\"/></audit_trail_entry>"),
              std::string::npos)
        << blank;
    // 13 cannot be a month, so that date was read day-first without being told; 03/04 can
    // be read both ways and is an error naming its line.
    try {
        csv_log("case,activity,timestamp\n1,a,03/04/2021 10:00\n");
        FAIL();
    } catch (const tools::CsvInputError& error) {
        EXPECT_NE(std::string(error.what()).find("line 2"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("--day-first"), std::string::npos);
    }
}

// A header of names the module does not know is refused with those names and the options
// that map them, not read as a first case; with the options the file converts.
TEST(ConversionModules, AnUnknownHeaderNamesItsColumnsAndTheOptions) {
    const std::string csv = "TicketID,Step,EventTime\nT1,open,2021-01-01T10:00:00\n";
    try {
        csv_log(csv);
        FAIL() << "an unknown header was read";
    } catch (const tools::CsvInputError& error) {
        EXPECT_NE(std::string(error.what()).find("(\"TicketID\", \"Step\", \"EventTime\")"),
                  std::string::npos)
            << error.what();
        EXPECT_NE(std::string(error.what()).find("--case=COLUMN"), std::string::npos);
    }
    tools::CsvOptions named;
    named.case_column = "TicketID";
    named.activity_column = "Step";
    named.timestamp_column = "EventTime";
    EXPECT_NE(csv_log(csv, named).find("<task_name>open</task_name>"), std::string::npos);
    // The module's first format has an event kind third and stays readable without a header.
    EXPECT_NE(csv_log("1,a,start,04-03-2002,10:00\n").find("<task_name>a</task_name>"),
              std::string::npos);
}

TEST(ConversionModules, BadInputGivesAMessageAnExitStatusAndNoFile) {
    test::TempDir dir;
    const std::string xml = (dir.path() / "out.xml").string();
    struct Bad {
        const char* module;
        const char* name;
        std::string content;
        const char* said;
    };
    const std::vector<Bad> bad = {
        {"xes", "cut.xes", "<log xes.version=\"1.0\"><trace><event>", "line 1"},
        {"xes", "text.xes", "not xml at all", "line 1"},
        {"xes", "empty.xes",
         "<log xes.version=\"1.0\"><string key=\"concept:name\" value=\"x\"/></log>", "no events"},
        {"mxml", "cut.mxml", "<WorkflowLog><Process id=\"1\">", "line 1"},
        {"csv", "nocase.csv", "activity,timestamp\na,2020-01-01T00:00:00\n", "no case column"},
        {"csv", "time.csv", "case,activity,timestamp\n1,a,yesterday\n", "line 2"}};
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.name);
        const std::string input = dir.write(b.name, b.content);
        const test::CliResult r = test::run_cli({"convert", b.module, input, xml});
        EXPECT_EQ(r.code, 1) << r.err;
        EXPECT_FALSE(std::filesystem::exists(xml));
    }
    // What the modules say, from the functions they run.
    std::istringstream in("activity,timestamp\na,2020-01-01T00:00:00\n");
    EXPECT_THROW(tools::csv_to_workflow_log(in, "x", "d"), tools::CsvInputError);
    EXPECT_THROW(
        tools::event_log_to_workflow_log(dir.write("e.xes", bad[2].content), false, {}, "d"),
        std::exception);
}

// Rows that do not fit their header, a header that names a column twice or no timestamp, a
// header without rows and a field the log's reader could not hold are refused with their place;
// a date that is no date either way is unreadable, not ambiguous.
TEST(ConversionModules, CsvThatWouldMisleadIsRefusedWithItsPlace) {
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"CaseID;Task;When\n1;a;2020-01-01\n",
         "line 1: no column of the header is a timestamp (columns taken: case \"CaseID\", "
         "activity \"Task\"; as attributes: \"When\")"},
        {"case,activity,timestamp\n1,a,2020-01-01,x\n",
         "line 2, column 4: 4 fields where the header has 3"},
        {"case,activity,timestamp\n1,a\n", "line 2, column 3: 2 fields where the header has 3"},
        {"case,activity,Activity,timestamp\n1,a,b,2020-01-01\n",
         "line 1, column 3: the header names \"Activity\" again (first in column 2)"},
        {"case,activity,timestamp\n", "the file holds a header and no rows"},
        {"case,activity,timestamp\n1,a,13/25/2020\n", "\"13/25/2020\" cannot be read"},
        {"case,activity,timestamp\n1," + std::string(10000001, 'x') + ",2020-01-01\n",
         "line 2, column 2: a field of 10000001 bytes"}};
    for (const auto& [csv, said] : refused) {
        try {
            csv_log(csv);
            ADD_FAILURE() << "read: " << csv.substr(0, 60);
        } catch (const tools::CsvInputError& error) {
            EXPECT_NE(std::string(error.what()).find(said), std::string::npos) << error.what();
        }
    }
    std::vector<std::string> notes;
    std::istringstream in("Case ID;Activity;Timestamp;Resource;Cost\n1;a;2020-01-01;ann;3\n");
    tools::csv_to_workflow_log(in, "x", "d", {}, &notes);
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "columns taken: case \"Case ID\", activity \"Activity\", timestamp "
                         "\"Timestamp\", resource \"Resource\"; as attributes: \"Cost\""}));
}

}  // namespace
}  // namespace vesk
