// XES and MXML read directly: counts taken from the files themselves with libxml2 (not with the
// readers under test), the lifecycle mapping, timestamps, and the textbook net of the running
// example drawn by hand.

#include "log/event_log_formats.h"

#include <gtest/gtest.h>

#include <libxml/xmlreader.h>
#include "support/transition_sets.h"

#include <filesystem>
#include <map>
#include <set>

#include "control/mine_run.h"
#include "log/iso_timestamp.h"
#include "log/vesk_logline_reader.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

const std::filesystem::path kShared = VESK_SHARED_XES;

// Traces, the events inside them, and their lifecycle:transition values, counted straight from
// the XML with libxml2's reader.
struct SourceCounts {
    std::int32_t traces = 0;
    std::int32_t events = 0;
    // Events with a start_timestamp, each also a start event when complete.
    std::int32_t interval_events = 0;
    std::map<std::string, std::int32_t> transitions;
};

SourceCounts count_source(const std::filesystem::path& file) {
    SourceCounts counts;
    xmlTextReaderPtr reader = xmlReaderForFile(file.c_str(), nullptr, XML_PARSE_NONET);
    EXPECT_NE(reader, nullptr);
    int trace_depth = -1, event_depth = -1;
    while (reader != nullptr && xmlTextReaderRead(reader) == 1) {
        if (xmlTextReaderNodeType(reader) != XML_READER_TYPE_ELEMENT) continue;
        const std::string name = reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader));
        const int depth = xmlTextReaderDepth(reader);
        if (depth <= trace_depth) trace_depth = -1;
        if (depth <= event_depth) event_depth = -1;
        if (name == "trace" && depth == 1) {
            ++counts.traces;
            trace_depth = depth;
            if (xmlTextReaderIsEmptyElement(reader)) trace_depth = -1;
        } else if (name == "event" && trace_depth >= 0 && depth == trace_depth + 1) {
            ++counts.events;
            event_depth = depth;
        } else if (event_depth >= 0 && depth == event_depth + 1) {
            xmlChar* key = xmlTextReaderGetAttribute(reader, BAD_CAST "key");
            if (key != nullptr && std::string(reinterpret_cast<char*>(key)) == "start_timestamp")
                ++counts.interval_events;
            if (key != nullptr &&
                std::string(reinterpret_cast<char*>(key)) == "lifecycle:transition") {
                xmlChar* value = xmlTextReaderGetAttribute(reader, BAD_CAST "value");
                ++counts.transitions[reinterpret_cast<char*>(value)];
                xmlFree(value);
            }
            xmlFree(key);
        }
    }
    xmlFreeTextReader(reader);
    return counts;
}

struct ReadCounts {
    std::int32_t cases = 0;
    std::int32_t events = 0;
    std::map<std::string, std::int32_t> kinds;  // "" for none
};

ReadCounts count_read(const std::string& path) {
    const WorkflowLogFile file(path, false);
    const auto processes = file.list_processes();
    EXPECT_EQ(processes.size(), 1u) << path;
    ReadCounts counts;
    if (processes.empty()) return counts;
    const ProcessHeader header = file.read_process(processes[0].id, [&](const LogEntryFields& e) {
        ++counts.events;
        ++counts.kinds[e.event_kind.value_or("")];
    });
    counts.cases = header.case_count;
    return counts;
}

TEST(EventLogs, EveryPublicLogOpensWithTheCountsOfItsSource) {
    if (!std::filesystem::exists(kShared)) GTEST_SKIP() << "no " << kShared;
    int logs = 0;
    for (const auto& item : std::filesystem::directory_iterator(kShared)) {
        const std::string name = item.path().filename().string();
        if (name.find(".xes") == std::string::npos) continue;
        ++logs;
        SCOPED_TRACE(name);
        const SourceCounts source = count_source(item.path());
        const ReadCounts read = count_read(item.path().string());
        EXPECT_EQ(read.cases, source.traces);
        // The public logs' interval events have no transition: each is a start and a complete.
        EXPECT_EQ(read.events, source.events + source.interval_events);
        // Every transition lands on its standard kind, compared without regard to case.
        std::map<std::string, std::int32_t> expected;
        std::int32_t without = source.events;
        for (const auto& [value, count] : source.transitions) {
            const auto kind = standard_event_kind(value);
            expected[kind.value_or("")] += count;
            without -= count;
        }
        // An event without a transition is a complete event.
        if (without > 0) expected["complete"] += without;
        if (source.interval_events > 0) expected["start"] += source.interval_events;
        EXPECT_EQ(read.kinds, expected);
    }
    EXPECT_EQ(logs, 19);
}

