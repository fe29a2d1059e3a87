#include "mining/vesk_task.h"

#include <gtest/gtest.h>

#include "support/task_dump.h"

namespace vesk {
namespace {

using test::names;

TEST(Task, CountsAndTheRelationsDerivedFromThem) {
    Towned_tasklist all;
    Ttask* a = all.create("A");
    Ttask* b = all.create("B");
    Ttask* c = all.create("C");
    Ttask* d = all.create("D");
    for (int i = 0; i < 3; ++i)
        a->record_successor(b);
    a->record_successor(c);
    a->record_predecessor(c);
    a->record_predecessor(d);
    ASSERT_EQ(a->successor_counts().size(), 2u);
    EXPECT_EQ(a->successor_counts()[0].count, 3);
    EXPECT_TRUE(a->has_successor(c));
    EXPECT_FALSE(a->has_successor(d));

    EXPECT_EQ(names(a->causal_successors()), "B");
    EXPECT_EQ(names(a->causal_predecessors()), "D");
    a->derive_parallel();
    EXPECT_EQ(names(a->parallel()), "C");
    EXPECT_TRUE(a->is_related(*b) && a->is_related(*c) && a->is_related(*d));

    // Once derived, the causal lists no longer follow the counts.
    a->record_successor(d);
    EXPECT_EQ(names(a->causal_successors()), "B");
    EXPECT_EQ(a->name_list(NameList::successors), "B C D ");
    EXPECT_EQ(a->name_list(NameList::causal_predecessors), "D ");
}

TEST(Task, ATaskThatFollowsItselfIsParallelToItself) {
    Ttask a("A");
    a.record_successor(&a);
    a.record_predecessor(&a);
    a.derive_parallel();
    EXPECT_EQ(names(a.parallel()), "A");
    EXPECT_TRUE(a.causal_successors().empty());
}

TEST(Task, CountOverflowIsAnError) {
    EXPECT_THROW(checked_add(kNone, 1), std::overflow_error);
    EXPECT_EQ(checked_add(kNone - 1, 1), kNone);
}

TEST(Task, SplitNameAtTheLastUnderscoreAndDropLoopPrefixes) {
    const TstringTuple plain = split_task_name("check_in_start");
    EXPECT_EQ(plain.raw_name, "check_in");
    EXPECT_EQ(plain.activity, "check_in");
    EXPECT_EQ(plain.event, "start");
    EXPECT_EQ(plain.plain_name, "check_in_start");

    const TstringTuple copy = split_task_name("&%$2loop2$%&check_in_start");
    EXPECT_EQ(copy.raw_name, "&%$2loop2$%&check_in");
    EXPECT_EQ(copy.activity, "check_in");
    EXPECT_EQ(copy.plain_name, "check_in_start");
    EXPECT_EQ(split_task_name("&%$1loop1$%&register_complete").activity, "register");
    EXPECT_THROW(split_task_name("nounderscore"), std::out_of_range);
}

TEST(TaskList, ValuesKeepTheSmallestAndRemovalKeepsOrder) {
    Towned_tasklist all;
    Ttask* a = all.create("A");
    Ttask* b = all.create("B");
    Ttask* c = all.create("C");
    Ttasklist list;
    list.add(b);
    EXPECT_EQ(list.value(0), kNone);
    list.add_with_value(b, 5);
    list.add_with_value(b, 3);
    list.add_with_value(b, 7);
    EXPECT_EQ(names(list), "B:3");

    Ttasklist three;
    three.add_with_value(a, 1);
    three.add_with_value(b, 2);
    three.add_with_value(c, 3);
    three.remove(b);
    EXPECT_EQ(names(three), "A:1 C:3");
    EXPECT_EQ(three.get(-1), nullptr);
    EXPECT_EQ(three.get(2), nullptr);
    EXPECT_EQ(three.name_at(5), "");
    EXPECT_EQ(three.index_of(b), -1);
    three.remove_all(three);
    EXPECT_TRUE(three.empty());
}

TEST(TaskList, LongListsStayConsistentPastTheIndexThreshold) {
    Towned_tasklist all;
    for (int i = 0; i < 100; ++i)
        all.create("T" + std::to_string(i) + "_complete");
    Ttasklist list;
    for (int i = 99; i >= 0; --i)
        list.add_with_value(all.get(i), i);
    for (int i = 0; i < 100; i += 3)
        list.remove(all.get(i));
    for (int i = 0; i < 100; ++i) {
        const std::int32_t at = list.index_of(all.get(i));
        if (i % 3 == 0) {
            EXPECT_EQ(at, -1);
        } else {
            ASSERT_GE(at, 0);
            EXPECT_EQ(list.get(at), all.get(i));
            EXPECT_EQ(list.value(at), i);
        }
    }
    EXPECT_EQ(list.find_by_name("T50_complete"), all.get(50));
    EXPECT_EQ(list.find_task(all.get(51)), nullptr);
}

TEST(TaskList, ClearRelationsAndDetachLeaveLoopDataAlone) {
    Towned_tasklist all;
    Ttask* a = all.create("A");
    Ttask* b = all.create("B");
    a->record_successor(b);
    b->record_predecessor(a);
    a->add_long_successor(b, 1);
    b->add_long_predecessor(a, 1);
    a->loop_length = 2;
    a->tasks_in_two_loop.add(b);
    a->is_trace_start = true;

    Ttasklist removed;
    removed.add(b);
    detach_tasks(removed, all);
    EXPECT_TRUE(a->causal_successors().empty());
    EXPECT_TRUE(a->long_successors().empty());

    clear_relations(all);
    EXPECT_TRUE(a->successor_counts().empty());
    EXPECT_TRUE(b->predecessor_counts().empty());
    EXPECT_TRUE(b->long_predecessors().empty());
    EXPECT_EQ(a->loop_length, 2);
    EXPECT_EQ(names(a->tasks_in_two_loop), "B");
    EXPECT_TRUE(a->is_trace_start);
    // Cleared causal lists are not derived again from new counts.
    a->record_successor(b);
    EXPECT_TRUE(a->causal_successors().empty());
}

TEST(TaskList, OwnershipCanBeHandedOver) {
    Towned_tasklist main;
    Towned_tasklist loops;
    Ttask* a = main.create("A");
    loops.adopt(main.release(a));
    EXPECT_EQ(main.count(), 0);
    EXPECT_EQ(loops.get(0), a);
    EXPECT_EQ(main.release(a), nullptr);
    loops.free_all();
    EXPECT_TRUE(loops.empty());
}

}  // namespace
}  // namespace vesk
