#include "net/vesk_redisc_build.h"

#include <gtest/gtest.h>

#include "net/net_builder.h"

namespace vesk {
namespace {

using Sets = std::vector<std::string>;

TEST(BuildNet, SequenceGetsOnePlaceBetweenEachPair) {
    test::Relations r;
    r.cause("A", "B").cause("B", "C").start("A").end("C");
    Tpetrinet net;
    Build_net(net, r.tasks);
    EXPECT_EQ(test::place_sets(net),
              (Sets{"*A* -> *B*", "*B* -> *C*", "_#start#_ -> _*A*", "_*C* -> _#end#_"}));
    EXPECT_EQ(test::arc_list(net),
              (Sets{"A -> [*A*|*B*]", "[*A*|*B*] -> B", "B -> [*B*|*C*]", "[*B*|*C*] -> C",
                    "[_#start#_|_*A*] -> A", "C -> [_*C*|_#end#_]"}));
}

TEST(BuildNet, ParallelBranchesGetAPlaceEach) {
    test::Relations r;
    r.cause("A", "B").cause("A", "C").cause("B", "D").cause("C", "D").parallel("B", "C");
    r.start("A").end("D");
    Tpetrinet net;
    Build_net(net, r.tasks);
    EXPECT_EQ(test::place_sets(net), (Sets{"*A* -> *B*", "*A* -> *C*", "*B* -> *D*", "*C* -> *D*",
                                           "_#start#_ -> _*A*", "_*D* -> _#end#_"}));
    EXPECT_EQ(net.transitions().size(), 4u);
}

TEST(BuildNet, ChoiceSharesOnePlaceOnEachSide) {
    test::Relations r;
    r.cause("A", "B").cause("A", "C").cause("B", "D").cause("C", "D");
    r.start("A").end("D");
    Tpetrinet net;
    Build_net(net, r.tasks);
    EXPECT_EQ(test::place_sets(net),
              (Sets{"*A* -> *B*&*C*", "*B*&*C* -> *D*", "_#start#_ -> _*A*", "_*D* -> _#end#_"}));
}

TEST(BuildNet, PairSearchFindsTheMaximalPairs) {
    test::Relations r;
    r.cause("A", "C").cause("B", "C").cause("A", "D").cause("B", "D");
    TTaskArray a = {r.task("A")};
    TTaskArray b = {r.task("C")};
    Ttasktuplearray pairs;
    Search_pairs(r.tasks, a, b, pairs, 0, 0);
    ASSERT_FALSE(pairs.empty());
    EXPECT_EQ(pairs[0][0].size(), 2u);
    EXPECT_EQ(pairs[0][1].size(), 2u);
    EXPECT_EQ(a.size(), 1u);  // left as found
    EXPECT_EQ(b.size(), 1u);
}

TEST(BuildNet, StartAndEndOnOneTaskAndNamesThatContainEachOther) {
    test::Relations r;
    r.cause("X", "XY").start("X").end("X").start("XY").end("XY");
    Tpetrinet net;
    Build_net(net, r.tasks);
    EXPECT_EQ(test::arc_list(net),
              (Sets{"X -> [*X*|*XY*]", "[*X*|*XY*] -> XY", "[_#start#_|_*X*_*XY*] -> X",
                    "X -> [_*X*_*XY*|_#end#_]", "[_#start#_|_*X*_*XY*] -> XY",
                    "XY -> [_*X*_*XY*|_#end#_]"}));
}

TEST(BuildNet, EmptyTaskListGivesStartAndEndOnly) {
    Towned_tasklist tasks;
    Tpetrinet net;
    Build_net(net, tasks);
    EXPECT_EQ(test::place_sets(net), (Sets{"_#start#_ -> ", " -> _#end#_"}));
}

TEST(BuildNet, LoopTaskConsumesAndGivesBackThePlacesBetweenItsNeighbours) {
    test::Relations r;
    r.cause("A", "B").start("A").end("B");
    Ttask* loop = r.task("L");
    r.tasks.remove(loop);
    loop->causal_predecessors().add(r.task("A"));
    loop->causal_successors().add(r.task("B"));
    Tpetrinet net;
    Build_net(net, r.tasks);
    Ttasklist loops;
    loops.add(loop);
    Add_loop_tasks(net, loops);
    const Sets arcs = test::arc_list(net);
    EXPECT_EQ(Sets(arcs.end() - 2, arcs.end()), (Sets{"[*A*|*B*] -> L", "L -> [*A*|*B*]"}));
    EXPECT_EQ(arcs.size(), 6u);
}

}  // namespace
}  // namespace vesk
