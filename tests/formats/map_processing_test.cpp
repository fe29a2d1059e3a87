#include "formats/vesk_map_processing.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace vesk {
namespace {

TEST(ImageMap, BothCornerOrdersCirclesAndPolygons) {
    test::TempDir dir;
    TrectangleList list;
    list.Load_map(dir.write("m.map",
                            "base referer\r\n"
                            "rect A\\ncomplete 45,72 63,54\r\n"
                            "rect A task, with comma\\nstart 100,10 120,30\r\n"
                            "circle place\\n3 200,50,10\n"
                            "poly place\\n4 300,10 320,30 310,40\n"
                            "default ignored\n"
                            "rect last 1,1 2,2"));
    ASSERT_EQ(list.rectangles().size(), 5u);
    const Trectangle& first = list.rectangles()[0];
    EXPECT_EQ(first.url, "A\\ncomplete");
    EXPECT_EQ(first.y1, 72);
    EXPECT_EQ(first.y2, 54);
    EXPECT_EQ(list.Rectangle_at(45, 54), &first);  // edges are inside
    EXPECT_EQ(list.Rectangle_at(63, 72), &first);
    EXPECT_EQ(list.Rectangle_at(64, 60), nullptr);
    EXPECT_EQ(list.Rectangle_at(110, 20)->url, "A task, with comma\\nstart");
    EXPECT_EQ(list.Rectangle_at(209, 59)->url, "place\\n3");
    EXPECT_EQ(list.Rectangle_at(211, 50), nullptr);
    EXPECT_EQ(list.Rectangle_at(305, 38)->url, "place\\n4");
}

TEST(ImageMap, OverlapsGoToTheEarlierLineAndEmptyMapsHitNothing) {
    TrectangleList list;
    EXPECT_EQ(list.Rectangle_at(0, 0), nullptr);
    list.Add_rectangle(0, 10, 10, 0, "first");
    list.Add_rectangle(5, 15, 15, 5, "second");
    EXPECT_EQ(list.Rectangle_at(7, 7)->url, "first");
    EXPECT_EQ(list.Rectangle_at(12, 12)->url, "second");
}

TEST(ImageMap, MalformedLinesNameTheLineAndKeepEarlierRectangles) {
    test::TempDir dir;
    TrectangleList list;
    try {
        list.Load_map(dir.write("bad.map", "rect ok 1,2 3,4\nrect broken 1,x 3,4\n"));
        FAIL() << "no error";
    } catch (const MapFormatError& error) {
        EXPECT_NE(std::string(error.what()).find("line 2"), std::string::npos);
    }
    EXPECT_EQ(list.rectangles().size(), 1u);
    EXPECT_THROW(list.Load_map(dir.write("short.map", "rect 12\n")), MapFormatError);
    EXPECT_THROW(list.Load_map((dir.path() / "none.map").string()), std::runtime_error);
}

TEST(ImageMap, CirclesBeyondTheCoordinateRangeOrWithANegativeRadiusAreMalformed) {
    EXPECT_THROW(parse_map_line("circle u 2147483600,10,100"), MapFormatError);
    EXPECT_THROW(parse_map_line("circle u 10,-2147483600,100"), MapFormatError);
    EXPECT_THROW(parse_map_line("circle u 10,10,-3"), MapFormatError);
    const auto edge = parse_map_line("circle u 2147483547,100,100");
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->x2, 2147483647);
    EXPECT_EQ(edge->x1, 2147483447);
}

}  // namespace
}  // namespace vesk
