// Nets read from PNML: what this program writes comes back with the same figures, files in the
// style of the common tools are replayed as they mean it, and bad files are refused by name.

#include "formats/pnml_reader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

#include "support/cli_run.h"
#include "support/log_xml.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using nlohmann::json;

json mine_json(const std::vector<std::string>& args) {
    std::vector<std::string> full = {"mine"};
    full.insert(full.end(), args.begin(), args.end());
    full.insert(full.end(), {"--format", "json", "-q"});
    const test::CliResult r = test::run_cli(full);
    EXPECT_EQ(r.code, 0) << r.err;
    return json::parse(r.out);
}

std::string only_pnml(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".pnml") return entry.path().string();
    return "";
}

// The replay's figures: fitness, flow time, and each place's three figures in place order.
json figures(const json& summary) {
    json places = json::array();
    for (const json& place : summary["net"]["place_list"])
        places.push_back({place["waiting"], place["synchronisation"], place["sojourn"]});
    return {summary["replay"]["fitness"], summary["flow_time_minutes"], places,
            summary["net"]["transitions"], summary["net"]["arcs"]};
}

TEST(PnmlReader, TheNetsThisProgramWritesReplayWithTheSameFigures) {
    const std::string logs = VESK_SHARED_XES;
    for (const auto& [log, construction] :
         std::vector<std::pair<std::string, std::string>>{{"running-example.xes", "alpha"},
                                                          {"running-example.xes", "inductive"},
                                                          {"helpdesk.xes.gz", "inductive"},
                                                          {"a32f0n50.xes.gz", "inductive"}}) {
        SCOPED_TRACE(log + ", " + construction);
        test::TempDir dir;
        const json mined = mine_json(
            {logs + "/" + log, "--construction", construction, "--out", dir.path().string()});
        const json replayed = mine_json({logs + "/" + log, "--net", only_pnml(dir.path())});
        EXPECT_EQ(figures(replayed), figures(mined));
    }
}

// start -> a -> p1 -> (b or silent) -> p2 -> c -> end, in the two common tools' manners.
std::string tool_style_net(bool nested_pages) {
    const std::string label_of_a = nested_pages ? "a" : "a+complete";
    std::string nodes =
        "<place id=\"start\"><initialMarking><text>1</text></initialMarking></place>"
        "<place id=\"p1\"/><place id=\"p2\"/><place id=\"end\"/>"
        "<transition id=\"ta\"><name><text>" +
        label_of_a +
        "</text></name></transition>"
        "<transition id=\"tb\"><name><text>b</text></name></transition>"
        "<transition id=\"skip\"><name><text>tau_1</text></name>"
        "<toolspecific tool=\"ProM\" version=\"6.4\" activity=\"$invisible$\" localNodeID=\"x\"/>"
        "</transition>"
        "<transition id=\"tc\"><name><text>c</text></name></transition>";
    const std::string plain =
        "<arctype><text>normal</text></arctype>"
        "<inscription><text>1</text></inscription>";
    for (const auto& [id, source, target] :
         std::vector<std::tuple<std::string, std::string, std::string>>{{"a1", "start", "ta"},
                                                                        {"a2", "ta", "p1"},
                                                                        {"a3", "p1", "tb"},
                                                                        {"a4", "tb", "p2"},
                                                                        {"a5", "p1", "skip"},
                                                                        {"a6", "skip", "p2"},
                                                                        {"a7", "p2", "tc"},
                                                                        {"a8", "tc", "end"}})
        nodes += "<arc id=\"" + id + "\" source=\"" + source + "\" target=\"" + target + "\">" +
                 (nested_pages ? plain : "") + "</arc>";
    std::string net = nested_pages ? "<page id=\"outer\"><page id=\"inner\">" + nodes +
                                         "</page></page><finalmarkings><marking><place "
                                         "idref=\"end\"><text>1</text></place></marking>"
                                         "</finalmarkings>"
                                   : nodes;  // no final marking: the place without a way out
    return "<?xml version=\"1.0\"?><pnml xmlns=\"http://www.pnml.org/version-2009/grammar/pnml\">"
           "<net id=\"n\" type=\"http://www.pnml.org/version-2009/grammar/ptnet\">" +
           net + "</net></pnml>";
}

