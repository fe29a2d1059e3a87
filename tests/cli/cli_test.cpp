// vesk-cli run in-process: output, exit codes and messages for good and bad input.

#include "cli/cli_app.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace vesk::cli {
namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = run_cli(args, out, err);
    return {code, out.str(), err.str()};
}

std::string golden(const std::string& name) {
    std::ifstream in(std::string(VESK_TEST_DATA) + "/cli/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kExample = VESK_EXAMPLE_LOG;

TEST(Cli, ProcessesOfTheExampleLog) {
    const Result r = run({"processes", kExample});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "1 (order handling)\n2 (none)\n3 (travel approval)\n");
}

TEST(Cli, RelationsOfTheExampleLogMatchTheGoldenListings) {
    Result r = run({"relations", kExample, "--process", "1", "--events", "start,complete"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, golden("relations_1_start_complete.txt"));
    r = run({"relations", kExample, "--process=3", "--events=schedule,start,complete"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, golden("relations_3_schedule_start_complete.txt"));
}

TEST(Cli, EventRulesAreAppliedAndReported) {
    const Result r = run({"relations", kExample, "--process", "3", "--events", "schedule,abort"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("note: abort events are not used"), std::string::npos) << r.err;
}

TEST(Cli, HelpAndUsage) {
    EXPECT_EQ(run({"--help"}).code, 0);
    for (const char* command : {"processes", "relations"}) {
        const Result r = run({command, "--help"});
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("Usage: vesk-cli"), std::string::npos);
    }
    EXPECT_EQ(run({}).code, 2);
    EXPECT_EQ(run({"nonsense"}).code, 2);
    EXPECT_EQ(run({"processes"}).code, 2);
    EXPECT_EQ(run({"relations", kExample}).code, 2);
    EXPECT_EQ(run({"relations", kExample, "--process"}).code, 2);
    EXPECT_EQ(run({"relations", kExample, "--process", "1", "--events", "finish"}).code, 2);
    EXPECT_EQ(run({"relations", kExample, "--process", "1", "--bogus"}).code, 2);
}

TEST(Cli, UnreadableFilesAndUnknownProcessesFailWithAClearMessage) {
    test::TempDir dir;
    Result r = run({"processes", dir.path().string() + "/missing.xml"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("The specified file could not be read.\n", 0), 0u) << r.err;

    r = run({"relations", dir.write("bad.xml", "<log><process id=\"1\">"), "--process", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("The specified file could not be read.\n", 0), 0u) << r.err;

    r = run({"relations", kExample, "--process", "9"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("\"9\""), std::string::npos) << r.err;

    r = run({"relations",
             dir.write("notask.xml", "<log><process id=\"1\"><i><e/></i></process></log>"),
             "--process", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("task_name"), std::string::npos) << r.err;
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Cli, RelationsWithOverlapAreSavedAndReadBack) {
    test::TempDir dir;
    const std::string out = (dir.path() / "new folder").string();
    Result r = run({"relations", kExample, "--process", "1", "--events", "start,complete",
                    "--overlap", "start:complete", "--out", out, "--dtd", "x/WF_relations.dtd"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    const auto saved = std::filesystem::path(out) / "example_log.xml 1 relations.xml";
    const std::string first = read_file(saved);
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
    r = run({"relations", "--relations", saved.string(), "--out", (dir.path() / "a").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.empty());  // no erroneous sets
    const auto once = dir.path() / "a" / "example_log.xml 1 relations.xml";
    r = run({"relations", "--relations", once.string(), "--out", (dir.path() / "b").string(),
             "--show", "relations"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("check credit_start  2147483647"), std::string::npos);
    EXPECT_EQ(read_file(dir.path() / "b" / "example_log.xml 1 relations.xml"), read_file(once));
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
    const Result r = run({"relations", "--relations", path});
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
    EXPECT_EQ(run({"relations", kExample, "--process", "1", "--overlap", "start:complete"}).code,
              2);  // start events are not read
    EXPECT_EQ(run({"relations", kExample, "--process", "1", "--overlap", "complete"}).code, 2);
    EXPECT_EQ(run({"relations", "--relations", "x.xml", "--process", "1"}).code, 2);
    test::TempDir dir;
    const std::string file = dir.write("plain", "x");
    const Result r = run({"relations", kExample, "--process", "1", "--out", file + "/sub"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(file), std::string::npos) << r.err;
}

TEST(Cli, ArbitraryBytesNeverCrash) {
    test::TempDir dir;
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise.push_back(static_cast<char>((i * 7919) % 256));
    const std::string path = dir.write("noise.xml", "<log>" + noise);
    EXPECT_EQ(run({"processes", path}).code, 1);
    EXPECT_EQ(run({"relations", path, "--process", "1"}).code, 1);
    EXPECT_EQ(run({"processes", dir.path().string()}).code, 1);  // a folder, not a file
}

}  // namespace
}  // namespace vesk::cli
