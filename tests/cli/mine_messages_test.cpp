// What mine says when it cannot do what was asked, and the forms it gives its results in: the
// reason a run came out empty, names that match nothing, nets too large for relations or for
// dot, and the process tree for a script.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

#include "support/cli_run.h"
#include "support/log_xml.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

constexpr const char* kExample = VESK_EXAMPLE_LOG;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every case of process 1 begins in March 2002 (30 cases), so a window ending before it
// starts keeps none; the reason is the filter, with the alpha and the inductive construction.
TEST(MineMessages, AnEmptyRunSaysWhatEmptiedIt) {
    for (const char* construction : {"alpha", "inductive"}) {
        const test::CliResult window =
            test::run_cli({"mine", kExample, "--process", "1", "--construction", construction,
                           "--from", "2002-03-10", "--to", "2002-03-01"});
        EXPECT_EQ(window.code, 1);
        EXPECT_TRUE(contains(window.err,
                             "process 1: the case filter kept 0 of 30 cases: 30 began outside "
                             "the time window: nothing was mined; loosen the case filter"))
            << window.err;
        const test::CliResult schedule =
            test::run_cli({"mine", kExample, "--process", "1", "--construction", construction,
                           "--events", "schedule"});
        EXPECT_TRUE(contains(schedule.err, "process 1 has no events of the types read (schedule)"))
            << schedule.err;
    }
    // One misspelt end activity beside a right one is refused, not passed over.
    const test::CliResult typo = test::run_cli({"mine", kExample, "--process", "1", "--ends-with",
                                                "close order", "--ends-with", "clsoe order"});
    EXPECT_EQ(typo.code, 2);
    EXPECT_TRUE(contains(typo.err,
                         "--ends-with: no case of the log holds the activity \"clsoe "
                         "order\""))
        << typo.err;
}

// 5,000 distinct activities in one case: 25 million pairs of relations, past their 2 GiB. The
// inductive construction needs none of them and makes its net.
TEST(MineMessages, TheInductiveConstructionGoesWithoutRelations) {
    test::TempDir dir;
    test::Case sequence;
    for (int k = 0; k < 5000; ++k)
        sequence.push_back({"step " + std::to_string(k)});
    const std::string log = dir.write("long.xml", test::log_xml({{.cases = {sequence, sequence}}}));
    const test::CliResult alpha = test::run_cli({"mine", log, "-q"});
    EXPECT_EQ(alpha.code, 1);
    EXPECT_TRUE(contains(alpha.err, "the log has 5000 distinct tasks")) << alpha.err;
    const test::CliResult inductive =
        test::run_cli({"mine", log, "--construction", "inductive", "-q"});
    EXPECT_EQ(inductive.code, 0) << inductive.err;
    EXPECT_TRUE(contains(inductive.out, "Replayed: 10000 events of 2 cases")) << inductive.out;
    EXPECT_TRUE(contains(inductive.out, "During replay a place held more than one token: no"));
    EXPECT_FALSE(contains(inductive.out, "Safe:"));
}

// A net past --max-render still gets its report, which says why it holds no drawing.
TEST(MineMessages, AReportOfANetTooLargeToDrawIsWrittenWithoutTheDrawing) {
    test::TempDir dir;
    const test::CliResult r = test::run_cli({"mine", kExample, "--process", "1", "--out",
                                             dir.path().string(), "--report", "--max-render", "5"});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(contains(r.err, "report.html holds its figures without a drawing")) << r.err;
    EXPECT_TRUE(contains(test::read_file(dir.path() / "report.html"),
                         "Not drawn: the net has 20 transitions and places, more than "
                         "--max-render 5."));
    // Run again without the report: the page (the only file of the first run's report, its net
    // undrawn) is the first run's.
    const test::CliResult again =
        test::run_cli({"mine", kExample, "--process", "1", "--out", dir.path().string()});
    EXPECT_TRUE(contains(again.err, "warning: 1 file in " + dir.path().string() +
                                        " named like this export's are an earlier run's, left "
                                        "as they were (report.html)"))
        << again.err;
}

