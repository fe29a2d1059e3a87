// vesk-cli mine: the whole run from a log or from a relations file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
    EXPECT_EQ(test::run_cli({"mine", "--help"}).code, 0);
    EXPECT_EQ(test::run_cli({"mine", "--relations", "/nonexistent/r.xml"}).code, 1);
}

}  // namespace
}  // namespace vesk::cli
