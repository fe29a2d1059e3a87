// The relations inspector without its window, on the example log with the real dot: zoom and
// the pointer, drawing, clicks on transitions and places, the erroneous sets, the replay and
// closing.

#include "ui/relations_inspector_logic.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/util_functions.h"
#include "control/build_relations.h"
#include "support/log_xml.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

class ScriptedInspectorDialogs : public testing::Scripted<InspectorDialogs> {
public:
    // What the user does in the editor; it stays open (and nothing is accepted) without one.
    std::function<void(RelationsEditorLogic&)> in_editor;
    std::vector<std::string> edited;  // the chosen task of each opening
    int busy_depth = 0;
    int busy_steps = 0;
    void edit_relations(RelationsEditorLogic& editor) override {
        edited.push_back(editor.state().chosen_fact);
        if (in_editor) in_editor(editor);
    }
    void busy(bool busy) override {
        busy_depth += busy ? 1 : -1;
        if (busy) ++busy_steps;
    }
};

std::optional<std::filesystem::path> real_dot() {
    return find_dot(std::filesystem::path(VESK_CLI_PATH).parent_path());
}

class InspectorTest : public ::testing::Test {
protected:
    InspectorTest() : logic_(controller_, dialogs_, {dir_.path().string() + "/", real_dot}) {}

    void build(const std::string& process, const UsedEvents& events = {}) {
        controller_.load_log(VESK_EXAMPLE_LOG, false);
        BuildRelationsRequest request;
        request.process_id = process;
        request.events = apply_event_choice(events);
        build_relations(controller_, request);
        logic_.open_with_task_list(VESK_EXAMPLE_LOG, false, process);
    }
    void require_dot() {
        if (!real_dot()) GTEST_SKIP() << "dot is not installed";
    }
    // The first rectangle whose url is `url`.
    const Trectangle* rectangle(const std::string& url) const {
        for (const Trectangle& r : logic_.rectangles().rectangles())
            if (r.url == url) return &r;
        return nullptr;
    }
    void click_at(const Trectangle& r) {
        // Control pixels at the present zoom: the centre of the rectangle scaled up.
        const auto scaled = [this](std::int32_t v) {
            return divide_rounding_half_even(std::int64_t{v} * logic_.state().zoom, 100);
        };
        logic_.mouse_move(scaled((r.x1 + r.x2) / 2), scaled((r.y1 + r.y2) / 2));
        logic_.click();
    }

    test::TempDir dir_;
    Tvesk_util controller_;
    ScriptedInspectorDialogs dialogs_;
    RelationsInspectorLogic logic_;
};

TEST(PointerConversion, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(divide_rounding_half_even(150 * 100, 150), 100);
    EXPECT_EQ(divide_rounding_half_even(3 * 100, 200), 2);    // 1.5
    EXPECT_EQ(divide_rounding_half_even(5 * 100, 200), 2);    // 2.5
    EXPECT_EQ(divide_rounding_half_even(7 * 100, 200), 4);    // 3.5
    EXPECT_EQ(divide_rounding_half_even(-3 * 100, 200), -2);  // -1.5
    EXPECT_EQ(divide_rounding_half_even(-5 * 100, 200), -2);  // -2.5
    EXPECT_EQ(divide_rounding_half_even(10 * 100, 110), 9);   // 9.09
    EXPECT_EQ(divide_rounding_half_even(std::int64_t{INT32_MAX} * 100, 10), INT32_MAX);
}

TEST_F(InspectorTest, ZoomStepsByTenAndThePointerFollowsIt) {
    EXPECT_EQ(logic_.state().zoom, 100);
    std::vector<std::int32_t> steps;
    for (int i = 0; i < 11; ++i) {
        logic_.zoom_out();
        steps.push_back(logic_.state().zoom);
    }
    EXPECT_EQ(steps, (std::vector<std::int32_t>{90, 80, 70, 60, 50, 40, 30, 20, 10, 10, 10}));
    logic_.zoom_normal();
    for (int i = 0; i < 5; ++i)
        logic_.zoom_in();
    EXPECT_EQ(logic_.state().zoom, 150);
    EXPECT_EQ(logic_.to_picture(150), 100);
    EXPECT_EQ(logic_.to_picture(75), 50);
    // Before any drawing nothing is hit and nothing divides by zero.
    logic_.mouse_move(150, 75);
    EXPECT_FALSE(logic_.state().hand_pointer);
    logic_.click();
    EXPECT_TRUE(dialogs_.edited.empty());
}