TEST(EventLogs, UpperCaseTransitionsOfBpic2012MapToTheStandardKinds) {
    if (!std::filesystem::exists(kShared)) GTEST_SKIP();
    const ReadCounts read = count_read((kShared / "bpic2012.xes.gz").string());
    EXPECT_EQ(read.kinds, (std::map<std::string, std::int32_t>{
                              {"complete", 164506}, {"start", 71376}, {"schedule", 26318}}));
    const ReadCounts teleclaims = count_read((kShared / "02_teleclaims.xes.gz").string());
    EXPECT_EQ(teleclaims.kinds,
              (std::map<std::string, std::int32_t>{{"complete", 24825}, {"start", 21313}}));
}

using test::PlaceSets;
using test::transition_sets;

TEST(EventLogs, TheRunningExampleGivesTheTextbookNetAndEveryCaseFits) {
    if (!std::filesystem::exists(kShared)) GTEST_SKIP();
    // From the six traces: a register request, then examine (casually or thoroughly) and check
    // ticket in parallel, then decide; after a decision the request is reinitiated (back to
    // both branches), or compensation is paid, or it is rejected.
    const auto n = [](const char* task) { return std::string(task) + "_complete"; };
    const std::set<PlaceSets> by_hand = {
        {{}, {n("register request")}},
        {{n("register request"), n("reinitiate request")},
         {n("examine casually"), n("examine thoroughly")}},
        {{n("register request"), n("reinitiate request")}, {n("check ticket")}},
        {{n("examine casually"), n("examine thoroughly")}, {n("decide")}},
        {{n("check ticket")}, {n("decide")}},
        {{n("decide")}, {n("reinitiate request"), n("pay compensation"), n("reject request")}},
        {{n("pay compensation"), n("reject request")}, {}}};
    Tvesk_util controller;
    controller.load_log((kShared / "running-example.xes").string(), false);
    const auto processes = controller.processes();
    ASSERT_EQ(processes.size(), 1u);
    EXPECT_EQ(processes[0].id, "running-example");
    BuildRelationsRequest request;
    request.process_id = processes[0].id;
    request.events = apply_event_choice({});
    SilentSink sink;
    mine_from_log(controller, request, {}, true, sink);
    const Tpetrinet& net = controller.net();
    EXPECT_EQ(net.transitions().size(), 8u);
    EXPECT_EQ(net.arcs().size(), 19u);
    EXPECT_EQ(transition_sets(net), by_hand);
    EXPECT_TRUE(net.unfired_tasks.empty());
    EXPECT_TRUE(net.is_safe);
    EXPECT_FALSE(net.tokens_left);
    EXPECT_EQ(controller.cases_in_log(), 6);

    Tvesk_util a12;
    a12.load_log((kShared / "a12f0n00.xes.gz").string(), false);
    request.process_id = "a12f0n00";
    mine_from_log(a12, request, {}, true, sink);
    EXPECT_EQ(a12.net().transitions().size(), 12u);
    EXPECT_EQ(a12.net().places().size(), 12u);  // 10 inner places, the start and the end
    EXPECT_EQ(a12.net().arcs().size(), 26u);
    EXPECT_TRUE(a12.net().unfired_tasks.empty());
}

TEST(EventLogs, TimestampsBecomeUtcUnlessTheWallClockIsKept) {
    const auto utc = log_timestamp("2010-12-30T14:32:00.000+01:00", false);
    ASSERT_TRUE(utc);
    EXPECT_EQ(utc->date, "30-12-2010");
    EXPECT_EQ(utc->time, "13:32:00.000");
    // Across midnight and the new year by the offset.
    const auto back = log_timestamp("2011-01-01T00:30:15.5+02:00", false);
    EXPECT_EQ(back->date, "31-12-2010");
    EXPECT_EQ(back->time, "22:30:15.500");
    EXPECT_EQ(log_timestamp("2011-01-01T00:30:15.5+02:00", true)->time, "00:30:15.500");
    EXPECT_EQ(log_timestamp("2011-03-27T01:59:59-0530", false)->time, "07:29:59.000");
    EXPECT_EQ(log_timestamp("2011-03-27T01:59:59Z", false)->time, "01:59:59.000");
    EXPECT_EQ(log_timestamp("2011-03-27 01:59", false)->time, "01:59:00.000");
    EXPECT_EQ(log_timestamp("2011-03-27", false)->time, "00:00:00.000");
    // The last one, found by fuzzing, once reached undefined behaviour in a stream parser.
    for (const char* bad : {"2011-02-30T00:00:00", "27-03-2011", "2011-03-27T25:00:00", "", "x",
                            "2011-03-27T01:59:59+0", "2012-05-01T10:0-:00.5+02:00"})
        EXPECT_FALSE(log_timestamp(bad, false)) << bad;
}

