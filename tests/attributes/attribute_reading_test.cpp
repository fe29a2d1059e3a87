// Attributes read from XES, MXML and CSV: the hand-made log counted by hand, the three formats
// alike, and the public logs checked against a plain libxml2 pass over the files.

#include <gtest/gtest.h>

#include <libxml/xmlreader.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "attributes/attribute_summary.h"
#include "attributes/hand_log.h"
#include "csv_module.h"
#include "log/vesk_logline_reader.h"
#include "process_map/case_filter.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

const std::filesystem::path kShared = VESK_SHARED_XES;

Tevent_filter every_event_type() {
    return {true, true, true, true, true, true, true};
}

ProcessLog read_log(const std::string& path, AttributeChoice choice = AttributeChoice::all()) {
    EventLogOptions options;
    options.attributes = std::move(choice);
    const WorkflowLogFile file(path, false, options);
    return read_process_log(file, file.list_processes().front().id, every_event_type());
}

std::map<std::string, AttributeSummary> by_key(const Tloglist& lines) {
    std::map<std::string, AttributeSummary> result;
    for (AttributeSummary& s : summarize_attributes(lines))
        result[std::string(attribute_level_name(s.level)) + " " + s.key] = std::move(s);
    return result;
}

std::vector<std::pair<std::string, std::int64_t>> top_of(const AttributeSummary& s) {
    std::vector<std::pair<std::string, std::int64_t>> top;
    for (const ValueCount& v : s.top)
        top.emplace_back(v.value, v.count);
    return top;
}

TEST(AttributeReading, TheHandLogGivesWhatWasCountedByHand) {
    test::TempDir dir;
    const ProcessLog read = read_log(dir.write("hand.xes", test::kHandXes));
    EXPECT_EQ(read.diagnostics.format_notes.skipped_nested_keys, std::vector<std::string>{"tags"});
    const auto s = by_key(read.lines);
    ASSERT_EQ(s.size(), 8u);
    const AttributeSummary& amount = s.at("case amount");
    EXPECT_EQ(amount.type, AttributeType::integer);
    EXPECT_EQ(amount.cases, 3);
    EXPECT_EQ(amount.events, 5);
    EXPECT_EQ(*amount.min, 500);
    EXPECT_EQ(*amount.median, 15000);
    EXPECT_EQ(*amount.max, 20000);
    const AttributeSummary& rate = s.at("case rate");
    EXPECT_EQ(rate.type, AttributeType::real);
    EXPECT_EQ(rate.cases, 2);
    EXPECT_EQ(*rate.median, 1.75);
    const AttributeSummary& opened = s.at("case opened");
    EXPECT_EQ(opened.type, AttributeType::date);
    EXPECT_EQ(attribute_number_text(opened.type, *opened.median), "2020-01-03T00:00Z");
    EXPECT_EQ(top_of(s.at("case urgent")),
              (std::vector<std::pair<std::string, std::int64_t>>{{"true", 2}, {"false", 1}}));
    // Written after the trace's events, and still the case's.
    EXPECT_EQ(top_of(s.at("case product")),
              (std::vector<std::pair<std::string, std::int64_t>>{{"Xylo", 1}}));
    EXPECT_EQ(s.at("case product").events, 2);
    const AttributeSummary& resource = s.at("event org:resource");
    EXPECT_EQ(resource.events, 5);
    EXPECT_EQ(resource.distinct, 3);
    EXPECT_EQ(top_of(resource), (std::vector<std::pair<std::string, std::int64_t>>{
                                    {"ann", 2}, {"bob", 2}, {"carl", 1}}));
    const AttributeSummary& items = s.at("event items");
    EXPECT_EQ(items.cases, 2);
    EXPECT_EQ(items.events, 3);
    EXPECT_EQ(*items.median, 4);
    EXPECT_EQ(s.at("case concept:name").distinct, 3);

    // Asked for one key, the read keeps that one; asked for none, nothing, and the same lines.
    const ProcessLog one = read_log(dir.path() / "hand.xes", AttributeChoice::keys({"amount"}));
    ASSERT_EQ(one.lines.attributes().columns().size(), 1u);
    EXPECT_EQ(one.lines.attributes().columns().front().key(), "amount");
    const ProcessLog none = read_log(dir.path() / "hand.xes", AttributeChoice::none());
    EXPECT_TRUE(none.lines.attributes().empty());
    ASSERT_EQ(none.lines.size(), read.lines.size());
    for (std::size_t i = 0; i < none.lines.size(); ++i)
        EXPECT_EQ(none.lines.name(none.lines[i]), read.lines.name(read.lines[i]));
}

