// The window side of the process map without a window: the filter boxes read into a filter,
// and the map's summary, variants and drawing problems.

#include "ui/process_map_logic.h"

#include <gtest/gtest.h>

#include "process_map/map_logs.h"
#include "ui/case_filter_fields.h"

namespace vesk {
namespace {

TEST(CaseFilterFields, BoxesReadIntoTheFilterOrSayWhichIsWrong) {
    const CaseFilter filter =
        case_filter_of({" 3 ", "", "a, b ,,c", "", "2024-01-02", "2024-01-02"});
    EXPECT_EQ(filter.top_variants, 3);
    EXPECT_FALSE(filter.variant_coverage);
    EXPECT_EQ(filter.start_activities, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(filter.end_activities.empty());
    // A bare To date takes in its whole day.
    EXPECT_DOUBLE_EQ(*filter.to_minute - *filter.from_minute, 1440);
    EXPECT_TRUE(case_filter_of({}).keeps_everything());
    const auto refused = [](const CaseFilterFields& fields) {
        try {
            case_filter_of(fields);
        } catch (const std::invalid_argument& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(refused({"0"}).rfind("Top variants takes", 0), 0u);
    EXPECT_EQ(refused({"2.5"}).rfind("Top variants takes", 0), 0u);
    EXPECT_EQ(refused({"", "101"}).rfind("Variant coverage takes", 0), 0u);
    EXPECT_EQ(refused({"", "", "", "", "2024-02-30"}).rfind("From takes a date", 0), 0u);
    EXPECT_EQ(refused({"", "", "", "", "", "tomorrow"}).rfind("To takes a date", 0), 0u);
    // The attribute condition: on the cases or the events, as the command line reads it.
    CaseFilterFields condition;
    condition.attribute_key = " amount ";
    condition.attribute_comparison = ">=";
    condition.attribute_value = "1,000";
    EXPECT_EQ(case_filter_of(condition).case_where,
              (ConditionGroups{{{"amount", Comparison::greater_equal, "1,000"}}}));
    condition.attribute_on_events = true;
    EXPECT_EQ(case_filter_of(condition).event_where.size(), 1u);
    condition.attribute_value = "";
    EXPECT_EQ(refused(condition).rfind("Attribute value takes", 0), 0u);
    condition.attribute_comparison = "<>";
    EXPECT_EQ(refused(condition).rfind("Attribute comparison takes", 0), 0u);
}

// The map window's Nodes: the event attributes of the lines offered, the map by resource
// counted from the same lines, and back.
TEST(ProcessMapLogic, NodesByAnEventAttribute) {
    Tloglist lines;
    for (const auto& [case_number, activity, resource] :
         std::vector<std::tuple<int, std::string, std::string>>{
             {0, "a", "ann"}, {0, "b", "bob"}, {1, "a", "ann"}, {1, "c", "ann"}}) {
        lines.emplace_back(activity + "_complete", case_number).set_date({1, 1, 2020});
        lines.attributes().set_event(lines.size() - 1, {"org:resource", resource});
    }
    ProcessMapLogic logic(InspectorDrawing{"", [] { return std::nullopt; }});
    logic.set_map(lines, StepOptions{}, build_process_map(lines, StepOptions{}));
    EXPECT_EQ(logic.state().node_choices, (std::vector<std::string>{"activities", "org:resource"}));
    const std::string by_activity = logic.state().summary;
    const auto generation = logic.generation();
    logic.choose_nodes(1);
    EXPECT_GT(logic.generation(), generation);
    EXPECT_EQ(logic.state().summary, "2 cases, 4 events, 2 values of org:resource, 2 variants");
    EXPECT_EQ(logic.state().variants.front().substr(logic.state().variants.front().find(": ")),
              ": ann \u2192 bob");
    logic.choose_nodes(0);
    EXPECT_EQ(logic.state().summary, by_activity);
}

TEST(ProcessMapLogic, SummaryVariantsAndWhyThereIsNoPicture) {
    ProcessMapLogic logic(InspectorDrawing{"", [] { return std::nullopt; }});
    logic.draw();
    EXPECT_NE(logic.state().problem.find("Build relations first"), std::string::npos);
    const Tloglist lines = test::letter_log({"abc", "abc", "ab"});
    logic.set_map(lines, {}, build_process_map(lines, {}));
    EXPECT_EQ(logic.state().summary, "3 cases, 8 events, 3 activities, 2 variants");
    ASSERT_EQ(logic.state().variants.size(), 2u);
    EXPECT_EQ(logic.state().variants[0], "2 cases (66.7%), median 2.0 h: a \u2192 b \u2192 c");
    EXPECT_EQ(logic.state().variants[1], "1 case (33.3%), median 1.0 h: a \u2192 b");
    const std::uint64_t before = logic.generation();
    logic.draw();
    EXPECT_EQ(logic.state().shown,
              "3 of 3 activities, 2 of 2 paths; 100.0% of the events, 100.0% of the "
              "directly-follows pairs");
    EXPECT_TRUE(logic.state().picture.empty());
    EXPECT_NE(logic.state().problem.find("dot (GraphViz) was found neither"), std::string::npos);
    logic.clear();
    EXPECT_GT(logic.generation(), before);
    EXPECT_TRUE(logic.state().variants.empty());
}

}  // namespace
}  // namespace vesk
