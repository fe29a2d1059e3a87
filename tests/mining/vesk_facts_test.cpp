#include "mining/vesk_facts.h"

#include <gtest/gtest.h>

#include "support/task_dump.h"

namespace vesk {
namespace {

using test::names;

class FactsTest : public ::testing::Test {
protected:
    Ttask* t(const std::string& name) {
        if (Ttask* found = tasks_.find_by_name(name)) return found;
        return tasks_.create(name);
    }
    std::int32_t add(const std::string& a, Trelation_kind kind, const std::string& b,
                     bool used = true) {
        Tfact fact(t(a), 0, 1.0, kind, t(b));
        fact.used = used;
        return facts_.add(fact);
    }
    std::vector<std::string> order() const {
        std::vector<std::string> text;
        for (const Tfact& f : facts_.facts())
            text.push_back(fact_text(f));
        return text;
    }

    Towned_tasklist tasks_;
    Tfactslist facts_{tasks_};
};

TEST_F(FactsTest, BuildFromTasksGivesEveryKindWithRelativeCertainty) {
    Ttask* a = t("A");
    Ttask* b = t("B");
    Ttask* c = t("C");
    for (int i = 0; i < 3; ++i)
        a->record_successor(b);
    for (int i = 0; i < 6; ++i)
        b->record_successor(c);
    b->record_predecessor(a);
    a->parallel().add(c);
    a->add_long_successor(c, 4);
    facts_.build_from_tasks();
    ASSERT_EQ(facts_.count(), 6);
    EXPECT_EQ(order(), (std::vector<std::string>{"A   ->   B", "A   ||   C", "A  >>>   C",
                                                 "A   >    B", "B   ->   C", "B   >    C"}));
    EXPECT_EQ(facts_.get(2)->distance, 4);
    EXPECT_DOUBLE_EQ(facts_.get(3)->certainty, 0.5);
    EXPECT_EQ(facts_.get(3)->distance, 1);
    EXPECT_DOUBLE_EQ(facts_.get(5)->certainty, 1.0);
    EXPECT_FALSE(facts_.get(0)->used);
    EXPECT_EQ(facts_.get(6), nullptr);
}

TEST_F(FactsTest, ApplyGivesTheTasksExactlyTheUsedFacts) {
    add("A", Trelation_kind::succ, "B");
    add("A", Trelation_kind::succ, "B");
    add("A", Trelation_kind::par, "C");
    add("C", Trelation_kind::caus, "B", false);
    add("B", Trelation_kind::long_succ, "C");
    facts_.get(4)->distance = 7;
    add("A", Trelation_kind::excl, "B");
    t("A")->record_successor(t("C"));  // cleared by the apply
    facts_.apply_to_tasks(tasks_);
    ASSERT_EQ(t("A")->successor_counts().size(), 1u);
    EXPECT_EQ(t("A")->successor_counts()[0].count, 2);
    EXPECT_EQ(names(t("A")->parallel()), "C");
    EXPECT_EQ(names(t("C")->parallel()), "A");
    EXPECT_EQ(names(t("A")->long_successors()), "B:1 C:1");
    EXPECT_EQ(names(t("C")->long_successors()), "A:1");
    EXPECT_EQ(names(t("B")->long_successors()), "C:7");
    EXPECT_TRUE(t("C")->causal_successors().empty());

    Tfactslist none(tasks_);
    none.apply_to_tasks(tasks_);
    EXPECT_TRUE(t("A")->successor_counts().empty());
    EXPECT_TRUE(t("A")->parallel().empty());
}

TEST_F(FactsTest, SortIsCaseBlindFirstThenByBytes) {
    add("b_complete", Trelation_kind::succ, "x");
    add("A_complete", Trelation_kind::succ, "x");
    add("a_complete", Trelation_kind::succ, "z");
    add("a_complete", Trelation_kind::succ, "y");
    add("a", Trelation_kind::succ, "x");
    facts_.sort();
    EXPECT_EQ(order(),
              (std::vector<std::string>{"a   >    x", "A_complete   >    x", "a_complete   >    y",
                                        "a_complete   >    z", "b_complete   >    x"}));
}

TEST_F(FactsTest, SortLeavesEqualNamesInTheQuicksortsOrder) {
    // Equal names: the order comes from the partition steps alone.
    add("A", Trelation_kind::succ, "B");
    add("A", Trelation_kind::caus, "B");
    add("A", Trelation_kind::par, "B");
    add("0", Trelation_kind::succ, "B");
    facts_.sort();
    EXPECT_EQ(order(),
              (std::vector<std::string>{"0   >    B", "A   >    B", "A   ||   B", "A   ->   B"}));
}

TEST_F(FactsTest, ConflictsDependOnWhichFactComesFirst) {
    add("A", Trelation_kind::succ, "B");
    add("A", Trelation_kind::ncaus, "B");
    EXPECT_EQ(facts_.erroneous_sets(), (TintMatrix{{0, 1}}));
    facts_.swap(0, 1);
    EXPECT_TRUE(facts_.erroneous_sets().empty());

    EXPECT_TRUE(facts_conflict(Tfact(t("A"), 0, 1, Trelation_kind::caus, t("B")),
                               Tfact(t("B"), 0, 1, Trelation_kind::caus, t("A"))));
    EXPECT_FALSE(facts_conflict(Tfact(t("A"), 0, 1, Trelation_kind::long_succ, t("B")),
                                Tfact(t("B"), 0, 1, Trelation_kind::long_succ, t("A"))));
    // For a task with itself the swapped-pair row decides.
    EXPECT_FALSE(facts_conflict(Tfact(t("A"), 0, 1, Trelation_kind::succ, t("A")),
                                Tfact(t("A"), 0, 1, Trelation_kind::ncaus, t("A"))));
}

TEST_F(FactsTest, ErroneousSetsGatherTheRestOfThePairAndSkipSwitchedOffFacts) {
    add("A", Trelation_kind::caus, "B");         // 0
    add("C", Trelation_kind::caus, "D");         // 1
    add("A", Trelation_kind::par, "B", false);   // 2: off, passed over
    add("B", Trelation_kind::succ, "A");         // 3: conflicts with 0 (swapped)
    add("A", Trelation_kind::long_succ, "B");    // 4: same tasks, joins the set
    add("D", Trelation_kind::caus, "C");         // 5: conflicts with 1
    add("E", Trelation_kind::par, "F");          // 6
    add("E", Trelation_kind::npar, "F", false);  // 7: off: no set for 6
    EXPECT_EQ(facts_.erroneous_sets(), (TintMatrix{{0, 3, 4}, {1, 5}}));
}

TEST_F(FactsTest, ASetWithAnAlreadyPlacedMemberIsDropped) {
    add("A", Trelation_kind::caus, "B");  // 0
    add("A", Trelation_kind::par, "B");   // 1
    add("A", Trelation_kind::excl, "B");  // 2: 1 conflicts with 2, but 1 is placed already
    EXPECT_EQ(facts_.erroneous_sets(), (TintMatrix{{0, 1, 2}}));
}

TEST_F(FactsTest, FactsOfATaskListTask1PositionsFirst) {
    add("C", Trelation_kind::succ, "D");
    add("E", Trelation_kind::succ, "C");
    add("C", Trelation_kind::succ, "C");
    EXPECT_EQ(facts_.facts_of_task(t("C")), (TintArray{0, 2, 1, 2}));
}

}  // namespace
}  // namespace vesk
