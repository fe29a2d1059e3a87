#include "formats/vesk_dot_writer.h"

#include <gtest/gtest.h>

#include "support/cli_run.h"

namespace vesk {
namespace {

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string low_dot(const Tpetrinet& net, bool html, bool probabilities,
                    const std::string& base = "b") {
    const ExportFiles files = dot_low_files(net, "out", base, "proc", html, probabilities, '.');
    return files.back().content;
}

TEST(DotWriter, EmptyNetIsHeaderWarningsAndBrace) {
    const Tpetrinet net;
    EXPECT_EQ(
        low_dot(net, false, true),
        crlf({"digraph G {", "ranksep=\".1\"; fontsize=\"8\"; remincross=true; fontname=\"Arial\";",
              "Gwarn [fontsize=\"10\",fontname=\"Arial\",label=\"Process:\\nproc\\n\\nWarnings: "
              "\\nnone\",shape=box];",
              "}"}));
}

// start -> A_start -> p -> A_complete -> end, with a skip transition and an exclusive place.
class SmallNet : public ::testing::Test {
protected:
    void SetUp() override {
        net.Set_cluster_colour(0xF0CAA6);
        start = net.Add_place("_#start#_", "_*A_start*");
        between = net.Add_place("*A_start*", "*A_complete*&*B_complete*");
        end = net.Add_place("_*A_complete*", "_#end#_");
        exclusive = net.Add_new_place("_#ME#_1", "");
        Ttransition* s = net.Add_transition("A_start", &a_start);
        Ttransition* c = net.Add_transition("A_complete", &a_complete);
        Ttransition* b = net.Add_transition("B_complete", &b_complete);
        Ttransition* skip = net.Add_transition("$#%skip#%$0_normal", nullptr);
        net.Add_input_arc(start, s, 1);
        net.Add_output_arc(s, between, 1);
        net.Add_input_arc(between, c, 1)->probability = 0.75;
        net.Add_input_arc(between, b, 1)->probability = 0.25;
        net.Add_output_arc(c, end, 1);
        net.Add_output_arc(c, exclusive, 1);
        net.Add_output_arc(skip, between, 1);
        net.Add_output_arc(b, end, 1);
    }
    Ttask a_start{"A_start"}, a_complete{"A_complete"}, b_complete{"B_complete"};
    Tpetrinet net;
    Tplace *start, *between, *end, *exclusive;
};

TEST_F(SmallNet, LowDetailByteForByte) {
    EXPECT_EQ(low_dot(net, false, true), test::golden("export/small_net/low.dot"));

    // Without probabilities no arc carries a label.
    const std::string bare = low_dot(net, false, false);
    EXPECT_EQ(bare.find("label=\"0."), std::string::npos);
    EXPECT_NE(bare.find("Place1 -> Task1 [arrowsize=\".7\"];\r\n"), std::string::npos);
}

TEST_F(SmallNet, LowDetailWithPagesLinksOrdinaryPlacesOnly) {
    const ExportFiles files = dot_low_files(net, "out", "orders low", "proc", true, true, '.');
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].path, std::filesystem::path("out") / "Default.htm");
    EXPECT_EQ(files[1].path, std::filesystem::path("out") / "orders low_Place1.html");
    EXPECT_NE(files[2].content.find("Place1 [URL=\"orders%20low_Place1.html\"]\r\n"),
              std::string::npos);
    EXPECT_NE(files[2].content.find(
                  "Place0 [shape=circle, height=\".2\", width=\".2\", URL=\"place\\n0\"];"),
              std::string::npos);
}

TEST_F(SmallNet, HighDetailRecordsAndWarnings) {
    for (const double x : {2.0, 4.0, 6.0})
        between->sync_time.Add_observation(x);
    for (const double x : {3.0, 9.0, 6.0})
        between->waiting_time.Add_observation(x);
    start->waiting_time.Add_observation(1);
    net.is_safe = false;
    net.unfired_tasks.add(&b_complete);
    ExportFlags flags;
    flags.sync = figure_choice(true, false, false, false);
    flags.waiting = figure_choice(false, false, false, true);
    const std::string text = dot_high_text(net, "proc", flags, '.');
    // Records only for places with chosen figures, never for the start place; the high level
    // labels probabilities whatever the low level does.
    EXPECT_EQ(text, test::golden("export/small_net/high.dot"));
}

TEST(DotWriter, TwoLoopRanksResumeRanksAndEscapedNames) {
    Ttask a("A_complete"), b("B_complete"), suspend("X_suspend"), resume("X_resume"),
        quoted("say \"hi\"\\_complete");
    a.loop_length = 2;
    a.tasks_in_two_loop.add(&b);
    Tpetrinet net;
    net.Add_transition("A_complete", &a);
    net.Add_transition("B_complete", &b);
    net.Add_transition("X_suspend", &suspend);
    net.Add_transition("X_resume", &resume);
    net.Add_transition(quoted.name(), &quoted);
    const std::string text = low_dot(net, false, true);
    EXPECT_NE(text.find("{rank=same; Task0; Task1;}\r\n"), std::string::npos);
    EXPECT_NE(text.find("label=\"X\"; Task2; Task3; {rank=same; Task3; Task2;}; }"),
              std::string::npos);
    EXPECT_NE(text.find("Task4 [label=\"say \\\"hi\\\"\\\\\\ncomplete\""), std::string::npos);
}

}  // namespace
}  // namespace vesk