// The tree's text, rebuilt from the nested objects, is the text the JSON gives beside them.
std::string tree_text_of(const nlohmann::json& node) {
    if (node.contains("activity")) return "'" + node["activity"].get<std::string>() + "'";
    const std::string op = node["op"];
    if (op == "tau") return "tau";
    const std::string symbol = op == "seq" ? "->" : op == "xor" ? "X" : op == "and" ? "+" : "*";
    std::string text = symbol + "( ";
    for (std::size_t i = 0; i < node["children"].size(); ++i)
        text += (i == 0 ? "" : ", ") + tree_text_of(node["children"][i]);
    return text + " )";
}

TEST(MineMessages, TheProcessTreeIsGivenAsObjectsAndOnlyWhereThereIsOne) {
    const auto json =
        nlohmann::json::parse(test::run_cli({"mine", kExample, "--process", "1", "--construction",
                                             "inductive", "--format", "json"})
                                  .out);
    EXPECT_EQ(tree_text_of(json["process_tree"]), json["tree"].get<std::string>());
    EXPECT_EQ(json["process_tree"]["op"], "seq");
    // Every activity of the example has its leaf: nothing left out. Other nets have no list.
    EXPECT_EQ(json["left_out"], nlohmann::json::array());
    const auto alpha = nlohmann::json::parse(
        test::run_cli({"mine", kExample, "--process", "1", "--format", "json"}).out);
    EXPECT_TRUE(alpha["left_out"].is_null());
    EXPECT_EQ(test::run_cli({"mine", kExample, "--process", "1", "--show", "tree"}).code, 2);
}

// --noise auto on a public log of 231 cases that repeats activities: each threshold's figures
// are those a separate run with --align at that threshold gives, a net weighing repeats by
// pairs is tried beside it where it differs, the chosen one has the best F-score of all (the
// first of equal ones), and the net kept is the chosen one (the final alignment gives its
// figures).
TEST(MineMessages, NoiseAutoKeepsTheNetOfTheBestFScoreAndShowsTheGrid) {
    const std::string log = std::string(VESK_SHARED_XES) + "/12_roadtraffic_1t_per_variant.xes.gz";
    if (!std::filesystem::exists(log)) GTEST_SKIP() << "no " << log;
    const auto mined = [&log](const std::string& noise) {
        const test::CliResult run =
            test::run_cli({"mine", log, "--construction", "inductive", "--noise", noise,
                           "--no-replay", "--format", "json", "--align"});
        EXPECT_EQ(run.code, 0) << run.err;
        return nlohmann::json::parse(run.out);
    };
    const auto json = mined("auto");
    const auto& choice = json["noise_choice"];
    EXPECT_EQ(choice["variants_measured"], choice["variants"]);
    double best = -1;
    nlohmann::json chosen;
    std::size_t by_event = 0;
    for (const auto& trial : choice["grid"]) {
        if (trial["repeats"] == "each_event") {
            ++by_event;
            char noise[16];
            std::snprintf(noise, sizeof noise, "%.2f", trial["noise"].get<double>());
            const auto alone = mined(noise);
            EXPECT_DOUBLE_EQ(trial["fitness"].get<double>(),
                             alone["alignments"]["fitness"].get<double>())
                << noise;
            EXPECT_DOUBLE_EQ(trial["precision"].get<double>(), alone["precision"].get<double>())
                << noise;
        }
        if (trial["f_score"].get<double>() > best + 1e-12) {
            best = trial["f_score"].get<double>();
            chosen = trial;
        }
    }
    EXPECT_EQ(by_event, 6u);
    EXPECT_GT(choice["grid"].size(), 6u);
    EXPECT_EQ(choice["chosen"], chosen["noise"]);
    EXPECT_EQ(choice["chosen_repeats"], chosen["repeats"]);
    EXPECT_DOUBLE_EQ(json["alignments"]["fitness"].get<double>(), chosen["fitness"].get<double>());
    EXPECT_DOUBLE_EQ(json["precision"].get<double>(), chosen["precision"].get<double>());
    EXPECT_EQ(test::run_cli({"mine", log, "--construction", "inductive", "--noise", "most"}).code,
              2);
}

}  // namespace
}  // namespace vesk
