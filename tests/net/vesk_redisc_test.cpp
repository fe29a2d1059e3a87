#include "net/vesk_redisc.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

TEST(PetriNet, NewNetHasNoFindings) {
    const Tpetrinet net;
    EXPECT_TRUE(net.is_safe);
    EXPECT_FALSE(net.tokens_left);
    EXPECT_TRUE(net.unfired_tasks.empty());
    EXPECT_EQ(net.flow_time.Nr_of_observations(), 0);
}

TEST(PetriNet, PlacesSubsumedByLargerOnesAreNotAdded) {
    Tpetrinet net;
    Tplace* big = net.Add_place("*A*&*C*", "*B*");
    EXPECT_EQ(net.Add_place("*A*", "*B*"), big);
    EXPECT_EQ(net.Find_place("*a*", ""), big);  // letter case is ignored
    EXPECT_EQ(net.Find_place("", "*b*"), big);
    EXPECT_EQ(net.Find_place("*A*&*D*", ""), nullptr);
    Tplace* other = net.Add_place("*A*", "*D*");
    EXPECT_NE(other, big);
    EXPECT_EQ(net.Place_count(), 2);
    EXPECT_EQ(net.Place_at(2), nullptr);
    EXPECT_EQ(big->token_time, NO_TOKEN);
}

TEST(PetriNet, ArcsAreUniquePerDirectionAndInputWeightsAdd) {
    Tpetrinet net;
    Tplace* p = net.Add_place("*A*", "*B*");
    Ttransition* a = net.Add_transition("A", nullptr);
    EXPECT_EQ(net.Add_transition("A", nullptr), a);
    Tarc* in = net.Add_input_arc(p, a, 1.0);
    EXPECT_EQ(net.Add_input_arc(p, a, 1.0), in);
    EXPECT_EQ(in->probability, 2.0);
    Tarc* out = net.Add_output_arc(a, p, 1.0);
    EXPECT_EQ(net.Add_output_arc(a, p, 1.0), out);
    EXPECT_EQ(out->probability, 1.0);
    EXPECT_EQ(net.arcs().size(), 2u);
    EXPECT_TRUE(net.Places_between(a, a, true).size() == 1);
    Tpetrinet empty;
    EXPECT_TRUE(empty.Places_between(a, a, true).empty());
}

TEST(PetriNet, RemovalTakesTheArcsAlong) {
    Tpetrinet net;
    Tplace* p = net.Add_place("*A*", "*B*");
    Tplace* q = net.Add_place("*B*", "*C*");
    Ttransition* b = net.Add_transition("B", nullptr);
    net.Add_input_arc(p, b, 1.0);
    Tarc* keep = net.Add_output_arc(b, q, 1.0);
    net.Remove_place(p);
    ASSERT_EQ(net.arcs().size(), 1u);
    EXPECT_EQ(net.arcs()[0].get(), keep);
    net.Remove_transition(b);
    EXPECT_TRUE(net.arcs().empty());
    EXPECT_EQ(net.transitions().size(), 0u);
}

TEST(PetriNet, ReachabilityThroughInvisibleTransitionsEndsOnCycles) {
    Tpetrinet net;
    Ttask task("A_complete");
    Ttransition* a = net.Add_transition("A_complete", &task);
    Ttransition* skip1 = net.Add_transition("$#%skip#%$1_normal", nullptr);
    Ttransition* skip2 = net.Add_transition("$#%skip#%$2_normal", nullptr);
    Tplace* p1 = net.Add_place("1", "");
    Tplace* p2 = net.Add_place("2", "");
    Tplace* p3 = net.Add_place("3", "");
    Tplace* far = net.Add_place("4", "");
    net.Add_output_arc(a, p1, 1);
    net.Add_input_arc(p1, skip1, 1);
    net.Add_output_arc(skip1, p2, 1);
    net.Add_input_arc(p2, skip2, 1);
    net.Add_output_arc(skip2, p1, 1);  // a cycle of invisible transitions
    net.Add_output_arc(skip2, p3, 1);
    EXPECT_TRUE(net.Reaches_place(a, p3));
    EXPECT_FALSE(net.Reaches_place(a, far));
    EXPECT_TRUE(net.Reaches_transition(p1, skip2));
    EXPECT_FALSE(net.Reaches_transition(p1, a));
}

TEST(PetriNet, ClusterColourAndListings) {
    Tpetrinet net;
    net.Set_cluster_colour(0xF0CAA6);
    EXPECT_EQ(net.cluster_colour, "A6CAF0");
    net.Set_cluster_colour(0xFFFFFF);
    EXPECT_EQ(net.cluster_colour, "FFFFFF");

    Tplace* p = net.Add_place("*A*", "*B*");
    Ttransition* a = net.Add_transition("A", nullptr);
    net.Add_output_arc(a, p, 1);
    net.Add_input_arc(p, net.Add_transition("B", nullptr), 1);
    std::vector<std::string> lines;
    net.net_text(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"transitions", "A", "B", "", "places", "*A*_*B*", "",
                                               "rules", "A  -->  *A*_*B*", "*A*_*B*  -->  B"}));
    lines.clear();
    p->waiting_time.Add_observation(25);
    net.timing_text(lines, '.');
    EXPECT_EQ(lines, std::vector<std::string>{"*A*_*B*  : W25"});
}

}  // namespace
}  // namespace vesk
