// vesk-cli run in-process: output, exit codes and messages for good and bad input.

#include "cli/cli_app.h"
#include "support/cli_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/log_xml.h"
#include "support/temp_dir.h"

#include <tuple>

namespace vesk::cli {
namespace {

const std::string kExample = VESK_EXAMPLE_LOG;

TEST(Cli, ProcessesOfTheExampleLog) {
    const test::CliResult r = test::run_cli({"processes", kExample});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "1 (order handling)\n2 (none)\n3 (travel approval)\n");
}

TEST(Cli, EventRulesAreAppliedAndReported) {
    const test::CliResult r =
        test::run_cli({"relations", kExample, "--process", "3", "--events", "schedule,abort"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("note: abort events are not used"), std::string::npos) << r.err;
}

TEST(Cli, HelpAndUsage) {
    EXPECT_EQ(test::run_cli({"--help"}).code, 0);
    for (const char* command : {"processes", "relations"}) {
        const test::CliResult r = test::run_cli({command, "--help"});
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("Usage: vesk-cli"), std::string::npos);
    }
    EXPECT_EQ(test::run_cli({}).code, 2);
    EXPECT_EQ(test::run_cli({"nonsense"}).code, 2);
    EXPECT_EQ(test::run_cli({"processes"}).code, 2);
    EXPECT_EQ(test::run_cli({"relations", kExample}).code, 2);
    EXPECT_EQ(test::run_cli({"relations", kExample, "--process"}).code, 2);
    EXPECT_EQ(test::run_cli({"relations", kExample, "--process", "1", "--events", "finish"}).code,
              2);
    EXPECT_EQ(test::run_cli({"relations", kExample, "--process", "1", "--bogus"}).code, 2);
}

// Values the stock checks let through, NaN above all, are refused with the range in words.
TEST(Cli, OptionValuesOutsideTheirRangeAreNamed) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"mine", kExample, "--top-variants", "0"},
         "--top-variants: expected a whole number from 1, not \"0\""},
        {{"mine", kExample, "--top-variants", "3abc"}, "whole number from 1, not \"3abc\""},
        {{"mine", kExample, "--variant-coverage", "nan"},
         "--variant-coverage: expected a number from 0 to 100, not \"nan\""},
        {{"mine", kExample, "--construction", "inductive", "--noise", "nan"},
         "--noise: expected auto or a number from 0 to 1, not \"nan\""},
        {{"map", kExample, "--process", "1", "--activities", "nan"}, "from 0 to 100"},
        {{"map", kExample, "--process", "1", "--paths", "inf"}, "from 0 to 100"},
        {{"mine", kExample, "--from", ""}, "--from: expected a date, not an empty value"}};
    for (const auto& [arguments, message] : refused) {
        const test::CliResult r = test::run_cli(arguments);
        EXPECT_EQ(r.code, 2) << arguments[2];
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
}

// A log of one process needs no --process, event types are read in any case, and a mistyped
// command is named.
TEST(Cli, WhatAUserTypesWithoutLookingItUp) {
    test::TempDir dir;
    const std::string one = dir.write(
        "one.xml", test::log_xml({{.id = "p", .cases = {{{"a"}, {"b"}}, {{"a"}, {"b"}}}}}));
    const test::CliResult implied = test::run_cli({"relations", one, "--events", "Complete"});
    EXPECT_EQ(implied.code, 0) << implied.err;
    EXPECT_EQ(implied.out, test::run_cli({"relations", one, "--process", "p"}).out);
    const test::CliResult spaced = test::run_cli(
        {"relations", kExample, "--process", "3", "--events", "SCHEDULE, start,complete"});
    EXPECT_EQ(spaced.out, test::run_cli({"relations", kExample, "--process", "3", "--events",
                                         "schedule,start,complete"})
                              .out);

    const test::CliResult several = test::run_cli({"relations", kExample});
    EXPECT_EQ(several.code, 2);
    EXPECT_NE(several.err.find("the log has 3 processes"), std::string::npos) << several.err;
    const test::CliResult typo = test::run_cli({"--timings", "mien", kExample});
    EXPECT_EQ(typo.code, 2);
    EXPECT_NE(typo.err.find("unknown command \"mien\""), std::string::npos) << typo.err;
}

