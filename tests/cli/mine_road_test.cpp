// vesk-cli as a shell tool: the whole road of a run, honest warnings and exit statuses, JSON
// that parses, and usage errors that say what is wrong.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "base/build_info.h"
#include "support/cli_run.h"
#include "support/log_xml.h"
#include "support/temp_dir.h"

namespace vesk::cli {
namespace {

using test::Case;
using test::Entry;

const std::string kExample = VESK_EXAMPLE_LOG;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The lines of one task's block in the relations listing.
std::string task_block(const std::string& listing, const std::string& task) {
    const auto begin = listing.find("\n" + task + "  ");
    if (begin == std::string::npos) return {};
    const auto end = listing.find("\n\n", begin + 1);
    return listing.substr(begin + 1, end == std::string::npos ? end : end - begin - 1);
}

Case cases_of(std::initializer_list<const char*> tasks, const char* kind = "complete") {
    Case c;
    for (const char* task : tasks)
        c.push_back({task, kind, "04-03-2002", "10:00"});
    return c;
}

TEST(MineRoad, ClosingTheInspectorOrdersTheListsByTheSortedFacts) {
    // "check" repeats itself (a length-one loop). Closing gives every list the order of the
    // sorted facts (by task names), so check comes before receive in send's predecessors; left
    // to the loop handling it would come last.
    test::TempDir dir;
    const std::string log = dir.write(
        "loop.xml", test::log_xml({{.cases = {cases_of({"receive", "check", "check", "send"}),
                                              cases_of({"receive", "send"}),
                                              cases_of({"receive", "check", "send"})}}}));
    const test::CliResult r = test::run_cli({"mine", log, "--process", "1", "--show", "relations"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(task_block(r.out, "send_complete"),
              "send_complete  2147483647\n"
              "  < check_complete receive_complete \n"
              "  > \n"
              " -> \n"
              " <- check_complete receive_complete \n"
              " || ");
    EXPECT_TRUE(
        contains(task_block(r.out, "receive_complete"), "  > check_complete send_complete \n"));
}

TEST(MineRoad, TheLifeCycleLinkOfATwoLoopActivityIsListed) {
    // redo_start redo_complete redo_start: a length-two loop of one activity's own events.
    test::TempDir dir;
    Case twice;
    for (const char* task : {"take", "redo", "redo", "end"})
        for (const char* kind : {"start", "complete"})
            twice.push_back({task, kind, "04-03-2002", "10:00"});
    Case once = twice;
    once.erase(once.begin() + 4, once.begin() + 6);
    const std::string log = dir.write("two.xml", test::log_xml({{.cases = {twice, once}}}));
    const test::CliResult r = test::run_cli(
        {"mine", log, "--process", "1", "--events", "start,complete", "--show", "relations"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string block = task_block(r.out, "redo_start");
    EXPECT_TRUE(contains(block, "redo_start  2\n")) << block;
    EXPECT_TRUE(contains(block, "\n -> redo_complete \n")) << block;
}

TEST(MineRoad, EachKindOfForgivenProblemIsOneWarningWithACountAndAnExample) {
    test::TempDir dir;
    // Kinds written in capitals, a date in ISO form and a time without its leading zero.
    const std::string log = dir.write(
        "odd.xml", test::log_xml({{.cases = {{{"a", "COMPLETE", "04-03-2002", "10:00"},
                                              {"b", "complete", "2002-03-04", "10:05"},
                                              {"c", "complete", "04-03-2002", "9:30"}},
                                             {{"a", "Complete", "05-03-2002", "10:00"},
                                              {"b", "complete", "05-03-2002", "10:00"}}}}}));
    test::CliResult r = test::run_cli({"relations", log, "--process", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(contains(r.err, "vesk-cli: warning: 2 entries have an event kind that is none of"))
        << r.err;
    EXPECT_TRUE(contains(r.err, "(\"COMPLETE\", \"Complete\")")) << r.err;
    EXPECT_TRUE(contains(r.err, "1 entry have no readable date (the first reads \"2002-03-04\")"))
        << r.err;
    EXPECT_TRUE(contains(r.err, "DD-MM-YYYY")) << r.err;
    EXPECT_TRUE(contains(r.err, "the first reads \"9:30\"")) << r.err;
    EXPECT_TRUE(contains(r.err, "HH:MM[:SS[.fff]]")) << r.err;
    EXPECT_TRUE(contains(r.err, "vesk-cli: the results rest on a log read with 3 warnings"))
        << r.err;

    // Start events asked of a log that has none: the kinds it does have are named.
    r = test::run_cli({"relations", log, "--process", "1", "--events", "start"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(contains(r.err, "process 1 has no events of the types read (start, complete)") ||
                contains(r.err, "has no events of the types read"))
        << r.err;
    // With start asked, complete is read as well, so here b and c are kept: no such warning.
    const std::string starts =
        dir.write("starts.xml", test::log_xml({{.cases = {cases_of({"a", "b"}, "start")}}}));
    // Nothing read is an error that names the kinds there are, and no file is written.
    r = test::run_cli({"mine", starts, "--process", "1", "--out", dir.path().string() + "/none"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "vesk-cli: process 1 has no events of the types read (complete); its 2 entries have "
              "the event kinds \"start\" 2: nothing was mined; choose event types that the "
              "process has with --events, or pick another --process\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "none"));

    // -q keeps stderr for errors only.
    r = test::run_cli({"relations", log, "--process", "1", "-q"});
    EXPECT_EQ(r.err, "");
}

TEST(MineRoad, ReplayedCasesAreTheCasesKeptNotTheProcessInstances) {
    // Process 3 of the example has six instances, one of them aborted.
    const test::CliResult r = test::run_cli({"mine", kExample, "--process", "3"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "Replayed: 10 events of 5 cases\n")) << r.out;
    EXPECT_TRUE(contains(r.out, "Not replayed: 1 of the process's 6 instances")) << r.out;
}

// PATH pointing at a folder of the test's own, for the lookup of dot.
class PathOverride {
public:
    explicit PathOverride(const std::string& path) : old_(std::getenv("PATH")) {
        ::setenv("PATH", path.c_str(), 1);
    }
    ~PathOverride() { ::setenv("PATH", old_.c_str(), 1); }

private:
    std::string old_;
};

TEST(MineRoad, AFailedOrMissingDotMakesTheExitStatusThree) {
    if (std::filesystem::exists(std::filesystem::path(VESK_CLI_PATH).parent_path() / "dot"))
        GTEST_SKIP() << "a dot next to the programs would be found first";
    test::TempDir dir;
    const std::string bin = (dir.path() / "bin").string();
    std::filesystem::create_directories(bin);
    const std::string out = (dir.path() / "out").string();
    {
        PathOverride path(bin);
        const test::CliResult r =
            test::run_cli({"mine", kExample, "--process", "1", "--out", out, "--render"});
        EXPECT_EQ(r.code, 3) << r.err;
        EXPECT_TRUE(contains(r.err, "dot (GraphViz) was found neither")) << r.err;
        EXPECT_TRUE(std::filesystem::exists(dir.path() / "out" / "example_log.xml 1 .tpn"));
    }
    dir.write("bin/dot", "#!/bin/sh\nexit 4\n");
    std::filesystem::permissions(dir.path() / "bin" / "dot", std::filesystem::perms::owner_all);
    PathOverride path(bin);
    const test::CliResult r = test::run_cli(
        {"mine", kExample, "--process", "1", "--out", out, "--render", "--format", "json"});
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_TRUE(contains(r.err, "dot ended with exit status 4")) << r.err;
    const auto summary = nlohmann::json::parse(r.out);
    // Five pictures, the first drawing of the map (the others are not tried) and the net.
    EXPECT_EQ(summary["errors"].size(), 7u);
}

// Guards around dot: a run that never ends is stopped when the export's time is spent, with all
// it started, and the runs after it are not started; a net over the size limit is not drawn,
// and what dot says reaches stderr behind "dot: " (not under -q). The summary comes first.
TEST(MineRoad, DotIsStoppedAtItsLimitsAndItsWordsArePassedOn) {
    if (std::filesystem::exists(std::filesystem::path(VESK_CLI_PATH).parent_path() / "dot"))
        GTEST_SKIP() << "a dot next to the programs would be found first";
    test::TempDir dir;
    const std::string bin = (dir.path() / "bin").string();
    const std::string out = (dir.path() / "out").string();
    const std::string marker = (dir.path() / "still-running").string();
    std::filesystem::create_directories(bin);
    // A stand-in that starts a child which would leave a mark if it outlived the limit.
    dir.write("bin/dot",
              "#!/bin/sh\n(/bin/sleep 3; /usr/bin/touch '" + marker + "') &\n/bin/sleep 30\n");
    std::filesystem::permissions(dir.path() / "bin" / "dot", std::filesystem::perms::owner_all);
    {
        PathOverride path(bin);
        const test::CliResult r = test::run_cli({"mine", kExample, "--process", "2", "--out", out,
                                                 "--report", "--render-timeout", "1"});
        EXPECT_EQ(r.code, 3) << r.err;
        // One budget for the whole export: the first run spends it, the others never start.
        EXPECT_TRUE(contains(r.err, "dot was stopped: the 1 s allowed for drawing ran out"))
            << r.err;
        EXPECT_TRUE(contains(r.err, "not drawn: the 1 s allowed for drawing had run out: dot"))
            << r.err;
        EXPECT_TRUE(contains(r.out, "Net: 5 transitions")) << r.out;
        const test::CliResult big = test::run_cli(
            {"mine", kExample, "--process", "2", "--out", out, "--render", "--max-render", "3"});
        EXPECT_EQ(big.code, 3);
        EXPECT_TRUE(contains(big.err,
                             "the net has 11 transitions and places, more than "
                             "--max-render 3: no pictures were made"))
            << big.err;
    }
    dir.write("bin/dot",
              "#!/bin/sh\necho 'Warning: odd input' >&2\nfor a; do last=$a; done\n"
              "echo x > \"$last\"\n");
    PathOverride path(bin);
    const test::CliResult talk =
        test::run_cli({"mine", kExample, "--process", "2", "--out", out, "--render"});
    EXPECT_TRUE(contains(talk.err, "vesk-cli: dot: Warning: odd input")) << talk.err;
    const test::CliResult quiet =
        test::run_cli({"mine", kExample, "--process", "2", "--out", out, "--render", "-q"});
    EXPECT_FALSE(contains(quiet.err, "odd input")) << quiet.err;
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_FALSE(std::filesystem::exists(marker)) << "dot's child outlived the limit";
}

// The only start activity follows itself: it is set aside as a length-one loop, and the start
// place is left without an output arc, so every transition fires freely. The replay alone
// would see nothing wrong; the summary and the JSON say what is.
TEST(MineRoad, ABrokenNetIsToldInTheSummaryAndTheJson) {
    test::TempDir dir;
    const std::string log = dir.write(
        "loop.xml", test::log_xml({{.id = "p", .cases = {{{"a"}, {"a"}, {"b"}}, {{"a"}, {"b"}}}}}));
    const test::CliResult text = test::run_cli({"mine", log, "-q"});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_NE(text.out.find("Structure: 2 of 2 transitions lack an input or an output place (1 "
                            "with no arc at all and 1 without input): a_complete, b_complete\n"
                            "  the start place has no output arc\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("Hint: the log is too irregular"), std::string::npos);
    EXPECT_NE(text.out.find("or the inductive construction (--construction inductive)"),
              std::string::npos);
    EXPECT_NE(text.out.find("; 2 transitions have no input place and fire whenever their task"),
              std::string::npos)
        << text.out;
    const auto json = nlohmann::json::parse(test::run_cli({"mine", log, "--format", "json"}).out);
    const auto& structure = json["structure"];
    EXPECT_EQ(structure["workflow_net"], false);
    EXPECT_EQ(structure["transitions_without_arcs"], nlohmann::json::array({"a_complete"}));
    EXPECT_EQ(structure["transitions_without_input"], nlohmann::json::array({"b_complete"}));
    EXPECT_EQ(structure["start_place_without_output"], true);
    EXPECT_EQ(structure["transitions_off_path"], 2);
    // The log has no dates or times: two warnings, each about all five entries.
    ASSERT_EQ(json["warning_list"].size(), 2u);
    EXPECT_EQ(json["warning_list"][0]["kind"], "unreadable_date");
    EXPECT_EQ(json["warning_list"][0]["count"], 5);
    EXPECT_EQ(json["warning_list"][1]["kind"], "unreadable_time");
}

// Cases a,tk,z for k = 1..21 and one case a,t1..t21,z: t1 causes t2 and so on, so the single
// tk of the short cases cannot fire from k = 2 on, nor z after them. The summary shows 20
// names and the count of the rest; the JSON keeps all 21.
TEST(MineRoad, ALongUnfiredListIsCutInTheSummaryOnly) {
    test::TempDir dir;
    std::vector<test::Case> cases;
    test::Case long_case = {{"a"}};
    for (int k = 1; k <= 21; ++k) {
        const std::string t = "t" + std::to_string(100 + k);
        cases.push_back({{"a"}, {t}, {"z"}});
        long_case.push_back({t});
    }
    long_case.push_back({"z"});
    cases.push_back(long_case);
    const std::string log = dir.write("unfired.xml", test::log_xml({{.id = "p", .cases = cases}}));
    const test::CliResult text = test::run_cli({"mine", log, "-q"});
    EXPECT_NE(text.out.find("\n  and 1 more\nSafe:"), std::string::npos) << text.out;
    const auto json = nlohmann::json::parse(test::run_cli({"mine", log, "--format", "json"}).out);
    EXPECT_EQ(json["replay"]["unfired_tasks"].size(), 21u);
}

// The three-case log a,b,d / a,b,d / a,c,d: the JSON holds the net with its figures, worked out
// by hand from the timestamps, the listings asked for, and a failure as JSON as well.
TEST(MineRoad, TheJsonHoldsTheNetItsFiguresTheListingsAndFailures) {
    const std::string log = std::string(VESK_TEST_DATA) + "/formats/three_cases_net/log.xml";
    const test::CliResult r = test::run_cli({"mine", log, "--format", "json", "--show", "net"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j["net"]["transition_list"].size(), 4u);
    const auto& b = j["net"]["transition_list"][1];
    EXPECT_EQ(b["name"], "b_complete");
    EXPECT_EQ(b["activity"], "b");
    EXPECT_EQ(b["event"], "complete");
    EXPECT_EQ(b["occurrences"], 2);
    // The place after a: waits of 10, 30 and 20 minutes before b, b and c.
    const auto& after_a = j["net"]["place_list"][0];
    EXPECT_EQ(after_a["input_transitions"], nlohmann::json::array({"a_complete"}));
    EXPECT_EQ(after_a["output_transitions"], nlohmann::json::array({"b_complete", "c_complete"}));
    EXPECT_EQ(after_a["waiting"]["observations"], 3);
    EXPECT_EQ(after_a["waiting"]["mean"], 20.0);
    EXPECT_EQ(after_a["waiting"]["minimum"], 10.0);
    EXPECT_EQ(after_a["waiting"]["maximum"], 30.0);
    EXPECT_EQ(after_a["synchronisation"]["observations"], 0);
    EXPECT_EQ(j["listings"]["net"].front(), "transitions");

    const test::CliResult failed = test::run_cli({"mine", log + ".missing", "--format", "json"});
    EXPECT_EQ(failed.code, 1);
    const auto errors = nlohmann::json::parse(failed.out);
    EXPECT_EQ(errors["errors"].front(), "The specified file could not be read.");
    // A usage error, found by the parser or by the command, is JSON too, with status 2.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"mine", log, "--format", "json", "--bogus"},
          std::vector<std::string>{"mine", log, "--format=json", "--no-combine"}}) {
        const test::CliResult usage = test::run_cli(args);
        EXPECT_EQ(usage.code, 2);
        EXPECT_EQ(nlohmann::json::parse(usage.out)["errors"].size(), 1u) << usage.out;
    }
}

// The relations of a,b,d / a,b,d / a,c,d as JSON: the causal facts and the distance of d from a
// are those a reader finds by hand.
TEST(MineRoad, TheRelationsAsJson) {
    test::TempDir dir;
    const std::string log = std::string(VESK_TEST_DATA) + "/formats/three_cases_net/log.xml";
    const test::CliResult r =
        test::run_cli({"relations", log, "--format", "json", "--out", dir.path().string()});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["process"], "p");
    ASSERT_EQ(j["tasks"].size(), 4u);
    EXPECT_EQ(j["tasks"][0]["name"], "a_complete");
    EXPECT_EQ(j["tasks"][0]["trace_start"], true);
    EXPECT_TRUE(j["tasks"][0]["loop_length"].is_null());
    EXPECT_EQ(j["tasks"][0]["causal_successors"],
              nlohmann::json::array({"b_complete", "c_complete"}));
    std::set<std::string> causal;
    int distance_a_d = 0;
    for (const auto& fact : j["facts"]) {
        if (fact["kind"] == "caus")
            causal.insert(fact["task1"].get<std::string>() + ">" +
                          fact["task2"].get<std::string>());
        if (fact["kind"] == "long_succ" && fact["task1"] == "a_complete" &&
            fact["task2"] == "d_complete")
            distance_a_d = fact["distance"];
    }
    EXPECT_EQ(causal, (std::set<std::string>{"a_complete>b_complete", "a_complete>c_complete",
                                             "b_complete>d_complete", "c_complete>d_complete"}));
    EXPECT_EQ(distance_a_d, 2);
    ASSERT_EQ(j["files"].size(), 1u);

    // The file read back: no erroneous set, the same tasks.
    const auto back = nlohmann::json::parse(
        test::run_cli({"relations", "--relations", j["files"][0], "--format", "json"}).out);
    EXPECT_EQ(back["erroneous_sets"], nlohmann::json::array());
    EXPECT_EQ(back["tasks"].size(), 4u);
}

// The counts of every process, checked against the file's text: the entries and the event
// kinds of each process element, counted as strings.
TEST(MineRoad, ProcessCountsMatchTheFilesText) {
    const auto j = nlohmann::json::parse(
        test::run_cli({"processes", kExample, "--counts", "--format", "json"}).out);
    const std::string text = test::read_file(kExample);
    const auto count_in = [](const std::string& part, const std::string& what) {
        std::int64_t n = 0;
        for (auto at = part.find(what); at != std::string::npos; at = part.find(what, at + 1))
            ++n;
        return n;
    };
    ASSERT_EQ(j["processes"].size(), 3u);
    std::size_t from = text.find("<process ");
    for (const auto& process : j["processes"]) {
        const std::size_t to = text.find("</process>", from);
        const std::string part = text.substr(from, to - from);
        SCOPED_TRACE(process["id"].get<std::string>());
        EXPECT_EQ(process["cases"], count_in(part, "<process_instance"));
        EXPECT_EQ(process["events"], count_in(part, "<audit_trail_entry>"));
        for (const auto& [kind, count] : process["event_kinds"].items())
            EXPECT_EQ(count, count_in(part, "kind=\"" + kind + "\""));
        from = text.find("<process ", to);
    }
    const test::CliResult line = test::run_cli({"processes", kExample, "--counts"});
    EXPECT_NE(line.out.find("1 (order handling): 30 cases, 240 events (complete 240)\n"),
              std::string::npos)
        << line.out;
}

TEST(MineRoad, TheJsonSummaryParsesAndCarriesTheFindings) {
    test::TempDir dir;
    const test::CliResult r = test::run_cli(
        {"mine", kExample, "--process", "2", "--format", "json", "--out", dir.path().string()});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["process"], "2");
    EXPECT_EQ(j["events"], nlohmann::json::array({"complete"}));
    EXPECT_EQ(j["net"]["transitions"], 5);
    EXPECT_EQ(j["replay"]["cases"], 9);
    EXPECT_EQ(j["replay"]["unfired_tasks"],
              nlohmann::json::array({"compensate customer_complete"}));
    EXPECT_EQ(j["replay"]["safe"], true);
    EXPECT_EQ(j["replay"]["tokens_left"], true);
    EXPECT_EQ(j["flow_time_minutes"]["observations"], 9);
    EXPECT_EQ(j["flow_time_minutes"]["minimum"], 63.0);
    EXPECT_EQ(j["warnings"], 0);
    bool has_tpn = false;
    for (const auto& file : j["files"])
        has_tpn = has_tpn || file.get<std::string>().ends_with("example_log.xml 2 .tpn");
    EXPECT_TRUE(has_tpn) << j["files"].dump();

    const auto list =
        nlohmann::json::parse(test::run_cli({"processes", kExample, "--format", "json"}).out);
    EXPECT_EQ(list["processes"][1]["id"], "2");
    EXPECT_TRUE(list["processes"][1]["description"].is_null());

    // A run without replay says so with null, not with made-up figures.
    const auto bare = nlohmann::json::parse(
        test::run_cli({"mine", kExample, "--process", "1", "--no-replay", "--format", "json"}).out);
    EXPECT_TRUE(bare["replay"].is_null());
    EXPECT_TRUE(bare["flow_time_minutes"].is_null());
}

TEST(MineRoad, UsageErrorsNameTheProblemOnOneLineAndPointToHelp) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"mine", kExample, "--process", "1", "--bogus"},
          {"mine", kExample, "--process", "1", "--no-combine"},
          {"mine", kExample, "--process", "1", "--format", "xml"},
          {"mine", kExample, "--render"},
          {"mine", kExample, "--process", "1", "--out", "x", "--picture", "svg"},
          {"mine", kExample, "--process", "1", "--out", "x", "--render", "--picture", "gif"}}) {
        const test::CliResult r = test::run_cli(args);
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_TRUE(r.err.rfind("vesk-cli: ", 0) == 0) << r.err;
        EXPECT_TRUE(r.err.ends_with("\nvesk-cli: Try 'vesk-cli mine --help'.\n")) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    }
    const test::CliResult version = test::run_cli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind(std::string("vesk-cli ") + kVeskVersion + "\n", 0), 0u);
    EXPECT_TRUE(contains(version.out, "Apache License, Version 2.0")) << version.out;
    const test::CliResult help = test::run_cli({"mine", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(contains(help.out, "--format")) << help.out;
    EXPECT_TRUE(contains(help.out, "Exit status:")) << help.out;
}

TEST(MineRoad, AFolderGivenAsTheLogGetsOneClearMessage) {
    test::TempDir dir;
    const test::CliResult r = test::run_cli({"processes", dir.path().string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "vesk-cli: The specified file could not be read.\nvesk-cli: " +
                         dir.path().string() + ": is a folder, not a file\n");
}

}  // namespace
}  // namespace vesk::cli