// Make Petrinet says whether the net is a workflow net, and what to try when it is not.
TEST_F(InspectorTest, MakePetrinetToldWhatTheNetLacks) {
    build("1");
    logic_.make_petrinet();
    EXPECT_EQ(logic_.state().structure.rfind("The net is a workflow net", 0), 0u)
        << logic_.state().structure;

    // The only start task follows itself: set aside as a loop, it leaves the start place dead.
    const std::string loop = dir_.write(
        "loop.xml", test::log_xml({{.id = "p", .cases = {{{"a"}, {"a"}, {"b"}}, {{"a"}, {"b"}}}}}));
    controller_.load_log(loop, false);
    BuildRelationsRequest request;
    request.process_id = "p";
    request.events = apply_event_choice({});
    build_relations(controller_, request);
    logic_.open_with_task_list(loop, false, "p");
    EXPECT_TRUE(logic_.state().structure.empty());
    logic_.make_petrinet();
    const std::string& told = logic_.state().structure;
    EXPECT_EQ(told.rfind("The net is broken: 2 of 2 transitions lack an input or an output", 0), 0u)
        << told;
    EXPECT_NE(told.find("Hint: the log is too irregular"), std::string::npos);
}

TEST(FigureTips, MinutesWithHoursOrDaysWhereTheyReadBetter) {
    EXPECT_EQ(minutes_tip(45, '.'), "45.0000 min");
    EXPECT_EQ(minutes_tip(125, '.'), "125.0000 min (2.08 h)");
    EXPECT_EQ(minutes_tip(4320, ','), "4320,0000 min (3,00 d)");
}

// Fit shows the whole net; a clicked place is marked and its figures carry their units.
TEST_F(InspectorTest, FitMarkAndUnits) {
    require_dot();
    build("1");
    logic_.make_petrinet();
    RelationsInspectorState& s = logic_.state();
    ASSERT_GT(s.natural_width, 0);
    // Half the width, rounded up so that an odd width (which depends on the fonts) still
    // makes exactly half.
    const std::int32_t half = (s.natural_width + 1) / 2;
    logic_.zoom_to_fit(half, s.natural_height);
    EXPECT_EQ(s.zoom, 50);
    EXPECT_LE(logic_.picture_width(), half);
    logic_.zoom_to_fit(1, 1);
    EXPECT_EQ(s.zoom, 10);  // never below ten percent
    logic_.zoom_normal();
    s.available_processes = {{"1"}, 0};
    logic_.replay_process();
    EXPECT_FALSE(s.marked_place);
    const Trectangle* place = rectangle("place\\n1");
    ASSERT_NE(place, nullptr);
    click_at(*place);
    ASSERT_TRUE(s.marked_place);
    EXPECT_EQ(*s.marked_place,
              (std::array<std::int32_t, 4>{place->x1, place->y2, place->x2, place->y1}));
    EXPECT_NE(s.time_tips[1][1].find(" min"), std::string::npos) << s.time_tips[1][1];
    EXPECT_EQ(s.time_tips[3][0], s.time_info[3][0] + " observations");
    logic_.make_petrinet();  // a new drawing has no mark
    EXPECT_FALSE(s.marked_place);
}

TEST_F(InspectorTest, TheInductiveNetIsAWorkflowNetThatItsProcessFits) {
    build("1");
    logic_.state().noise = 0.0;
    logic_.make_petrinet_inductive();
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_EQ(logic_.state().structure.rfind("The net is a workflow net", 0), 0u)
        << logic_.state().structure;
    EXPECT_EQ(controller_.net().skip_rule, SkipRule::shortest_sequence);
    logic_.state().available_processes = {{"1 (" + controller_.process_description() + ")"}, 0};
    logic_.replay_process();
    EXPECT_TRUE(dialogs_.warnings.empty()) << dialogs_.warnings.front();
    ASSERT_TRUE(controller_.token_counts());
    EXPECT_EQ(controller_.token_counts()->fitness(), 1.0);
    // The alignments agree, and every activity of the example log moves in step.
    logic_.check_conformance();
    ASSERT_TRUE(logic_.state().conformance);
    EXPECT_EQ(logic_.state().conformance->summary.rfind("Alignment fitness 1.0000", 0), 0u)
        << logic_.state().conformance->summary;
    for (const auto& row : logic_.state().conformance->activities)
        EXPECT_EQ(row[2] + row[3], "00") << row[0];
    // Cancelled, it shows no figures (those of some variants would pass for the log's), and
    // a cancel is no failure.
    controller_.set_progress([](const Progress&) { throw Cancelled(); });
    logic_.check_conformance();
    controller_.set_progress({});
    EXPECT_TRUE(dialogs_.warnings.empty()) << dialogs_.warnings.front();
    ASSERT_TRUE(logic_.state().conformance);
    EXPECT_EQ(logic_.state().conformance->summary,
              "Check conformance cancelled: no figures are shown.");
    EXPECT_TRUE(logic_.state().conformance->activities.empty());
    // Another construction afterwards replays as before, and its figures are not the old net's.
    logic_.make_petrinet();
    EXPECT_FALSE(logic_.state().conformance);
    EXPECT_EQ(controller_.net().skip_rule, SkipRule::one_pass);
    EXPECT_TRUE(controller_.process_tree_text().empty());
}

