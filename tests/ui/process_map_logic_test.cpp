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
