// vesk-cli map, and the case filters as every command that reads a process takes them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vesk::cli {
namespace {

const std::string kExample = VESK_EXAMPLE_LOG;

std::int64_t sum_of(const nlohmann::json& list, const char* key) {
    std::int64_t sum = 0;
    for (const auto& item : list)
        sum += item[key].get<std::int64_t>();
    return sum;
}

TEST(MapCommand, TheJsonAddsUpToTheCasesAndEvents) {
    const test::CliResult r =
        test::run_cli({"map", kExample, "--process", "1", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const nlohmann::json map = nlohmann::json::parse(r.out);
    // The counts the mine command replays on this process.
    EXPECT_EQ(map["cases"], 30);
    EXPECT_EQ(map["events"], 240);
    EXPECT_EQ(sum_of(map["start"], "cases"), 30);
    EXPECT_EQ(sum_of(map["end"], "cases"), 30);
    EXPECT_EQ(sum_of(map["activities"], "events"), 240);
    // Every case of n events takes n - 1 paths.
    EXPECT_EQ(sum_of(map["edges"], "count"), 240 - 30);
    EXPECT_EQ(sum_of(map["variants"], "cases"), 30);
    EXPECT_EQ(map["variant_count"], map["variants"].size());
    // One event type read: activities are named without it.
    EXPECT_EQ(map["activities"][0]["name"].get<std::string>().find("_complete"), std::string::npos);
}

TEST(MapCommand, SlidersFormatsAndFiles) {
    const test::CliResult all = test::run_cli({"map", kExample, "--process", "1"});
    const test::CliResult few =
        test::run_cli({"map", kExample, "--process", "1", "--activities", "50", "--paths", "0"});
    ASSERT_EQ(few.code, 0) << few.err;
    EXPECT_LT(few.out.size(), all.out.size());
    const test::CliResult dot =
        test::run_cli({"map", kExample, "--process", "1", "--format", "dot"});
    EXPECT_EQ(dot.out.rfind("digraph process_map {", 0), 0u);
    test::TempDir dir;
    const test::CliResult written = test::run_cli(
        {"map", kExample, "--process", "1", "--format", "json", "--out", dir.path().string()});
    ASSERT_EQ(written.code, 0) << written.err;
    EXPECT_TRUE(written.out.empty());
    std::ifstream file(dir.path() / "example_log.xml 1 map.json");
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(nlohmann::json::parse(text.str())["cases"], 30);
}

// The first bytes of a file.
std::string head_of(const std::filesystem::path& path, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    return bytes.substr(0, static_cast<std::size_t>(in.gcount()));
}

TEST(MapCommand, PicturesAndTheTimeView) {
    const test::CliResult svg =
        test::run_cli({"map", kExample, "--process", "1", "--format", "svg", "--view", "time"});
    if (svg.code == 1 && svg.err.find("dot (GraphViz) was found neither") != std::string::npos)
        GTEST_SKIP() << "no dot";
    ASSERT_EQ(svg.code, 0) << svg.err;
    EXPECT_NE(svg.out.find("<svg"), std::string::npos);
    EXPECT_NE(svg.out.find("Paths by mean time"), std::string::npos);
    test::TempDir dir;
    for (const auto& [format, magic] :
         {std::pair<std::string, std::string>{"png", "\x89PNG"}, {"pdf", "%PDF"}}) {
        const test::CliResult drawn = test::run_cli(
            {"map", kExample, "--process", "1", "--format", format, "--out", dir.path().string()});
        ASSERT_EQ(drawn.code, 0) << drawn.err;
        EXPECT_EQ(head_of(dir.path() / ("example_log.xml 1 map." + format), magic.size()), magic);
    }
    // Only the picture is left in the folder, no file dot drew through.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
    const test::CliResult median = test::run_cli({"map", kExample, "--process", "1", "--format",
                                                  "dot", "--view", "time", "--time", "median"});
    EXPECT_NE(median.out.find("Paths by median time"), std::string::npos) << median.out;
}

TEST(MapCommand, FiltersNarrowEveryCommandAndSaySo) {
    const test::CliResult map = test::run_cli(
        {"map", kExample, "--process", "1", "--top-variants", "1", "--format", "json"});
    ASSERT_EQ(map.code, 0) << map.err;
    const nlohmann::json document = nlohmann::json::parse(map.out);
    const std::int64_t kept = document["case_filter"]["kept"];
    EXPECT_EQ(document["case_filter"]["total"], 30);
    EXPECT_EQ(document["cases"], kept);
    EXPECT_EQ(document["variants"].size(), 1u);
    const test::CliResult mine =
        test::run_cli({"mine", kExample, "--process", "1", "--top-variants", "1"});
    ASSERT_EQ(mine.code, 0) << mine.err;
    EXPECT_NE(mine.out.find("Case filter: kept " + std::to_string(kept) + " of 30 cases"),
              std::string::npos)
        << mine.out;
    EXPECT_NE(mine.out.find(" of " + std::to_string(kept) + " cases\n"), std::string::npos);
    EXPECT_EQ(mine.out.find("Not replayed"), std::string::npos);
}

TEST(MapCommand, BadValuesAreUsageErrors) {
    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--from", "last week"},
                                                  {"--to", "2024-13-01"},
                                                  {"--activities", "150"},
                                                  {"--paths", "-1"},
                                                  {"--top-variants", "0"},
                                                  {"--variant-coverage", "101"},
                                                  {"--format", "gif"},
                                                  {"--format", "png"},
                                                  {"--view", "speed"}}) {
        std::vector<std::string> args = {"map", kExample, "--process", "1"};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(test::run_cli(args).code, 2) << extra[0] << " " << extra[1];
    }
    EXPECT_EQ(test::run_cli({"map", kExample}).code, 2);
    EXPECT_EQ(test::run_cli({"map", "--help"}).code, 0);
}

}  // namespace
}  // namespace vesk::cli