TEST_F(InspectorTest, TheInductiveConstructionWithoutLinesSaysWhy) {
    build("1");
    const std::filesystem::path written = controller_.write_relations(dir_.path(), "rel", "");
    logic_.close();
    controller_.reset();  // as Open relations does
    logic_.open_with_relations_file(written.string(), false);
    // "rel.xml" names no log it came from, and the log in memory is not its own.
    logic_.make_petrinet_inductive();
    EXPECT_TRUE(dialogs_.errors.empty());
    ASSERT_EQ(dialogs_.informations.size(), 1u);
    EXPECT_NE(dialogs_.informations.front().find("Open XML log"), std::string::npos)
        << dialogs_.informations.front();
    EXPECT_TRUE(controller_.net().transitions().empty());
}

TEST_F(InspectorTest, TheDrawnNetHasARectanglePerVisibleTransitionAndPlace) {
    require_dot();
    build("1");
    logic_.make_petrinet();
    ASSERT_TRUE(dialogs_.warnings.empty()) << dialogs_.warnings.front();
    ASSERT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
    const RelationsInspectorState& s = logic_.state();
    ASSERT_NE(s.picture, nullptr);
    EXPECT_GT(s.natural_width, 100);
    EXPECT_GT(s.natural_height, 20);
    EXPECT_EQ(s.picture->pixels.size(),
              static_cast<std::size_t>(s.natural_width) * s.natural_height * 3);
    EXPECT_EQ(dialogs_.busy_depth, 0);
    EXPECT_GE(dialogs_.busy_steps, 2);  // building and drawing
    const Tpetrinet& net = controller_.net();
    for (const auto& transition : net.transitions())
        if (transition->task != nullptr) {
            const TstringTuple parts = transition->task->split_name();
            EXPECT_NE(rectangle(parts.raw_name + "\\n" + parts.event), nullptr)
                << transition->task->name();
        }
    for (std::int32_t j = 0; j < net.Place_count(); ++j)
        EXPECT_NE(rectangle("place\\n" + std::to_string(j)), nullptr) << j;
    EXPECT_TRUE(std::filesystem::exists(dir_.path() / "vesk_rel_calc.dot"));
    // The picture's size follows the zoom; the rectangles stay in picture pixels.
    logic_.zoom_in();
    EXPECT_EQ(logic_.picture_width(), divide_rounding_half_even(s.natural_width * 110, 100));
    const Trectangle* place = rectangle("place\\n0");
    logic_.mouse_move(divide_rounding_half_even(std::int64_t{place->x1 + 1} * 110, 100),
                      divide_rounding_half_even(std::int64_t{place->y2 + 1} * 110, 100));
    EXPECT_TRUE(logic_.state().hand_pointer);
}

