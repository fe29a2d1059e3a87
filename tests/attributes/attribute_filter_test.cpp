// Attribute conditions: how expressions read, which cases and events the filter keeps on the
// hand-made log (worked out by hand), the errors, and the resource views of a small log.

#include <gtest/gtest.h>

#include "attributes/attribute_condition.h"
#include "attributes/attribute_summary.h"
#include "attributes/hand_log.h"
#include "formats/attribute_report.h"
#include "log/vesk_logline_reader.h"
#include "process_map/attribute_nodes.h"
#include "process_map/case_filter.h"
#include "process_map/process_map.h"
#include "resources/resource_views.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

TEST(AttributeConditions, ExpressionsReadWithTheirOperatorsAndQuotes) {
    using C = Comparison;
    const std::vector<AttributeCondition> six =
        parse_conditions("a>=1,b<=2,c!=x, d ~ y z ,e<3,f=g");
    EXPECT_EQ(six, (std::vector<AttributeCondition>{{"a", C::greater_equal, "1"},
                                                    {"b", C::less_equal, "2"},
                                                    {"c", C::not_equal, "x"},
                                                    {"d", C::contains, "y z"},
                                                    {"e", C::less, "3"},
                                                    {"f", C::equal, "g"}}));
    const auto quoted = parse_conditions(R"("na,me"="a ""b"", c",k>5)");
    ASSERT_EQ(quoted.size(), 2u);
    EXPECT_EQ(quoted[0], (AttributeCondition{"na,me", C::equal, "a \"b\", c"}));
    EXPECT_EQ(parse_conditions(condition_text(quoted[0])), std::vector{quoted[0]});
    EXPECT_EQ(parse_conditions("k="), (std::vector<AttributeCondition>{{"k", C::equal, ""}}));
    for (const auto& [bad, said] : std::vector<std::pair<std::string, std::string>>{
             {"amount", "no comparison"},
             {">5", "no attribute key"},
             {"a=\"x", "a quote is not closed"},
             {"a=\"x\"y", "text after a closing quote"},
             {"a>", "no value after"},
             {"a=1,,b=2", "no attribute key"},
             {"a=1,", "no attribute key"}}) {
        try {
            parse_conditions(bad);
            ADD_FAILURE() << bad;
        } catch (const AttributeConditionError& error) {
            EXPECT_NE(std::string(error.what()).find(said), std::string::npos) << error.what();
        }
    }
}

class HandLog : public ::testing::Test {
protected:
    void SetUp() override {
        EventLogOptions options;
        options.attributes = AttributeChoice::all();
        const WorkflowLogFile file(dir_.write("hand.xes", test::kHandXes), false, options);
        Tevent_filter complete;
        complete.complete = true;
        log_ = read_process_log(file, file.list_processes().front().id, complete).lines;
    }

    // The case numbers kept (c1 is 0), and the filter's result.
    std::vector<std::int32_t> kept(const CaseFilter& filter, CaseFilterResult* result = nullptr) {
        Tloglist lines = log_;
        const CaseFilterResult r = filter_cases(lines, filter);
        if (result != nullptr) *result = r;
        std::vector<std::int32_t> cases;
        for (const Tlog_line& line : lines)
            if (cases.empty() || cases.back() != line.case_number())
                cases.push_back(line.case_number());
        return cases;
    }
    std::vector<std::int32_t> where(const std::string& expression) {
        CaseFilter filter;
        filter.case_where = {parse_conditions(expression)};
        return kept(filter);
    }

    test::TempDir dir_;
    Tloglist log_;
};

TEST_F(HandLog, CaseConditionsKeepTheCasesWorkedOutByHand) {
    using Cases = std::vector<std::int32_t>;
    EXPECT_EQ(where("amount>1000"), (Cases{0, 2}));
    EXPECT_EQ(where("amount>=20000"), (Cases{2}));
    EXPECT_EQ(where("amount!=500"), (Cases{0, 2}));
    EXPECT_EQ(where("items>=4"), (Cases{0, 2}));  // an event attribute: one event suffices
    EXPECT_EQ(where("items>=4,org:resource=bob"), (Cases{0}));  // one event meets both
    EXPECT_EQ(where("items=4,org:resource=bob"), (Cases{}));
    EXPECT_EQ(where("urgent=true,amount<20000"), (Cases{0}));
    EXPECT_EQ(where("opened<2020-01-03"), (Cases{0}));  // c3 opened exactly then
    EXPECT_EQ(where("opened<=2020-01-03T00:00"), (Cases{0, 2}));
    EXPECT_EQ(where("product~xY"), (Cases{1}));
    EXPECT_EQ(where("rate<2"), (Cases{1}));  // c3 has no rate: no condition holds there
    CaseFilter two;
    two.case_where = {parse_conditions("urgent=true"), parse_conditions("rate>2")};
    CaseFilterResult result;
    EXPECT_EQ(kept(two, &result), (Cases{0}));
    EXPECT_EQ(result.other_attributes, 2);
    EXPECT_NE(case_filter_removals_text(result).find("2 do not meet the case conditions"),
              std::string::npos);
}