TEST(EventLogs, ClassifiersNonStandardTransitionsAndMxml) {
    test::TempDir dir;
    const std::string xes =
        dir.write("small.xes",
                  "<log xes.version=\"1.0\"><string key=\"concept:name\" value=\"my log\"/>"
                  "<classifier name=\"both\" keys=\"concept:name org:resource\"/>"
                  "<trace><event><string key=\"concept:name\" value=\"a&amp;b\"/>"
                  "<string key=\"org:resource\" value=\"ann\"/>"
                  "<string key=\"lifecycle:transition\" value=\"In Progress\"/>"
                  "<date key=\"time:timestamp\" value=\"2012-05-01T10:00:00+00:00\"/></event>"
                  "<event><string key=\"concept:name\" value=\"c\"/><string key=\"org:resource\" "
                  "value=\"bo\"/>"
                  "<string key=\"lifecycle:transition\" value=\"ate_abort\"/></event></trace>"
                  "<trace/></log>");
    std::vector<LogEntryFields> seen;
    const auto collect = [&seen](const LogEntryFields& e) { seen.push_back(e); };
    WorkflowLogFile plain(xes, false);
    EXPECT_EQ(plain.list_processes()[0].id, "my_log");
    EXPECT_EQ(plain.list_processes()[0].description, "my log");
    const ProcessHeader header = plain.read_process("my_log", collect);
    EXPECT_EQ(header.case_count, 2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].task_name, "a&b");
    EXPECT_FALSE(seen[0].event_kind);
    EXPECT_EQ(seen[1].event_kind, "abort");
    EXPECT_EQ(header.notes.unmapped_transitions, 1);
    EXPECT_EQ(header.notes.unmapped_spellings, std::vector<std::string>{"In Progress"});
    EXPECT_EQ(header.notes.missing_timestamps, 1);

    seen.clear();
    EventLogOptions both;
    both.classifier = "both";
    both.lifecycle_into_name = true;
    WorkflowLogFile named(xes, false, both);
    named.read_process("my_log", collect);
    EXPECT_EQ(seen[0].task_name, "a&b+ann+In Progress");
    EXPECT_EQ(seen[0].event_kind, "complete");
    EXPECT_EQ(seen[1].task_name, "c+bo");
    EventLogOptions none;
    none.classifier = "none";
    EXPECT_THROW(WorkflowLogFile(xes, false, none).read_process("my_log", collect), LogFormatError);
    EXPECT_THROW(plain.read_process("other", collect), LogFormatError);

    const std::string mxml = dir.write(
        "small.mxml",
        "<WorkflowLog><Source program=\"x\"/><Process id=\"p 1\" description=\"first\">"
        "<ProcessInstance id=\"i\"><AuditTrailEntry><WorkflowModelElement> register "
        "</WorkflowModelElement><EventType>COMPLETE</EventType>"
        "<Timestamp>2006-01-02T03:04:05.000+01:00</Timestamp></AuditTrailEntry>"
        "<AuditTrailEntry><WorkflowModelElement>x</WorkflowModelElement>"
        "<EventType unknowntype=\"odd\">unknown</EventType></AuditTrailEntry></ProcessInstance>"
        "</Process><Process id=\"2\"/></WorkflowLog>");
    const WorkflowLogFile m(mxml, false);
    const auto processes = m.list_processes();
    ASSERT_EQ(processes.size(), 2u);
    EXPECT_EQ(processes[0].id, "p_1");
    EXPECT_EQ(processes[0].description, "first");
    EXPECT_FALSE(processes[1].description);
    seen.clear();
    const ProcessHeader mh = m.read_process("p_1", collect);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].task_name, "register");
    EXPECT_EQ(seen[0].event_kind, "complete");
    EXPECT_EQ(seen[0].date, "02-01-2006");
    EXPECT_EQ(seen[0].time, "02:04:05.000");
    EXPECT_EQ(mh.notes.unmapped_spellings, std::vector<std::string>{"odd"});

    // A workflow log whose document element is called "log" stays a workflow log.
    const std::string workflow = dir.write(
        "log.xml", "<log><process id=\"1\"><i><e><task_name>t</task_name></e></i></process></log>");
    EXPECT_EQ(detect_log_format(workflow), LogFormat::workflow);
    EXPECT_EQ(detect_log_format(xes), LogFormat::xes);
    EXPECT_EQ(detect_log_format(mxml), LogFormat::mxml);
}