TEST_F(InspectorTest, ATransitionClickEditsItsFactsAndAPlaceClickShowsItsFigures) {
    require_dot();
    build("1");
    logic_.make_petrinet();
    const Trectangle* check_credit = rectangle("check credit\\ncomplete");
    ASSERT_NE(check_credit, nullptr);

    // Switch off the first fact of "check credit" and accept.
    std::string switched_off;
    dialogs_.in_editor = [&](RelationsEditorLogic& editor) {
        ASSERT_FALSE(editor.state().checklist.empty());
        switched_off = editor.state().checklist[0].text;
        editor.state().checklist[0].checked = false;
        editor.accept();
    };
    click_at(*check_credit);
    EXPECT_EQ(dialogs_.edited, (std::vector<std::string>{"check credit_complete"}));
    std::int32_t off = 0;
    for (const Tfact& fact : logic_.inspection().facts().facts())
        if (!fact.used) {
            ++off;
            EXPECT_EQ(fact_text(fact), switched_off);
        }
    EXPECT_EQ(off, 1);

    // Figures need a replay; the entry is "1" alone, used whole.
    logic_.replay_process();
    ASSERT_TRUE(dialogs_.warnings.empty()) << dialogs_.warnings.front();
    const TimeInfoGrid& grid = logic_.state().time_info;
    EXPECT_EQ(grid[3][0], "30");  // the flow time of the 30 cases
    const Trectangle* place = rectangle("place\\n1");
    ASSERT_NE(place, nullptr);
    click_at(*place);
    const Tvesk_util::PlaceFigures figures = controller_.place_figures(1);
    const TStoch_var* columns[3] = {figures.sync_time, figures.waiting_time, figures.sojourn_time};
    for (std::size_t c = 0; c < 3; ++c) {
        EXPECT_EQ(grid[c][0], std::to_string(columns[c]->Nr_of_observations()));
        if (columns[c]->Nr_of_observations() > 0)
            EXPECT_EQ(grid[c][1],
                      format_fixed4(columns[c]->Mean(), controller_.decimal_separator()));
        else
            EXPECT_EQ(grid[c][1], "");
    }
    EXPECT_GT(columns[2]->Nr_of_observations(), 0);
    EXPECT_EQ(dialogs_.edited.size(), 1u);  // a place opens no editor
}

TEST_F(InspectorTest, ErroneousSetsAreRecomputedAfterAnEdit) {
    build("1");
    EXPECT_TRUE(logic_.state().erroneous_sets.items.empty());
    EXPECT_EQ(logic_.state().erroneous_sets.selected, -1);
    logic_.edit_erroneous_set();
    EXPECT_EQ(dialogs_.informations,
              (std::vector<std::string>{"There are no erroneus sets to edit"}));

    // "check credit -> check stock" contradicts their parallelism.
    Tfactslist& facts = logic_.inspection().facts();
    Ttask* credit = facts.task_list().find_by_name("check credit_complete");
    Ttask* stock = facts.task_list().find_by_name("check stock_complete");
    ASSERT_NE(credit, nullptr);
    ASSERT_NE(stock, nullptr);
    RelationsEditorLogic& editor = logic_.editor();
    editor.open(facts, facts.facts_of_task(credit), credit);
    ASSERT_TRUE(editor.add("     --> ", "check stock_complete"));
    editor.accept();
    logic_.check_relations();
    ASSERT_EQ(logic_.state().erroneous_sets.items, (std::vector<std::string>{"Erroneous set 0"}));
    EXPECT_EQ(logic_.state().erroneous_sets.selected, 0);

    // Editing the set: switch off the new fact, and the contradiction is gone.
    dialogs_.in_editor = [](RelationsEditorLogic& set) {
        EXPECT_FALSE(set.state().start_end_enabled);
        for (CheckLine& line : set.state().checklist)
            if (line.text == "check credit_complete   ->   check stock_complete")
                line.checked = false;
        set.accept();
    };
    logic_.edit_erroneous_set();
    EXPECT_TRUE(logic_.state().erroneous_sets.items.empty());
}

TEST_F(InspectorTest, ReplayReadsTheProcessUpToTheBlankWithTheRelationsEventTypes) {
    UsedEvents events;
    events.start = true;
    events.complete = true;
    build("3", events);
    logic_.inspection().make_petrinet(false);
    logic_.state().available_processes = {{"3 (travel approval)"}, 0};
    logic_.replay_process();
    const Tevent_filter& filter = controller_.filter();
    EXPECT_TRUE(filter.start);
    EXPECT_TRUE(filter.complete);
    EXPECT_FALSE(filter.schedule);
    EXPECT_FALSE(filter.abort);
    ASSERT_FALSE(controller_.log().empty());
    for (const Tlog_line& line : controller_.log())
        EXPECT_TRUE(line.event().name == "start" || line.event().name == "complete")
            << line.event().name;
    EXPECT_EQ(controller_.process_description(), "travel approval");
}