test::Case events(std::initializer_list<const char*> tasks) {
    test::Case c;
    int minute = 0;
    for (const char* task : tasks)
        c.push_back({task, "complete", "04-03-2002", "10:0" + std::to_string(minute++)});
    return c;
}

TEST(PnmlReader, FilesInTheCommonToolsStylesAreReplayedAsTheyMeanIt) {
    test::TempDir dir;
    const std::string log =
        dir.write("log.xml", test::log_xml({{.cases = {events({"a", "b", "c"}), events({"a", "c"}),
                                                       events({"a", "b"})}}}));
    for (const bool nested : {true, false}) {
        SCOPED_TRACE(nested ? "nested pages, final marking" : "one level, no final marking");
        const std::string net = dir.write("net.pnml", tool_style_net(nested));
        const json summary = mine_json({log, "--process", "1", "--net", net});
        // a b c and a c fit (the silent step skips b); a b misses c: the end token is missing
        // and p2 keeps a token. Produced 4 + 4 + 3, consumed 4 + 4 + 3, missing 1, remaining 1.
        const json& fitness = summary["replay"]["fitness"];
        EXPECT_EQ(fitness["fitting_cases"], 2);
        EXPECT_EQ(fitness["produced"], 11);
        EXPECT_EQ(fitness["consumed"], 11);
        EXPECT_EQ(fitness["missing"], 1);
        EXPECT_EQ(fitness["remaining"], 1);
        EXPECT_EQ(summary["net"]["transitions"], 4);
        // Aligned: only a b misses c (cost 1); the cheapest run a, skip, c costs 2, so the
        // fitness is 1 - 1 / ((3 + 2) + (2 + 2) + (2 + 2)). Every prefix the log takes allows
        // only what some case does next: precision 1.
        const test::CliResult aligned =
            test::run_cli({"align", log, "--process", "1", "--net", net, "--format", "json"});
        ASSERT_EQ(aligned.code, 0) << aligned.err;
        const json document = json::parse(aligned.out);
        EXPECT_DOUBLE_EQ(document["alignments"]["fitness"].get<double>(), 1.0 - 1.0 / 13);
        EXPECT_EQ(document["alignments"]["cases_fitting"], 2);
        EXPECT_EQ(document["alignments"]["cheapest_run"], 2);
        EXPECT_DOUBLE_EQ(document["precision"].get<double>(), 1.0);
        for (const json& activity : document["alignments"]["activity_list"])
            EXPECT_EQ(activity["model_moves"], activity["activity"] == "c" ? 1 : 0);
    }
}

TEST(PnmlReader, BadFilesAreRefusedNamingTheElementAndStrangeLabelsAreWarnings) {
    test::TempDir dir;
    const std::string log =
        dir.write("log.xml", test::log_xml({{.cases = {events({"a", "b", "c"})}}}));
    const std::string good = tool_style_net(true);
    const auto changed = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::vector<std::pair<std::string, std::string>> bad = {
        {changed("<inscription><text>1", "<inscription><text>2"), "arc \"a1\" has weight 2"},
        {changed("<arctype><text>normal", "<arctype><text>inhibitor"), "inhibitor arc"},
        {changed("target=\"tc\"", "target=\"nowhere\""), "refers to \"nowhere\""},
        {changed("<initialMarking><text>1</text></initialMarking>", ""), "no initial marking"},
        {changed("source=\"ta\" target=\"p1\"", "source=\"start\" target=\"p1\""),
         "joins two places"},
        {changed("<name><text>b</text>", "<name><text>a</text>"), "both stand for"},
        {"<?xml version=\"1.0\"?><net/>", "not \"pnml\""}};
    for (const auto& [text, message] : bad) {
        const std::string net = dir.write("bad.pnml", text);
        const test::CliResult r = test::run_cli({"mine", log, "--process", "1", "--net", net});
        EXPECT_EQ(r.code, 1) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    const std::string net = dir.write("odd.pnml", changed("<text>c</text>", "<text>zz</text>"));
    const test::CliResult r = test::run_cli({"mine", log, "--process", "1", "--net", net});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("\"zz\" of transition \"tc\" matches no activity"), std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace vesk
