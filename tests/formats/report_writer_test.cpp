// report.html parsed back with libxml2's HTML parser: every place and visible transition has
// its element with its figures, and names from the log stay text.

#include "formats/vesk_report_writer.h"

#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>
#include <libxml/xpath.h>

#include <filesystem>

#include "base/util_functions.h"
#include "control/build_relations.h"
#include "control/mine_run.h"
#include "formats/vesk_dot_writer.h"
#include "support/cli_run.h"
#include "support/log_xml.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

std::string text_of_id(xmlDoc* doc, const std::string& id) {
    std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> context(
        xmlXPathNewContext(doc), &xmlXPathFreeContext);
    const std::string query = "//*[@id='" + id + "']";
    std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> found(
        xmlXPathEvalExpression(BAD_CAST query.c_str(), context.get()), &xmlXPathFreeObject);
    if (!found || found->nodesetval == nullptr || found->nodesetval->nodeNr != 1) return "\x01";
    xmlChar* content = xmlNodeGetContent(found->nodesetval->nodeTab[0]);
    std::string text = reinterpret_cast<char*>(content);
    xmlFree(content);
    return text;
}

TEST(ReportWriter, MinutesReadAsHoursOrDaysWhereThatHelps) {
    EXPECT_EQ(minutes_text(45), "45.00&nbsp;min");
    EXPECT_EQ(minutes_text(90), "90.00&nbsp;min (1.50&nbsp;h)");
    EXPECT_EQ(minutes_text(2880), "2880.00&nbsp;min (2.00&nbsp;d)");
}

// start -> a -> p -> b -> end, and c filling p without taking a token: the page lists the
// finding, marks c's node and says that the fitness counts c as fitting.
TEST(ReportWriter, AFreeTransitionIsListedAndMarked) {
    Ttask a("a_complete"), b("b_complete"), c("c_complete");
    Tpetrinet net;
    Tplace* start = net.Add_new_place(std::string(kStartSet), "_*a*");
    Tplace* p = net.Add_new_place("*a*", "*b*");
    Tplace* end = net.Add_new_place("_*b*", std::string(kEndSet));
    net.Add_input_arc(start, net.Add_transition(a.name(), &a), 1);
    net.Add_output_arc(net.Find_transition(a.name()), p, 1);
    net.Add_input_arc(p, net.Add_transition(b.name(), &b), 1);
    net.Add_output_arc(net.Find_transition(b.name()), end, 1);
    net.Add_output_arc(net.Add_transition(c.name(), &c), p, 1);
    ReportInfo info;
    info.replayed = true;
    info.fitness = TokenCounts{};
    const std::string page = report_page_text(net, info, "<svg></svg>");
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        htmlReadMemory(page.data(), static_cast<int>(page.size()), nullptr, "utf-8",
                       HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING),
        &xmlFreeDoc);
    ASSERT_TRUE(doc);
    const std::string structure = text_of_id(doc.get(), "structure");
    EXPECT_NE(structure.find("1 of 3 transitions lack an input or an output place (1 without "
                             "input): c_complete"),
              std::string::npos)
        << structure;
    EXPECT_NE(structure.find("Hint: "), std::string::npos);
    EXPECT_EQ(text_of_id(doc.get(), "broken"), "[\"Task2\"]");
    EXPECT_NE(text_of_id(doc.get(), "fitness").find("1 transition has no input place"),
              std::string::npos);

    // Without c the net is a workflow net, and the page says so.
    net.Remove_transition(net.Find_transition(c.name()));
    const std::string sound = report_page_text(net, info, "<svg></svg>");
    EXPECT_NE(sound.find("Structure: a workflow net"), std::string::npos);
    EXPECT_NE(sound.find("id=\"broken\">[]<"), std::string::npos);
}