// A replay keeps the zoom the user chose; a new net drops the figures, findings and fitness of
// the net before.
TEST_F(InspectorTest, AReplayKeepsTheZoomAndANewNetForgetsTheOldFigures) {
    require_dot();
    build("1");
    logic_.make_petrinet();
    logic_.zoom_out();
    logic_.zoom_out();
    logic_.replay_process();
    EXPECT_EQ(logic_.state().zoom, 80);
    EXPECT_EQ(logic_.state().time_info[3][0], "30");
    EXPECT_EQ(logic_.state().replay_summary.rfind("Replayed 30 cases. Fitness: 1.0000", 0), 0u)
        << logic_.state().replay_summary;
    ASSERT_EQ(logic_.state().findings.size(), 1u);
    EXPECT_EQ(logic_.state().findings[0], "No errors while calculating timing information");
    logic_.make_petrinet_inductive();
    EXPECT_EQ(logic_.state().time_info[3][0], "");
    EXPECT_TRUE(logic_.state().replay_summary.empty());
    EXPECT_TRUE(logic_.state().findings.empty());
}

// Best noise: the grid in the structure line, the threshold box takes the chosen one (on the
// example every threshold gives the same net, so the lowest), and the net is inductive.
TEST_F(InspectorTest, BestNoiseMinesTheGridAndKeepsTheChosenNet) {
    build("1");
    logic_.state().noise = 0.3;
    std::vector<std::string> steps;
    controller_.set_progress([&steps](const Progress& progress) {
        if (steps.empty() || steps.back() != progress.step) steps.push_back(progress.step);
    });
    logic_.make_petrinet_best_noise();
    controller_.set_progress({});
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_EQ(logic_.state().noise, 0.0);
    // The progress line names the net of the grid being aligned (one: the others are equal).
    EXPECT_NE(std::find(steps.begin(), steps.end(), "Aligning on the net of 0.00"), steps.end());
    const std::string& structure = logic_.state().structure;
    EXPECT_NE(structure.find("Noise chosen by F-score:\n* noise 0.00: fitness 1.0000"),
              std::string::npos)
        << structure;
    EXPECT_EQ(std::count(structure.begin(), structure.end(), '\n'), 7);
    EXPECT_FALSE(controller_.process_tree_text().empty());

    // Cancelled in the middle of the grid: the net shown is the box's threshold's, not the
    // grid's net of the moment, and no error is shown.
    logic_.state().noise = 0.3;
    controller_.set_progress([](const Progress&) { throw Cancelled(); });
    logic_.make_petrinet_best_noise();
    controller_.set_progress({});
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_EQ(logic_.state().noise, 0.3);
    EXPECT_NE(logic_.state().structure.find("Best noise cancelled"), std::string::npos);
    const std::string cancelled_tree = controller_.process_tree_text();
    controller_.make_net_inductive(InductiveOptions{0.3});
    EXPECT_EQ(cancelled_tree, controller_.process_tree_text());
}

TEST_F(InspectorTest, WithoutDotTheUserIsToldOnceAndNoPictureIsShown) {
    RelationsInspectorLogic without_dot(controller_, dialogs_,
                                        {dir_.path().string() + "/", [] { return std::nullopt; }});
    build("1");
    controller_.main_task_list();  // the relations of process 1
    without_dot.open_with_task_list(VESK_EXAMPLE_LOG, false, "1");
    without_dot.make_petrinet();
    ASSERT_EQ(dialogs_.warnings.size(), 1u);
    EXPECT_NE(dialogs_.warnings[0].find("dot (GraphViz) was found neither"), std::string::npos);
    EXPECT_TRUE(dialogs_.errors.empty());  // the net itself was built
    EXPECT_GT(controller_.net().transitions().size(), 0u);
    EXPECT_EQ(without_dot.state().picture, nullptr);
}

TEST_F(InspectorTest, ClosingWithoutChangesStillGivesTheTaskListTheFacts) {
    build("1");
    // The task list loses its relations until the facts are applied back.
    clear_relations(controller_.main_task_list());
    logic_.close();
    EXPECT_FALSE(logic_.state().visible);
    EXPECT_FALSE(logic_.inspection().is_open());
    Ttask* receive = controller_.main_task_list().find_by_name("receive order_complete");
    ASSERT_NE(receive, nullptr);
    EXPECT_FALSE(receive->causal_successors().empty());
}

}  // namespace
}  // namespace vesk
