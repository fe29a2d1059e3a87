// The attribute commands as a script sees them: the JSON documents, the case filter's
// conditions counted by hand, and the exit status of a condition the log cannot take.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "attributes/hand_log.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

TEST(AttributeCommands, JsonListsAndConditionsOnTheHandLog) {
    test::TempDir dir;
    const std::string log = dir.write("hand.xes", test::kHandXes);
    const test::CliResult listed = test::run_cli({"attributes", log, "--format", "json"});
    ASSERT_EQ(listed.code, 0) << listed.err;
    const auto attributes = nlohmann::json::parse(listed.out)["attribute_list"];
    ASSERT_EQ(attributes.size(), 8u);
    EXPECT_EQ(attributes[1]["key"], "amount");
    EXPECT_EQ(attributes[1]["type"], "int");
    EXPECT_EQ(attributes[1]["median"], 15000);
    EXPECT_NE(listed.err.find("list and container attributes are not read: \"tags\""),
              std::string::npos);

    // c1 and c3 have amounts over 1,000; of their events, ann did one.
    const test::CliResult large =
        test::run_cli({"resources", log, "--format", "json", "--case-where", "amount>1000",
                       "--event-where", "org:resource!=ann"});
    ASSERT_EQ(large.code, 0) << large.err;
    const auto resources = nlohmann::json::parse(large.out);
    EXPECT_EQ(resources["events"], 2);
    EXPECT_EQ(resources["resource_list"].size(), 2u);
    EXPECT_EQ(resources["handover_list"].size(), 0u);

    const test::CliResult wrong =
        test::run_cli({"map", log, "--case-where", "amount>lots", "--format", "json"});
    EXPECT_EQ(wrong.code, 2);
    EXPECT_NE(
        nlohmann::json::parse(wrong.out)["errors"][0].get<std::string>().find("\"amount>lots\""),
        std::string::npos);
    EXPECT_EQ(test::run_cli({"resources", log, "--resource-key", "amount"}).code, 2);
    EXPECT_EQ(test::run_cli({"map", log, "--case-where", "amount"}).code, 2);
}

}  // namespace
}  // namespace vesk