TEST(Cli, UnreadableFilesAndUnknownProcessesFailWithAClearMessage) {
    test::TempDir dir;
    test::CliResult r = test::run_cli({"processes", dir.path().string() + "/missing.xml"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("vesk-cli: The specified file could not be read.\n", 0), 0u) << r.err;

    r = test::run_cli(
        {"relations", dir.write("bad.xml", "<log><process id=\"1\">"), "--process", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("vesk-cli: The specified file could not be read.\n", 0), 0u) << r.err;

    r = test::run_cli({"relations", kExample, "--process", "9"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("\"9\""), std::string::npos) << r.err;

    r = test::run_cli(
        {"relations", dir.write("notask.xml", "<log><process id=\"1\"><i><e/></i></process></log>"),
         "--process", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("task_name"), std::string::npos) << r.err;
}

TEST(Cli, RelationsWithOverlapAreSavedAndReadBack) {
    test::TempDir dir;
    const std::string out = (dir.path() / "new folder").string();
    // The two checks overlap in time but always start in the same order.
    test::Case c;
    for (const auto& [task, kind, time] :
         std::vector<std::tuple<const char*, const char*, const char*>>{
             {"receive order", "start", "09:00"},
             {"receive order", "complete", "09:10"},
             {"check credit", "start", "09:20"},
             {"check stock", "start", "09:30"},
             {"check credit", "complete", "09:40"},
             {"check stock", "complete", "09:50"},
             {"ship", "start", "10:00"},
             {"ship", "complete", "10:30"}})
        c.push_back({task, kind, "04-03-2002", time});
    const std::string log = dir.write("overlap.xml", test::log_xml({{.cases = {c, c}}}));
    test::CliResult r =
        test::run_cli({"relations", log, "--process", "1", "--events", "start,complete",
                       "--overlap", "start:complete", "--out", out, "--dtd", "x/WF_relations.dtd"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    const auto saved = std::filesystem::path(out) / "overlap.xml 1 relations.xml";
    const std::string first = test::read_file(saved);
    EXPECT_EQ(first.rfind("<?xml version=\"1.0\"?>\r\n<!DOCTYPE WF_relations SYSTEM "
                          "\"x/WF_relations.dtd\">\r\n",
                          0),
              0u);
    // The overlap made the two checks parallel.
    EXPECT_NE(first.find("<fact kind=\"par\" certainty=\"1\">\r\n"
                         "      <task1 id=\"check credit\" kind=\"start\"/>\r\n"
                         "      <task2 id=\"check stock\" kind=\"start\"/>"),
              std::string::npos);

    // Open and save twice: the second save changes nothing.
    r = test::run_cli(
        {"relations", "--relations", saved.string(), "--out", (dir.path() / "a").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.empty());  // no erroneous sets
    const auto once = dir.path() / "a" / "overlap.xml 1 relations.xml";
    r = test::run_cli({"relations", "--relations", once.string(), "--out",
                       (dir.path() / "b").string(), "--show", "relations"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("check credit_start  2147483647"), std::string::npos);
    EXPECT_EQ(test::read_file(dir.path() / "b" / "overlap.xml 1 relations.xml"),
              test::read_file(once));
}

TEST(Cli, ErroneousSetsOfARelationsFileAreListed) {
    test::TempDir dir;
    const std::string path = dir.write(
        "r.xml",
        "<WF_relations><tasks><task name='A' kind='complete'/><task name='B' kind='complete'/>"
        "</tasks><facts>"
        "<fact kind='caus'><task1 id='A' kind='complete'/><task2 id='B' kind='complete'/></fact>"
        "<fact kind='par'><task1 id='B' kind='complete'/><task2 id='A' kind='complete'/></fact>"
        "<fact kind='long_succ'><task1 id='A' kind='complete'/><task2 id='B' kind='complete'/>"
        "</fact></facts></WF_relations>");
    const test::CliResult r = test::run_cli({"relations", "--relations", path});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Erroneous set 0\n"
              "  A_complete   ->   B_complete\n"
              "  B_complete   ||   A_complete\n"
              "  A_complete  >>>   B_complete\n");
    EXPECT_NE(r.err.find("warning: This XML file could not be read, because a distance"),
              std::string::npos);
}

TEST(Cli, BadOverlapsAndUnwritableFolders) {
    EXPECT_EQ(
        test::run_cli({"relations", kExample, "--process", "1", "--overlap", "start:complete"})
            .code,
        2);  // start events are not read
    EXPECT_EQ(
        test::run_cli({"relations", kExample, "--process", "1", "--overlap", "complete"}).code, 2);
    EXPECT_EQ(test::run_cli({"relations", "--relations", "x.xml", "--process", "1"}).code, 2);
    test::TempDir dir;
    const std::string file = dir.write("plain", "x");
    const test::CliResult r =
        test::run_cli({"relations", kExample, "--process", "1", "--out", file + "/sub"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(file), std::string::npos) << r.err;
}

TEST(Cli, ArbitraryBytesNeverCrash) {
    test::TempDir dir;
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise.push_back(static_cast<char>((i * 7919) % 256));
    const std::string path = dir.write("noise.xml", "<log>" + noise);
    EXPECT_EQ(test::run_cli({"processes", path}).code, 1);
    EXPECT_EQ(test::run_cli({"relations", path, "--process", "1"}).code, 1);
    EXPECT_EQ(test::run_cli({"processes", dir.path().string()}).code, 1);  // a folder, not a file
}

}  // namespace
}  // namespace vesk::cli