// Numbers are held narrowly (decimals scaled, texts by dictionary) and widened when a value does
// not fit; whatever the storage, each reads back as the double its text parses to.
TEST(AttributeReading, NumbersReadBackExactlyWhateverTheirStorage) {
    const std::vector<std::string> texts = {"7",    "236.14", "0.1",   "99999.99",   "2.5",
                                            "3e-7", "0",      "-3.25", "4294967296", "0.125"};
    AttributeColumn column("cost", AttributeLevel::event_level);
    for (std::size_t row = 0; row < texts.size(); ++row) {
        column.set(row * 2, {"cost", texts[row], AttributeType::real});
        for (std::size_t check = 0; check <= row; ++check) {
            EXPECT_EQ(column.number(check * 2), std::strtod(texts[check].c_str(), nullptr))
                << texts[check] << " after " << texts[row];
            EXPECT_FALSE(column.has(check * 2 + 1));
        }
    }
    AttributeColumn mixed("code", AttributeLevel::case_level);
    mixed.set(0, {"code", "12", AttributeType::untyped});
    mixed.set(1, {"code", "007", AttributeType::untyped});  // not a plain number: all text
    EXPECT_EQ(mixed.type(), AttributeType::text);
    EXPECT_EQ(mixed.text(0) + " " + mixed.text(1), "12 007");
}

TEST(AttributeReading, CsvAndMxmlGiveTheAttributesOfTheXes) {
    test::TempDir dir;
    const auto xes = by_key(read_log(dir.write("hand.xes", test::kHandXes)).lines);
    std::istringstream csv(test::kHandCsv);
    const std::string from_csv =
        dir.write("hand.xml", tools::csv_to_workflow_log(csv, "hand", "WorkFlow_log.dtd"));
    const std::string mxml = dir.write("hand.mxml", test::kHandMxml);
    for (const std::string& path : {from_csv, mxml}) {
        const auto other = by_key(read_log(path).lines);
        for (const auto& [key, expected] : xes) {
            if (key == "case concept:name" || key == "case product") continue;
            ASSERT_TRUE(other.contains(key)) << path << ": " << key;
            const AttributeSummary& got = other.at(key);
            EXPECT_EQ(got.type, expected.type) << path << ": " << key;
            EXPECT_EQ(got.cases, expected.cases) << path << ": " << key;
            EXPECT_EQ(got.events, expected.events) << path << ": " << key;
            EXPECT_EQ(top_of(got), top_of(expected)) << path << ": " << key;
            EXPECT_EQ(got.median, expected.median) << path << ": " << key;
        }
    }
}

// The distinct values of every attribute, and a few filters' counts, taken from the XML with
// libxml2's reader: trace children are case attributes, event children event attributes.
struct SourceAttributes {
    std::map<std::string, std::set<std::string>> distinct;  // "case KEY" / "event KEY"
    std::map<std::string, std::int64_t> traces_where;       // "KEY>N" on a trace attribute
};

SourceAttributes scan(const std::filesystem::path& file, const std::string& key, double above) {
    SourceAttributes found;
    xmlTextReaderPtr reader = xmlReaderForFile(file.c_str(), nullptr, XML_PARSE_NONET);
    EXPECT_NE(reader, nullptr);
    int trace_depth = -1, event_depth = -1;
    while (xmlTextReaderRead(reader) == 1) {
        if (xmlTextReaderNodeType(reader) != XML_READER_TYPE_ELEMENT) continue;
        const std::string name = reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader));
        const int depth = xmlTextReaderDepth(reader);
        if (name == "trace") trace_depth = depth;
        if (name == "event") event_depth = depth;
        const bool of_trace = depth == trace_depth + 1 && trace_depth >= 0;
        const bool of_event = depth == event_depth + 1 && event_depth > trace_depth;
        if (!of_trace && !of_event) continue;
        xmlChar* k = xmlTextReaderGetAttribute(reader, BAD_CAST "key");
        xmlChar* v = xmlTextReaderGetAttribute(reader, BAD_CAST "value");
        if (k != nullptr && v != nullptr && name != "list" && name != "container") {
            const std::string key_text = reinterpret_cast<const char*>(k);
            const std::string value = reinterpret_cast<const char*>(v);
            const bool line_key = key_text == "concept:name" || key_text == "time:timestamp" ||
                                  key_text == "lifecycle:transition";
            if (of_trace && name != "event") found.distinct["case " + key_text].insert(value);
            if (of_event && !line_key) found.distinct["event " + key_text].insert(value);
            if (of_trace && key_text == key && std::stod(value) > above) ++found.traces_where[key];
        }
        xmlFree(k);
        xmlFree(v);
    }
    xmlFreeTextReader(reader);
    return found;
}

TEST(AttributeReading, PublicLogsKeepEveryDistinctValueAndFilterAsTheFileSays) {
    for (const auto& [log, key, above] :
         {std::tuple<std::string, std::string, double>{"bpic2012.xes.gz", "AMOUNT_REQ", 20000},
          {"helpdesk.xes.gz", "", 0}}) {
        SCOPED_TRACE(log);
        const SourceAttributes source = scan(kShared / log, key, above);
        ProcessLog read = read_log(kShared / log);
        const auto summaries = by_key(read.lines);
        ASSERT_EQ(summaries.size(), source.distinct.size());
        for (const auto& [name, values] : source.distinct)
            EXPECT_EQ(summaries.at(name).distinct, static_cast<std::int64_t>(values.size()))
                << name;
        if (key.empty()) continue;
        CaseFilter filter;
        filter.case_where = {parse_conditions(key + ">" + std::to_string(int(above)))};
        EXPECT_EQ(filter_cases(read.lines, filter).kept, source.traces_where.at(key));
    }
}

}  // namespace
}  // namespace vesk
