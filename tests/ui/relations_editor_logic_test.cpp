// The relations editor without its window: the lines it shows, Accept against closing, the ten
// Add entries with their arrows and the distance question, and the start and end switches.

#include "ui/relations_editor_logic.h"

#include <gtest/gtest.h>

#include "support/scripted_dialogs.h"

namespace vesk {
namespace {

class RelationsEditorTest : public ::testing::Test {
protected:
    RelationsEditorTest() {
        a_ = tasks_.create("A_complete");
        b_ = tasks_.create("B_complete");
        c_ = tasks_.create("C_complete");
        add(a_, Trelation_kind::caus, b_, true);  // 0
        add(b_, Trelation_kind::par, c_, false);  // 1
        add(c_, Trelation_kind::caus, a_, true);  // 2
    }
    std::int32_t add(Ttask* x, Trelation_kind kind, Ttask* y, bool used) {
        Tfact fact(x, 0, 1.0, kind, y);
        fact.used = used;
        return facts_.add(fact);
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> texts;
        for (const CheckLine& line : editor_.state().checklist)
            texts.push_back(line.text + (line.checked ? " [x]" : " [ ]"));
        return texts;
    }

    Towned_tasklist tasks_;
    Tfactslist facts_{tasks_};
    Ttask *a_, *b_, *c_;
    testing::Scripted<> dialogs_;
    RelationsEditorLogic editor_{dialogs_};
};

TEST_F(RelationsEditorTest, ATasksFactsAreShownWithTheirMarksAndEveryTaskIsOffered) {
    editor_.open(facts_, facts_.facts_of_task(a_), a_);
    EXPECT_EQ(lines(), (std::vector<std::string>{"A_complete   ->   B_complete [x]",
                                                 "C_complete   ->   A_complete [x]"}));
    const RelationsEditorState& s = editor_.state();
    EXPECT_EQ(s.chosen_fact, "A_complete");
    EXPECT_EQ(s.list_of_tasks.items,
              (std::vector<std::string>{"A_complete", "B_complete", "C_complete"}));
    EXPECT_EQ(s.list_of_tasks.selected, 0);
    ASSERT_EQ(s.relations_list.items.size(), 10u);
    EXPECT_EQ(s.relations_list.items.front(), "     --> ");
    EXPECT_EQ(s.relations_list.selected, 0);
    EXPECT_TRUE(s.start_end_enabled);

    // A task without facts: nothing listed, yet every task can be added to.
    Ttask* lonely = tasks_.create("D_complete");
    editor_.open(facts_, facts_.facts_of_task(lonely), lonely);
    EXPECT_TRUE(editor_.state().checklist.empty());
    EXPECT_EQ(editor_.state().list_of_tasks.items.size(), 4u);
    EXPECT_TRUE(editor_.add("     ||  ", "A_complete"));
    EXPECT_EQ(lines().back(), "D_complete   ||   A_complete [x]");
}

TEST_F(RelationsEditorTest, OnlyAcceptTurnsTheCheckMarksIntoUsedMarks) {
    editor_.open(facts_, {0, 1}, a_);
    editor_.state().checklist[0].checked = false;
    editor_.state().checklist[1].checked = true;
    editor_.close();
    EXPECT_TRUE(facts_.get(0)->used);
    EXPECT_FALSE(facts_.get(1)->used);

    editor_.open(facts_, {0, 1}, a_);
    editor_.state().checklist[0].checked = false;
    editor_.state().checklist[1].checked = true;
    editor_.accept();
    EXPECT_FALSE(facts_.get(0)->used);
    EXPECT_TRUE(facts_.get(1)->used);
    EXPECT_FALSE(editor_.is_open());
}

TEST_F(RelationsEditorTest, EveryAddEntryMakesItsKindWithTheArrowTheRightWay) {
    struct Case {
        const char* entry;
        const char* shown;
        Trelation_kind kind;
    };
    // Chosen task B, other task D; "<--" and "<<<" put the other task first.
    const Case cases[] = {
        {"     --> ", "B_complete   ->   D_complete", Trelation_kind::caus},
        {"     <-- ", "D_complete   ->   B_complete", Trelation_kind::caus},
        {"     >>> ", "B_complete  >>>   D_complete", Trelation_kind::long_succ},
        {"     <<< ", "D_complete  >>>   B_complete", Trelation_kind::long_succ},
        {"     ||  ", "B_complete   ||   D_complete", Trelation_kind::par},
        {"     #   ", "B_complete   #    D_complete", Trelation_kind::excl},
        {" not --> ", "B_complete not -> D_complete", Trelation_kind::ncaus},
        {" not <-- ", "D_complete not -> B_complete", Trelation_kind::ncaus},
        {" not ||  ", "B_complete not || D_complete", Trelation_kind::npar},
        {" not #   ", "B_complete not #  D_complete", Trelation_kind::nexcl},
    };
    tasks_.create("D_complete");
    editor_.open(facts_, facts_.facts_of_task(b_), b_);
    EXPECT_EQ(editor_.state().relations_list.items.size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        dialogs_.inputs.push_back("3");
        const std::int32_t before = facts_.count();
        ASSERT_TRUE(editor_.add(c.entry, "D_complete"));
        ASSERT_EQ(facts_.count(), before + 1);
        const Tfact& added = *facts_.get(before);
        EXPECT_EQ(fact_text(added), c.shown);
        EXPECT_EQ(added.kind, c.kind);
        EXPECT_TRUE(added.used);
        EXPECT_DOUBLE_EQ(added.certainty, 1.0);
        EXPECT_EQ(added.distance, c.kind == Trelation_kind::long_succ ? 3 : 0);
        EXPECT_EQ(editor_.positions().back(), before);
        EXPECT_EQ(lines().back(), std::string(c.shown) + " [x]");
    }
    // The question was asked for the two distance entries only, naming their arrow.
    EXPECT_EQ(dialogs_.prompts, (std::vector<std::string>{
                                    "At what distance do the two tasks have the >>> relation?",
                                    "At what distance do the two tasks have the <<< relation?"}));
}

TEST_F(RelationsEditorTest, AddRefusesWhatItCannotMakeAndKeepsOneCopyOfAFact) {
    editor_.open(facts_, facts_.facts_of_task(a_), a_);
    const std::int32_t before = facts_.count();
    EXPECT_FALSE(editor_.add("   >    ", "B_complete"));  // succ is not offered
    EXPECT_FALSE(editor_.add("     --> ", "Z_complete"));
    for (const char* answer : {"", "x3", "3.5", "0", "-2"}) {
        dialogs_.inputs.push_back(answer);
        EXPECT_FALSE(editor_.add("     >>> ", "B_complete")) << answer;
    }
    dialogs_.inputs.push_back(std::nullopt);  // cancelled
    EXPECT_FALSE(editor_.add("     <<< ", "B_complete"));
    EXPECT_EQ(facts_.count(), before);
    EXPECT_EQ(dialogs_.errors.size(), 6u);
    EXPECT_EQ(dialogs_.errors[1], "'x3' is not a valid integer value");

    // A -> B is there and on: a second one is refused with a warning.
    EXPECT_FALSE(editor_.add("     --> ", "B_complete"));
    EXPECT_EQ(dialogs_.warnings,
              (std::vector<std::string>{"This fact is already in the list of facts"}));
    // B || C is there but off: adding it switches it on instead of listing it twice.
    editor_.open(facts_, facts_.facts_of_task(b_), b_);
    EXPECT_EQ(lines()[0], "B_complete   ||   C_complete [ ]");
    EXPECT_TRUE(editor_.add("     ||  ", "C_complete"));
    EXPECT_EQ(facts_.count(), before);
    EXPECT_TRUE(facts_.get(1)->used);
    EXPECT_EQ(lines()[0], "B_complete   ||   C_complete [x]");
}

TEST_F(RelationsEditorTest, StartAndEndChangeTheTaskAtOnceButNotForAnErroneousSet) {
    a_->is_trace_start = true;
    editor_.open(facts_, facts_.facts_of_task(a_), a_);
    EXPECT_TRUE(editor_.state().task_is_start);
    EXPECT_FALSE(editor_.state().task_is_end);
    editor_.set_end(true);
    editor_.set_start(false);
    EXPECT_TRUE(a_->is_trace_end);  // without Accept
    EXPECT_FALSE(a_->is_trace_start);
    editor_.close();

    // An erroneous set: its first fact's task1 is chosen, its task2 the only other task.
    editor_.open(facts_, {2, 0}, nullptr);
    const RelationsEditorState& s = editor_.state();
    EXPECT_EQ(s.chosen_fact, "C_complete");
    EXPECT_EQ(s.list_of_tasks.items, (std::vector<std::string>{"A_complete"}));
    EXPECT_FALSE(s.start_end_enabled);
    EXPECT_FALSE(s.task_is_start);
    EXPECT_FALSE(s.task_is_end);
    editor_.set_start(true);
    EXPECT_FALSE(c_->is_trace_start);
}

}  // namespace
}  // namespace vesk
