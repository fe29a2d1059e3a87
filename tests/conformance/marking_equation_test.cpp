// The estimate of the cost still to pay, on small nets where the answer is worked out by hand:
// transitions that can never fire again must not lend the estimate their moves.

#include "conformance/marking_equation.h"

#include <gtest/gtest.h>

#include "conformance/dead_transitions.h"

namespace vesk {
namespace {

// Transitions named after their tasks; arcs given as (from place, transition, to place).
struct HandNet {
    struct Arc {
        const char* from;
        const char* transition;
        const char* to;
    };
    explicit HandNet(const std::vector<Arc>& arcs) {
        for (const Arc& arc : arcs) {
            Ttransition* t = transition(arc.transition);
            net.Add_input_arc(place(arc.from), t, 1.0);
            net.Add_output_arc(t, place(arc.to), 1.0);
        }
    }
    Tplace* place(const std::string& name) {
        if (!places.contains(name)) places[name] = net.Add_place(name, name);
        return places[name];
    }
    Ttransition* transition(const std::string& name) {
        if (!transitions.contains(name))
            transitions[name] = net.Add_transition(name, tasks.create(name));
        return transitions[name];
    }
    Tloglist log(const std::vector<std::string>& events) const {
        Tloglist lines;
        for (const std::string& event : events)
            lines.emplace_back(event, 0);
        return lines;
    }
    Towned_tasklist tasks;
    Tpetrinet net;
    std::map<std::string, Tplace*> places;
    std::map<std::string, Ttransition*> transitions;
};

// The marking after firing the transitions of these labels in turn.
std::vector<std::uint8_t> after(const AlignmentNet& net, const std::vector<std::string>& fired) {
    std::vector<std::uint8_t> marking = net.initial_marking();
    for (const std::string& name : fired)
        for (std::int32_t t = 0; t < net.transition_count(); ++t) {
            if (net.label_name(net.label(t)) != name) continue;
            for (const std::int32_t p : net.inputs(t))
                --marking[static_cast<std::size_t>(p)];
            for (const std::int32_t p : net.outputs(t))
                ++marking[static_cast<std::size_t>(p)];
        }
    return marking;
}

std::vector<std::string> dead_names(const AlignmentNet& net, DeadTransitions& dead,
                                    const std::vector<std::uint8_t>& marking) {
    std::vector<std::string> names;
    const std::vector<std::uint8_t>& flags = dead.at(marking);
    for (std::int32_t t = 0; t < net.transition_count(); ++t)
        if (flags[static_cast<std::size_t>(t)] != 0) names.push_back(net.label_name(net.label(t)));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DeadTransitions, TheBranchNotTakenAndWhatLiesBehind) {
    // start -a-> p1 -c-> end, start -b-> p2 -d-> end.
    HandNet hand({{"_#start#_", "a", "p1"},
                  {"p1", "c", "_#end#_"},
                  {"_#start#_", "b", "p2"},
                  {"p2", "d", "_#end#_"}});
    const AlignmentNet net(hand.net, hand.log({"a", "b", "c", "d"}));
    DeadTransitions dead(net);
    EXPECT_TRUE(dead_names(net, dead, net.initial_marking()).empty());
    // Only c can still fire: the start place and p2 stay empty whatever fires.
    EXPECT_EQ(dead_names(net, dead, after(net, {"a"})), (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(dead_names(net, dead, net.final_marking()).size(), 4u);
}

TEST(MarkingEquation, ALoopLeftBehindCannotRunAgain) {
    // start -a-> p, p -b-> start (the way back), p -c-> end.
    HandNet hand({{"_#start#_", "a", "p"}, {"p", "b", "_#start#_"}, {"p", "c", "_#end#_"}});
    const Tloglist log = hand.log({"a", "b", "a", "c"});
    const AlignmentNet net(hand.net, log);
    std::vector<std::int32_t> trace;
    for (const Tlog_line& line : log)
        trace.push_back(line.name_id());
    MarkingEquation equation(net);
    equation.load(trace, {});
    // From the start: a, b, a in step, c too.
    const MarkingEquation::Estimate from_start = equation.solve(net.initial_marking(), 0);
    ASSERT_TRUE(from_start.reachable);
    EXPECT_EQ(from_start.cost, 0);
    // From the end every event is a move on the log only. The equation by itself would let a
    // and b run round the loop in step twice, with one b on the model only, and count 2.
    const MarkingEquation::Estimate from_end = equation.solve(net.final_marking(), 0);
    ASSERT_TRUE(from_end.reachable);
    EXPECT_EQ(from_end.cost, 4);
    // Inside the loop, after a: b, a, c in step.
    const MarkingEquation::Estimate inside = equation.solve(after(net, {"a"}), 1);
    ASSERT_TRUE(inside.reachable);
    EXPECT_EQ(inside.cost, 0);
}

}  // namespace
}  // namespace vesk