// Cases a,b,d / a,b,d / a,c,d: b occurs twice and c once, so after a two thirds of the cases
// take b. The dot and HTML files keep their chances from the counts that start at 1 (3 of 5);
// the report shows what happened.
TEST(ReportWriter, TheThreeCaseLogShowsTrueCountsAndShares) {
    test::TempDir dir;
    const std::string log = dir.write(
        "three.xml",
        test::log_xml(
            {{.id = "p",
              .cases = {{{"a"}, {"b"}, {"d"}}, {{"a"}, {"b"}, {"d"}}, {{"a"}, {"c"}, {"d"}}}}}));
    Tvesk_util controller;
    controller.load_log(log, false);
    BuildRelationsRequest request;
    request.process_id = "p";
    request.events = apply_event_choice({});
    RecordingSink sink;
    mine_from_log(controller, request, NetOptions{}, true, sink);
    const Tpetrinet& net = controller.net();
    const auto drawing = [&net](bool true_shares) {
        return dot_low_files(net, "", "x", "p", false, true, '.', true_shares).back().content;
    };
    EXPECT_NE(drawing(false).find("label=\"0.6000\""), std::string::npos);
    EXPECT_NE(drawing(false).find("label=\"0.4000\""), std::string::npos);
    EXPECT_NE(drawing(true).find("label=\"0.6667\""), std::string::npos);
    EXPECT_NE(drawing(true).find("label=\"0.3333\""), std::string::npos);

    ReportInfo info;
    info.replayed = true;
    info.process_tree = "X( 'a<b', tau )";
    const std::string page = report_page_text(net, info, "<svg></svg>");
    EXPECT_NE(page.find("Process tree: <code class=\"tree\">X( "), std::string::npos);
    EXPECT_EQ(page.find("a<b"), std::string::npos) << "the tree's names are text";
    for (const char* seen :
         {"<h2>a_complete</h2>\n<p>Seen 3 times", "<h2>b_complete</h2>\n<p>Seen 2 times",
          "<h2>c_complete</h2>\n<p>Seen 1 time in", "<h2>d_complete</h2>\n<p>Seen 3 times"})
        EXPECT_NE(page.find(seen), std::string::npos) << seen;
}

TEST(ReportWriter, EveryPlaceAndTransitionHasItsFiguresAndNamesStayText) {
    if (!find_dot(program_folder())) GTEST_SKIP() << "no dot";
    test::TempDir dir;
    const char* hostile = "a&b<c\"d";
    test::Case c1, c2;
    // The log helper writes names as they are: this one is written escaped.
    for (const auto& [task, time] : std::vector<std::pair<const char*, const char*>>{
             {"start", "10:00"}, {"a&amp;b&lt;c&quot;d", "10:30"}, {"end", "12:00"}})
        c1.push_back({task, "complete", "04-03-2002", time});
    c2 = c1;
    c2[2].time = "13:15";
    const std::string log = dir.write("l<o>g.xml", test::log_xml({{.cases = {c1, c2}}}));
    const std::string out = (dir.path() / "out").string();
    const test::CliResult r =
        test::run_cli({"mine", log, "--process", "1", "--out", out, "--report", "-q"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string page = test::read_file(dir.path() / "out" / "report.html");
    EXPECT_EQ(page.find(hostile), std::string::npos);
    EXPECT_NE(page.find("a&amp;b&lt;c&quot;d_complete"), std::string::npos);
    EXPECT_EQ(page.find("<script src"), std::string::npos);
    EXPECT_EQ(page.find("http://"), page.find("http://www.w3.org"));  // only SVG's namespaces

    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        htmlReadMemory(
            page.data(), static_cast<int>(page.size()), "report.html", "UTF-8",
            HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET),
        &xmlFreeDoc);
    ASSERT_TRUE(doc);
    // Three tasks in a row: four places (with start and end) and three transitions.
    for (int j = 0; j < 4; ++j) {
        const std::string place = text_of_id(doc.get(), "info-Place" + std::to_string(j));
        EXPECT_NE(place.find("waiting"), std::string::npos) << j << place;
        EXPECT_NE(place.find("sojourn"), std::string::npos) << j;
    }
    const std::string task = text_of_id(doc.get(), "info-Task1");
    EXPECT_NE(task.find(std::string(hostile) + "_complete"), std::string::npos) << task;
    EXPECT_NE(task.find("causal predecessors"), std::string::npos);
    // The place between the hostile task and the end waited 90 and 165 minutes.
    bool found = false;
    for (int j = 0; j < 4; ++j) {
        const std::string place = text_of_id(doc.get(), "info-Place" + std::to_string(j));
        if (place.find("Before: end_complete") != std::string::npos) {
            found = true;
            EXPECT_NE(place.find("127.50\u00a0min (2.12\u00a0h)"), std::string::npos) << place;
            EXPECT_NE(place.find("90.00\u00a0min (1.50\u00a0h)"), std::string::npos) << place;
        }
    }
    EXPECT_TRUE(found);
    EXPECT_NE(text_of_id(doc.get(), "fitness").find("Fitness: 1.0000"), std::string::npos);
    EXPECT_NE(text_of_id(doc.get(), "unfired").find("none"), std::string::npos);
}

}  // namespace
}  // namespace vesk
