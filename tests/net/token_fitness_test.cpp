// Token-based fitness against counts worked out by hand.

#include "net/vesk_token_fitness.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "control/build_relations.h"
#include "control/relations_inspection.h"
#include "support/cli_run.h"
#include "support/example_run.h"
#include "support/log_xml.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

test::Case trace(std::initializer_list<const char*> tasks) {
    test::Case c;
    int minute = 0;
    for (const char* task : tasks) {
        char time[16];
        std::snprintf(time, sizeof time, "10:%02d", minute++);
        c.push_back({task, "complete", "04-03-2002", time});
    }
    return c;
}

TEST(TokenFitness, ACaseThatSkipsATaskHasTheCountsWorkedOutByHand) {
    // The net of a b c (start -> a -> p1 -> b -> p2 -> c -> end), replayed on a b c, a b c and
    // a c. A fitting case produces 4 tokens (start, p1, p2, end) and consumes 4. The case a c:
    // start token (produced 1); a takes it (consumed 1) and marks p1 (produced 2); c finds p2
    // empty (missing 1, consumed 2) and marks the end (produced 3); the end token is taken
    // (consumed 3); p1 keeps its token (remaining 1). Totals: produced 11, consumed 11,
    // missing 1, remaining 1; fitness 1/2 (1 - 1/11) + 1/2 (1 - 1/11) = 10/11.
    test::TempDir dir;
    const std::string model =
        dir.write("model.xml", test::log_xml({{.cases = {trace({"a", "b", "c"})}}}));
    const std::string log = dir.write(
        "log.xml", test::log_xml({{.cases = {trace({"a", "b", "c"}), trace({"a", "b", "c"}),
                                             trace({"a", "c"})}}}));
    ASSERT_EQ(
        test::run_cli({"relations", model, "--process", "1", "--out", dir.path().string(), "-q"})
            .code,
        0);
    const test::CliResult r =
        test::run_cli({"mine", "--relations", (dir.path() / "model.xml 1 relations.xml").string(),
                       "--log", log, "--process", "1", "--format", "json", "-q"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto fitness = nlohmann::json::parse(r.out)["replay"]["fitness"];
    EXPECT_EQ(fitness["produced"], 11);
    EXPECT_EQ(fitness["consumed"], 11);
    EXPECT_EQ(fitness["missing"], 1);
    EXPECT_EQ(fitness["remaining"], 1);
    EXPECT_EQ(fitness["cases"], 3);
    EXPECT_EQ(fitness["fitting_cases"], 2);
    EXPECT_DOUBLE_EQ(fitness["fitness"].get<double>(), 10.0 / 11.0);
}

TEST(TokenFitness, AFittingLogIsOneAndTheFiguresDoNotDependOnMessages) {
    Tvesk_util controller;
    build_relations(controller, test::example_relations(controller, "1"));
    RelationsInspection inspection(controller);
    inspection.open_with_task_list();
    inspection.make_petrinet(false);
    RecordingSink sink;
    controller.replay(false, sink);
    ASSERT_TRUE(controller.token_counts());
    EXPECT_EQ(controller.token_counts()->fitness(), 1.0);
    EXPECT_EQ(controller.token_counts()->fitting_cases, 30);

    // Process 2 has a case that does not fit: the replay with messages stops at it, the
    // token counts still cover every case.
    build_relations(controller, test::example_relations(controller, "2"));
    RelationsInspection second(controller);
    second.open_with_task_list();
    second.make_petrinet(false);
    controller.replay(false, sink);
    const TokenCounts quiet = *controller.token_counts();
    controller.net().Reset_replay_state();
    controller.replay(true, sink);
    EXPECT_EQ(*controller.token_counts(), quiet);
    EXPECT_EQ(quiet.cases, 9);
    EXPECT_LT(quiet.fitness(), 1.0);
    std::vector<std::string> lines;
    controller.timing_text(lines);
    EXPECT_EQ(lines.back().rfind("Fitness: ", 0), 0u) << lines.back();
}

}  // namespace
}  // namespace vesk
