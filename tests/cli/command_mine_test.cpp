// vesk-cli mine: the whole run from a log or from a relations file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/cli_app.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vesk::cli {
namespace {

const std::string kExample = VESK_EXAMPLE_LOG;

TEST(MineCommand, RelationsFileWithALogGivesTheSameRunAsTheLog) {
    test::TempDir dir;
    ASSERT_EQ(
        test::run_cli({"relations", kExample, "--process", "1", "--out", dir.path().string()}).code,
        0);
    const std::string saved = (dir.path() / "example_log.xml 1 relations.xml").string();
    const test::CliResult from_log = test::run_cli({"mine", kExample, "--process", "1"});
    const test::CliResult from_file =
        test::run_cli({"mine", "--relations", saved, "--log", kExample, "--process", "1"});
    EXPECT_EQ(from_file.code, 0) << from_file.err;
    EXPECT_EQ(from_file.out, from_log.out);
    EXPECT_NE(from_log.out.find("Replayed: 240 events of 30 cases"), std::string::npos);
}

TEST(MineCommand, ConstructionsAndListings) {
    test::CliResult r = test::run_cli(
        {"mine", kExample, "--process", "2", "--new-construction", "--no-replay", "--show", "net"});
    EXPECT_EQ(r.code, 0) << r.err;
    // The case that skips the analysis gets an invisible transition around it.
    EXPECT_NE(r.out.find("$#%skip#%$analyse complaint_complete"), std::string::npos);
    EXPECT_EQ(r.out.find("Replayed"), std::string::npos);
    r = test::run_cli({"mine", kExample, "--process", "1", "--split-loops", "--show", "timing",
                       "--show", "relations"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("*receive order_complete*_*check credit_complete*  : W"),
              std::string::npos);
    EXPECT_NE(r.out.find("\nsend reminder_complete  1\n"), std::string::npos);
}

TEST(MineCommand, BadCombinationsAreUsageErrors) {
    EXPECT_EQ(test::run_cli({"mine", kExample, "--process", "1", "--no-combine"}).code, 2);
    EXPECT_EQ(test::run_cli({"mine", kExample, "--process", "1", "--show", "pictures"}).code, 2);
    EXPECT_EQ(test::run_cli({"mine", "--relations", "r.xml", "--log", kExample}).code, 2);
    EXPECT_EQ(test::run_cli({"mine", "--relations", "r.xml", "--events", "start"}).code, 2);
    EXPECT_EQ(test::run_cli({"mine", kExample}).code, 2);
    // Alignments need a net to align on and the log's events.
    EXPECT_EQ(test::run_cli({"align", kExample, "--process", "1"}).code, 2);
    EXPECT_EQ(test::run_cli({"mine", "--relations", "r.xml", "--align"}).code, 2);
    EXPECT_EQ(test::run_cli({"mine", "--help"}).code, 0);
    EXPECT_EQ(test::run_cli({"mine", "--relations", "/nonexistent/r.xml"}).code, 1);
    // The noise belongs to the inductive construction, which needs a log's lines.
    EXPECT_EQ(test::run_cli({"mine", kExample, "--process", "1", "--noise", "0.1"}).code, 2);
    EXPECT_EQ(test::run_cli({"mine", kExample, "--process", "1", "--construction", "inductive",
                             "--noise", "1.5"})
                  .code,
              2);
    EXPECT_EQ(test::run_cli({"mine", "--relations", "r.xml", "--construction", "inductive"}).code,
              2);
    EXPECT_EQ(test::run_cli({"mine", kExample, "--process", "1", "--construction", "alpha",
                             "--new-construction"})
                  .code,
              2);
}

TEST(MineCommand, TheInductiveTreeOfTheTextbookLogIsTheTextbookModel) {
    // The running example of the process-mining textbook: register, then repeatedly the two
    // examinations as a choice beside the ticket check, followed by the decision, with
    // reinitiation as the way back, and finally payment or rejection.
    const std::string log = std::string(VESK_SHARED_XES) + "/running-example.xes";
    if (!std::filesystem::exists(log)) GTEST_SKIP() << "no public logs beside the project";
    const test::CliResult r = test::run_cli(
        {"mine", log, "--construction", "inductive", "--show", "tree", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const nlohmann::json summary = nlohmann::json::parse(r.out);
    const std::string tree =
        "->( 'register request_complete', *( ->( +( X( 'examine casually_complete', "
        "'examine thoroughly_complete' ), 'check ticket_complete' ), 'decide_complete' ), "
        "'reinitiate request_complete' ), X( 'pay compensation_complete', "
        "'reject request_complete' ) )";
    EXPECT_EQ(summary["tree"], tree);
    EXPECT_EQ(summary["listings"]["tree"][0], tree);
    EXPECT_TRUE(summary["structure"]["workflow_net"]);
    EXPECT_EQ(summary["replay"]["fitness"]["fitness"], 1.0);
    EXPECT_EQ(summary["replay"]["fitness"]["fitting_cases"], 6);
}

TEST(MineCommand, TheInductiveConstructionFromARelationsFileReadsTheLog) {
    test::TempDir dir;
    ASSERT_EQ(
        test::run_cli({"relations", kExample, "--process", "1", "--out", dir.path().string()}).code,
        0);
    const std::string saved = (dir.path() / "example_log.xml 1 relations.xml").string();
    const test::CliResult from_log =
        test::run_cli({"mine", kExample, "--process", "1", "--construction", "inductive"});
    const test::CliResult from_file =
        test::run_cli({"mine", "--relations", saved, "--log", kExample, "--process", "1",
                       "--construction", "inductive"});
    EXPECT_EQ(from_file.code, 0) << from_file.err;
    EXPECT_EQ(from_file.out, from_log.out);
    const test::CliResult net_only =
        test::run_cli({"mine", "--relations", saved, "--log", kExample, "--process", "1",
                       "--construction", "inductive", "--no-replay"});
    EXPECT_EQ(net_only.code, 0) << net_only.err;
    EXPECT_EQ(net_only.out.find("Replayed"), std::string::npos);
}

// At noise 0.2 the inductive construction leaves infrequent behaviour of a public log out, and
// the summary says why those cases do not fit; at noise 0 every case fits and nothing is said.
TEST(MineCommand, TheSummarySaysWhatTheNoiseLeftOut) {
    const std::string log = std::string(VESK_SHARED_XES) + "/roadtraffic100traces.xes";
    if (!std::filesystem::exists(log)) GTEST_SKIP() << "no " << log;
    const test::CliResult filtered = test::run_cli({"mine", log, "--construction", "inductive"});
    ASSERT_EQ(filtered.code, 0) << filtered.err;
    const auto fitting = filtered.out.find("cases fitting exactly: ");
    ASSERT_NE(fitting, std::string::npos) << filtered.out;
    const int fit = std::stoi(filtered.out.substr(fitting + 23));
    ASSERT_LT(fit, 100);
    EXPECT_NE(filtered.out.find("Note: noise 0.2 leaves infrequent behaviour out of the net, so " +
                                std::to_string(100 - fit)),
              std::string::npos)
        << filtered.out;
    const test::CliResult exact =
        test::run_cli({"mine", log, "--construction", "inductive", "--noise", "0"});
    EXPECT_NE(exact.out.find("cases fitting exactly: 100 of 100"), std::string::npos) << exact.out;
    EXPECT_EQ(exact.out.find("Note:"), std::string::npos);
}

// With start and complete events read, each activity is one leaf (its instances), not a start
// leaf beside a complete leaf, and the net's start and complete steps replay every case.
TEST(MineCommand, TheIntervalLogIsMinedOverActivityInstances) {
    const std::string log = std::string(VESK_SHARED_XES) + "/interval_event_log.xes";
    if (!std::filesystem::exists(log)) GTEST_SKIP() << "no " << log;
    const test::CliResult r =
        test::run_cli({"mine", log, "--events", "start,complete", "--construction", "inductive",
                       "--noise", "0", "--align", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const nlohmann::json summary = nlohmann::json::parse(r.out);
    const std::string tree = summary["tree"];
    EXPECT_EQ(tree.find("_start"), std::string::npos) << tree;
    EXPECT_NE(tree.find("'send invoice'"), std::string::npos) << tree;
    EXPECT_EQ(summary["replay"]["fitness"]["fitness"], 1.0);
}

}  // namespace
}  // namespace vesk::cli

namespace vesk::cli {
namespace {

TEST(MineCommand, AlignAddsTheAlignmentsOfEveryCase) {
    const test::CliResult r =
        test::run_cli({"mine", kExample, "--process", "1", "--construction", "inductive", "--noise",
                       "0", "--align", "--format", "json", "-q"});
    ASSERT_EQ(r.code, 0) << r.err;
    const nlohmann::json document = nlohmann::json::parse(r.out);
    const nlohmann::json& alignments = document["alignments"];
    // The net of noise 0 fits every case; each variant's moves run its events in order.
    EXPECT_EQ(alignments["fitness"], 1.0);
    EXPECT_GT(document["precision"].get<double>(), 0.0);
    EXPECT_LE(document["precision"].get<double>(), 1.0);
    std::int64_t cases = 0;
    for (const nlohmann::json& variant : alignments["variant_list"]) {
        cases += variant["cases"].get<std::int64_t>();
        std::vector<std::string> logged;
        for (const nlohmann::json& move : variant["moves"])
            if (!move["log"].is_null()) {
                EXPECT_EQ(move["log"], move["model"]);
                logged.push_back(move["log"]);
            }
        EXPECT_EQ(logged, variant["activities"].get<std::vector<std::string>>());
    }
    EXPECT_EQ(cases, document["replay"]["fitness"]["cases"].get<std::int64_t>());
    EXPECT_EQ(alignments["cases"], cases);
}

}  // namespace
}  // namespace vesk::cli