TEST_F(HandLog, EventConditionsKeepEventsAndDropTheCasesLeftEmpty) {
    CaseFilter by_ann;
    by_ann.event_where = {parse_conditions("org:resource=ann")};
    CaseFilterResult result;
    EXPECT_EQ(kept(by_ann, &result), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(result.events_removed, 3);
    EXPECT_EQ(result.emptied_by_events, 1);
    EXPECT_EQ(result.kept, 2);
    // A case attribute in an event condition: the events of the cases that meet it.
    CaseFilter large;
    large.event_where = {parse_conditions("amount>10000")};
    Tloglist lines = log_;
    filter_cases(lines, large);
    EXPECT_EQ(lines.size(), 3u);
    // The attributes moved with their lines.
    const AttributeColumn* items = lines.attributes().find("items", AttributeLevel::event_level);
    EXPECT_EQ(items->text(0) + items->text(1) + items->text(2), "354");
}

TEST_F(HandLog, ConditionsTheLogCannotTakeAreRefusedNamingThePart) {
    for (const auto& [bad, said] : std::vector<std::pair<std::string, std::string>>{
             {"nope=1", "the log has no attribute \"nope\""},
             {"amount>abc", "expected a number, not \"abc\""},
             {"org:resource>5", "that are no numbers"},
             {"urgent=maybe", "holds true or false"},
             {"opened>yesterday", "expected YYYY-MM-DD"}}) {
        try {
            where(bad);
            ADD_FAILURE() << bad;
        } catch (const AttributeConditionError& error) {
            EXPECT_NE(std::string(error.what()).find(said), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find(bad), std::string::npos) << error.what();
        }
    }
}

// Three cases, times in minutes from 2020-01-01 00:00:
//   0: a ann 0, b ann 10, c bob 30, d ann 40
//   1: a ann 0, c bob 60, e cid 90
//   2: a bob 0, e (nobody) 5, c cid 20
// Handovers by hand: ann->bob 2 (20, 60: median 40), bob->ann 1 (10), bob->cid 2 (30, and 20
// with the event without a resource passed over: median 25); ann's a -> b is no handover.
// Together: ann+bob 2, ann+cid 1, bob+cid 2. ann: 4 events in 2 cases, activities a, b, d.
Tloglist handover_log() {
    Tloglist lines;
    const std::vector<std::tuple<int, std::string, std::string, int>> events = {
        {0, "a", "ann", 0}, {0, "b", "ann", 10}, {0, "c", "bob", 30}, {0, "d", "ann", 40},
        {1, "a", "ann", 0}, {1, "c", "bob", 60}, {1, "e", "cid", 90}, {2, "a", "bob", 0},
        {2, "e", "", 5},    {2, "c", "cid", 20}};
    for (const auto& [case_number, activity, resource, minute] : events) {
        Tlog_line& line = lines.emplace_back(activity + "_complete", case_number);
        line.set_event_type(EventType::complete);
        line.set_date({1, 1, 2020});
        line.set_time({minute / 60, minute % 60, 0, 0});
        if (!resource.empty())
            lines.attributes().set_event(lines.size() - 1,
                                         {"org:resource", resource, AttributeType::text});
    }
    return lines;
}

TEST(ResourceViews, HandoversAndWorkingTogetherAsWorkedOutByHand) {
    const Tloglist lines = handover_log();
    const ResourceViews views = resource_views(lines, "org:resource");
    EXPECT_EQ(views.events_without_resource, 1);
    std::map<std::pair<std::string, std::string>, std::pair<std::int64_t, double>> handovers;
    for (const Handover& h : views.handovers)
        handovers[{h.from, h.to}] = {h.count, h.median_minutes};
    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ(
        handovers,
        (std::map<Pair, std::pair<std::int64_t, double>>{
            {{"ann", "bob"}, {2, 40}}, {{"bob", "ann"}, {1, 10}}, {{"bob", "cid"}, {2, 25}}}));
    std::map<Pair, std::int64_t> together;
    for (const WorkingTogether& t : views.together)
        together[{t.a, t.b}] = t.cases;
    EXPECT_EQ(together, (std::map<Pair, std::int64_t>{
                            {{"ann", "bob"}, 2}, {{"ann", "cid"}, 1}, {{"bob", "cid"}, 2}}));
    ASSERT_EQ(views.resources.front().resource, "ann");
    EXPECT_EQ(views.resources.front().events, 4);
    EXPECT_EQ(views.resources.front().cases, 2);
    EXPECT_EQ(views.resources.front().activities, 3);

    // The map by resource: its paths between different resources are the handovers.
    const RelabelledLog by_resource = lines_by_attribute(lines, "org:resource");
    const ProcessMap map = build_process_map(by_resource.lines, StepOptions{});
    std::map<Pair, std::pair<std::int64_t, double>> paths;
    for (const MapEdge& edge : map.edges) {
        const std::string from = map.activities[static_cast<std::size_t>(edge.from)].name;
        const std::string to = map.activities[static_cast<std::size_t>(edge.to)].name;
        if (from != to) paths[{from, to}] = {edge.count, edge.minutes.median};
    }
    EXPECT_EQ(paths, handovers);
    EXPECT_THROW(resource_views(lines, "org:role"), AttributeConditionError);
}

// report.html's views hold the log's texts escaped, never as markup.
TEST(ResourceViews, ReportViewsEscapeTheLogsTexts) {
    Tloglist lines = handover_log();
    lines.attributes().set_event(0, {"org:resource", "<b>ann</b>", AttributeType::text});
    lines.attributes().set_case(0, {"note", "\"x\" & <y>", AttributeType::text});
    const std::string views =
        attributes_view_html(summarize_attributes(lines)) +
        resources_view_html(resource_views(lines, "org:resource"), "", "org:resource");
    EXPECT_EQ(views.find("<b>"), std::string::npos);
    EXPECT_EQ(views.find("<y>"), std::string::npos);
    EXPECT_NE(views.find("&lt;b&gt;ann&lt;/b&gt;"), std::string::npos);
    EXPECT_NE(views.find("&quot;x&quot; &amp; &lt;y&gt;"), std::string::npos);
}

}  // namespace
}  // namespace vesk
