// Mining the example log with --render: the pictures exist and the map leads to the net's elements.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/util_functions.h"
#include "cli/cli_app.h"
#include "formats/vesk_map_processing.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vesk::cli {
namespace {

std::string unescaped(std::string url) {
    for (auto at = url.find("%20"); at != std::string::npos; at = url.find("%20"))
        url.replace(at, 3, " ");
    return url;
}

TEST(Render, PicturesAndAMapWhoseAreasLeadToTheNet) {
    if (!find_dot(program_folder())) GTEST_SKIP() << "dot (GraphViz) is not installed";
    test::TempDir dir;
    const auto out = dir.path() / "export";
    std::ostringstream stdout_text, stderr_text;
    ASSERT_EQ(run_cli({"mine", VESK_EXAMPLE_LOG, "--process", "1", "--events", "start,complete",
                       "--out", out.string(), "--render", "--picture", "svg,png,pdf"},
                      stdout_text, stderr_text),
              0)
        << stderr_text.str();
    const std::string prefix = "example_log.xml 1 ";
    for (const char* name : {"low.dot.map", "low.dot.jpg", "low.dot.thumb.jpg", "high.dot.jpg",
                             "high.dot.ps", "low.dot", "high.dot", ".tpn"})
        EXPECT_TRUE(std::filesystem::exists(out / (prefix + name))) << name;
    EXPECT_EQ(test::read_file(out / (prefix + "low.dot.jpg")).substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(test::read_file(out / (prefix + "high.dot.ps")).substr(0, 4), "%!PS");
    EXPECT_EQ(test::read_file(out / (prefix + "high.dot.png")).substr(1, 3), "PNG");
    EXPECT_EQ(test::read_file(out / (prefix + "high.dot.pdf")).substr(0, 4), "%PDF");
    EXPECT_NE(test::read_file(out / (prefix + "high.dot.svg")).find("<svg"), std::string::npos);

    TrectangleList map;
    map.Load_map((out / (prefix + "low.dot.map")).string());
    const std::string dot = test::read_file(out / (prefix + "low.dot"));
    int places = 0, transitions = 0;
    for (const Trectangle& r : map.rectangles()) {
        const Trectangle* hit = map.Rectangle_at((r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2);
        ASSERT_NE(hit, nullptr) << r.url;
        EXPECT_EQ(hit->url, r.url);
        EXPECT_NE(dot.find("URL=\"" + r.url + "\""), std::string::npos) << r.url;
        if (r.url.ends_with(".html")) {
            EXPECT_TRUE(std::filesystem::exists(out / unescaped(r.url))) << r.url;
            ++places;
        } else if (r.url.rfind("place\\n", 0) == 0) {
            ++places;
        } else {
            ++transitions;
        }
    }
    EXPECT_GT(places, 0);
    EXPECT_GT(transitions, 0);
}

// The report's map: drawn for the slider grid, held in the page, its intermediate files gone;
// the example's nets are workflow nets, so the page opens on the net. A filter that keeps
// every case is said all the same.
TEST(Render, TheReportHoldsTheMapAndTheVariants) {
    if (!find_dot(program_folder())) GTEST_SKIP() << "dot (GraphViz) is not installed";
    test::TempDir dir;
    std::ostringstream stdout_text, stderr_text;
    ASSERT_EQ(run_cli({"mine", VESK_EXAMPLE_LOG, "--process", "1", "--out", dir.path().string(),
                       "--report", "--variant-coverage", "100"},
                      stdout_text, stderr_text),
              0)
        << stderr_text.str();
    const std::string page = test::read_file(dir.path() / "report.html");
    EXPECT_NE(page.find("<nav id=\"views\" data-first=\"net\">"), std::string::npos);
    EXPECT_NE(page.find("<div class=\"map-drawing\" data-k=\"0\">\n<svg"), std::string::npos);
    EXPECT_NE(page.find("id=\"view-variants\""), std::string::npos);
    EXPECT_NE(page.find("case filter: kept 30 of 30 cases"), std::string::npos);
    for (const auto& item : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(item.path().filename().string().find(" map "), std::string::npos) << item.path();
}

}  // namespace
}  // namespace vesk::cli
