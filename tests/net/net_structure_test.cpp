// The structure check on nets drawn by hand: what each kind of fault looks like.

#include "net/net_structure.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

using Names = std::vector<std::string>;
using Numbers = std::vector<std::size_t>;

// start -> a -> p -> b -> end, a workflow net.
class Sequence : public ::testing::Test {
protected:
    void SetUp() override {
        start = net.Add_new_place(std::string(kStartSet), "_*a*");
        p = net.Add_new_place("*a*", "*b*");
        end = net.Add_new_place("_*b*", std::string(kEndSet));
        a = net.Add_transition("a", &task_a);
        b = net.Add_transition("b", &task_b);
        net.Add_input_arc(start, a, 1);
        net.Add_output_arc(a, p, 1);
        net.Add_input_arc(p, b, 1);
        net.Add_output_arc(b, end, 1);
    }
    Ttask task_a{"a"}, task_b{"b"}, task_c{"c"};
    Tpetrinet net;
    Tplace *start, *p, *end;
    Ttransition *a, *b;
};

TEST_F(Sequence, AWorkflowNetHasNoFindings) {
    const NetStructure s = check_structure(net);
    EXPECT_TRUE(s.workflow_net());
    EXPECT_EQ(s.broken_transitions(), 0u);
    EXPECT_TRUE(s.places_without_input.empty() && s.places_without_output.empty());
    EXPECT_FALSE(s.start_without_output || s.end_without_input);
    // An invisible transition on a path (a skip of b) changes nothing.
    net.Add_output_arc(net.Add_transition("$#%skip#%$0", nullptr), end, 1);
    net.Add_input_arc(p, net.Find_transition("$#%skip#%$0"), 1);
    EXPECT_TRUE(check_structure(net).workflow_net());
}

TEST_F(Sequence, AFreeTransitionAndOneWithoutArcsAreFoundAndLeaveThePath) {
    // c puts tokens into p without taking any: it fires whenever c occurs.
    net.Add_output_arc(net.Add_transition("c", &task_c), p, 1);
    Ttask d("d");
    net.Add_transition("d", &d);
    const NetStructure s = check_structure(net);
    EXPECT_EQ(s.without_input, Names{"c"});
    EXPECT_EQ(s.without_arcs, Names{"d"});
    EXPECT_EQ(s.free_transitions(), 2u);
    EXPECT_EQ(s.transitions_off_path, 2u);
    EXPECT_FALSE(s.workflow_net());
}

TEST_F(Sequence, ADeadStartPlaceCutsEveryNodeOffThePath) {
    net.Remove_arc(net.Find_arc(a, start, false));
    const NetStructure s = check_structure(net);
    EXPECT_TRUE(s.start_without_output);
    EXPECT_EQ(s.without_input, Names{"a"});
    EXPECT_EQ(s.transitions_off_path, 2u);
    EXPECT_EQ(s.places_off_path, 3u);  // the start place reaches nothing, so it is off too
}

TEST_F(Sequence, ADisconnectedPlaceAndASinkAreFound) {
    net.Add_new_place("*x*", "*y*");                            // place 3: no arc at all
    net.Add_output_arc(b, net.Add_new_place("*b*", "*z*"), 1);  // place 4: filled, never emptied
    const NetStructure s = check_structure(net);
    EXPECT_EQ(s.places_without_input, Numbers{3});
    EXPECT_EQ(s.places_without_output, (Numbers{3, 4}));
    EXPECT_EQ(s.places_off_path, 2u);
    EXPECT_FALSE(s.workflow_net());
    EXPECT_EQ(s.broken_transitions(), 0u);
}

TEST(NetStructure, AnEmptyNetIsNoWorkflowNet) {
    const Tpetrinet net;
    EXPECT_FALSE(check_structure(net).workflow_net());
}

}  // namespace
}  // namespace vesk
