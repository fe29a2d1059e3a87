// The Map and Variants views of report.html: the slider grid shares drawings, no drawing is too
// large for dot, and names from the log stay text in the table and in the page's data.

#include "formats/map_report.h"

#include <gtest/gtest.h>

#include <set>

#include "formats/map_dot_writer.h"
#include "formats/vesk_report_writer.h"
#include "process_map/map_logs.h"

namespace vesk {
namespace {

TEST(MapReport, EqualSelectionsShareADrawing) {
    const Tloglist lines = test::letter_log({"abc", "abc", "ac"});
    const ProcessMap map = build_process_map(lines, {});
    const MapDrawingPlan plan = plan_map_drawings(lines, {}, map);
    const std::size_t positions = std::size(kActivitySteps) * std::size(kPathSteps);
    ASSERT_EQ(plan.drawing_of_position.size(), positions);
    // Three paths and three activities allow only a few different maps.
    EXPECT_LT(plan.dot_texts.size(), 8u);
    EXPECT_EQ(
        std::set<std::size_t>(plan.drawing_of_position.begin(), plan.drawing_of_position.end())
            .size(),
        plan.dot_texts.size());
    // Every position at 100% activities and paths shows everything.
    EXPECT_EQ(plan.drawn_paths[0], map.edges.size());
}

TEST(MapReport, NoDrawingHoldsMorePathsThanDotCanLayOut) {
    // 24 activities, each followed by every other somewhere: 552 paths.
    std::vector<std::string> words;
    for (char a = 'a'; a < 'y'; ++a)
        for (char b = 'a'; b < 'y'; ++b)
            if (a != b) words.push_back(std::string(1, a) + b);
    const Tloglist lines = test::letter_log(words);
    const ProcessMap map = build_process_map(lines, {});
    ASSERT_EQ(map.edges.size(), 552u);
    const MapDrawingPlan plan = plan_map_drawings(lines, {}, map);
    for (std::size_t i = 0; i < plan.drawn_paths.size(); ++i) {
        EXPECT_LE(plan.drawn_paths[i], kMaxDrawnPaths);
        EXPECT_LE(plan.drawn_paths[i], plan.kept_paths[i]);
    }
    EXPECT_EQ(plan.kept_paths[0], 552u);
    EXPECT_GT(plan.drawn_paths[0], kMaxDrawnPaths / 2);
}

TEST(MapReport, NamesFromTheLogStayText) {
    const std::string hostile = "</script><img src=x onerror=alert(1)>\"&";
    const Tloglist lines = test::map_log({{0, hostile + "_complete"}, {0, "b_complete"}});
    const ProcessMap map = build_process_map(lines, {});
    const MapDrawingPlan plan = plan_map_drawings(lines, {}, map);
    const std::vector<std::string> svgs(plan.dot_texts.size(), "<svg></svg>");
    const std::string html = map_views_html(map, plan, svgs);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    // The only end of a script element is the data's own.
    const auto data = html.find("<script type=\"application/json\" id=\"map-data\">");
    ASSERT_NE(data, std::string::npos);
    EXPECT_EQ(html.find("</script>"), html.rfind("</script>"));
    EXPECT_GT(html.find("</script>"), data);
    EXPECT_NE(html.find("&lt;/script&gt;&lt;img"), std::string::npos);
    // The dot text keeps the name whole, quotes escaped.
    EXPECT_NE(plan.dot_texts[0].find("onerror=alert(1)>\\\"&"), std::string::npos);
}

TEST(MapReport, ShortDurationsAndShades) {
    EXPECT_EQ(short_duration(0.5), "30 s");
    EXPECT_EQ(short_duration(12.25), "12.2 min");
    EXPECT_EQ(short_duration(90), "1.5 h");
    EXPECT_EQ(short_duration(2880), "2.0 d");
    EXPECT_EQ(shade_of(1, 1, 1000), 1);
    EXPECT_EQ(shade_of(1000, 1, 1000), 5);
    EXPECT_LT(shade_of(10, 1, 1000), shade_of(500, 1, 1000));
}

}  // namespace
}  // namespace vesk