TEST(EventLogs, BrokenLogsFailWithTheParsersReason) {
    test::TempDir dir;
    const std::string truncated = dir.write(
        "cut.xes",
        "<log xes.version=\"1.0\"><trace><event><string key=\"concept:name\" value=\"a\"/>");
    try {
        WorkflowLogFile(truncated, false).list_processes();
        FAIL();
    } catch (const XmlReadError& error) {
        EXPECT_NE(std::string(error.what()).find("line 1"), std::string::npos) << error.what();
    }
    const std::string nameless =
        dir.write("nameless.xes",
                  "<log xes.version=\"1.0\"><trace><event><string key=\"x\" value=\"a\"/>"
                  "</event></trace></log>");
    EXPECT_THROW(WorkflowLogFile(nameless, false).read_process("nameless", [](const auto&) {}),
                 LogFormatError);
}

// An event in the interval form (time:timestamp and start_timestamp) is a start event and a
// complete event; an event with another transition is left as it is.
TEST(EventLogs, AnIntervalEventIsAStartAndACompleteEvent) {
    test::TempDir dir;
    const std::string log =
        dir.write("interval.xes",
                  "<log xes.version=\"1.0\"><string key=\"concept:name\" value=\"p\"/><trace>"
                  "<event><string key=\"concept:name\" value=\"a\"/>"
                  "<date key=\"time:timestamp\" value=\"2015-01-05T09:02:00.000+00:00\"/>"
                  "<date key=\"start_timestamp\" value=\"2015-01-05T09:00:00.000+00:00\"/></event>"
                  "<event><string key=\"concept:name\" value=\"b\"/>"
                  "<string key=\"lifecycle:transition\" value=\"start\"/>"
                  "<date key=\"time:timestamp\" value=\"2015-01-05T10:00:00.000+00:00\"/>"
                  "<date key=\"start_timestamp\" value=\"2015-01-05T09:30:00.000+00:00\"/></event>"
                  "</trace></log>");
    std::vector<std::string> entries;
    WorkflowLogFile(log, false).read_process("p", [&](const LogEntryFields& e) {
        entries.push_back(e.task_name + " " + e.event_kind.value_or("") + " " +
                          e.time.value_or(""));
    });
    EXPECT_EQ(entries, (std::vector<std::string>{"a start 09:00:00.000", "a complete 09:02:00.000",
                                                 "b start 10:00:00.000"}));
}

std::string read_failure(const std::string& path) {
    try {
        const WorkflowLogFile file(path, false);
        for (const LogProcess& process : file.list_processes())
            file.read_process(process.id, [](const auto&) {});
    } catch (const XmlReadError& error) {
        return error.what();
    }
    return "read without a failure";
}

// Faults that are found before the document element has been seen, texts that would fill the
// memory and nesting beyond the parser's limit, each told in words the user can act on.
TEST(EventLogs, EarlyFaultsHugeTextsAndDeepNestingNameTheirReason) {
    test::TempDir dir;
    const std::string early = read_failure(
        dir.write("early.xes",
                  "<log xes.version=\"1.0\"><trace><event><string key=\"concept:name\" "
                  "value=\"a&zz;\"/></event></trace></log>"));
    EXPECT_NE(early.find("line 1: "), std::string::npos) << early;
    EXPECT_NE(early.find("'zz'"), std::string::npos) << early;

    const std::string huge =
        read_failure(dir.write("blanks.mxml",
                               "<WorkflowLog><Process id=\"p\"><ProcessInstance><AuditTrailEntry>"
                               "<WorkflowModelElement>" +
                                   std::string(10000001, ' ') +
                                   "a</WorkflowModelElement></AuditTrailEntry></ProcessInstance>"
                                   "</Process></WorkflowLog>"));
    EXPECT_NE(huge.find("huge text node"), std::string::npos) << huge;

    std::string nested = "<log xes.version=\"1.0\">";
    for (int i = 0; i < 300; ++i)
        nested += "<list>";
    const std::string deep = read_failure(dir.write("deep.xes", nested));
    EXPECT_NE(deep.find("nested more than 256 deep"), std::string::npos) << deep;
    EXPECT_EQ(deep.find("XML_PARSE_HUGE"), std::string::npos) << deep;
}

}  // namespace
}  // namespace vesk
