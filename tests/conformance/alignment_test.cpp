// Optimal alignments: costs worked out by hand on small nets, and on hundreds of random
// block-structured nets and disturbed traces the cost of a plain uniform-cost search over the
// synchronous product written here (every move at every state, no estimate, no reduction).

#include "conformance/aligner.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>

#include "conformance/conformance_check.h"
#include "discovery/random_trees.h"
#include "discovery/tree_net.h"

namespace vesk {
namespace {

using Kind = ProcessTree::Kind;

ProcessTree a(std::int32_t id) {
    return ProcessTree::activity(id);
}
ProcessTree node(Kind kind, std::vector<ProcessTree> children) {
    return ProcessTree::node(kind, std::move(children));
}

// A tree's net over activities "x0", "x1", ...; traces are given as activity ids, -1 for an
// activity the net does not know.
struct Model {
    explicit Model(const ProcessTree& tree, std::int32_t activities = 6) {
        for (std::int32_t i = 0; i < activities; ++i)
            names.push_back("x" + std::to_string(i));
        for (const std::string& name : names)
            tasks.create(name);
        build_tree_net(net, tree, names, tasks);
    }
    Tloglist lines(const std::vector<std::vector<std::int32_t>>& cases) const {
        Tloglist log;
        for (std::size_t c = 0; c < cases.size(); ++c)
            for (const std::int32_t id : cases[c])
                log.emplace_back(id < 0 ? "unknown" : names[static_cast<std::size_t>(id)],
                                 static_cast<std::int32_t>(c));
        return log;
    }
    std::vector<std::string> names;
    Towned_tasklist tasks;
    Tpetrinet net;
};

std::vector<std::int32_t> labels_of(const Tloglist& log) {
    std::vector<std::int32_t> labels;
    for (const Tlog_line& line : log)
        labels.push_back(line.name_id());
    return labels;
}

Alignment align(const Tpetrinet& net, const Tloglist& log) {
    const AlignmentNet numbers(net, log);
    Aligner aligner(numbers);
    return aligner.align(labels_of(log));
}

std::int32_t cost_of(const Model& model, const std::vector<std::int32_t>& trace) {
    const Alignment alignment = align(model.net, model.lines({trace}));
    EXPECT_TRUE(alignment.aligned());
    return alignment.cost;
}

// Uniform-cost search over (marking, position) with every move.
std::int32_t reference_cost(const AlignmentNet& net, const std::vector<std::int32_t>& trace) {
    using State = std::pair<std::vector<std::uint8_t>, std::size_t>;
    std::map<State, std::int32_t> best;
    std::deque<std::pair<State, std::int32_t>> queue;
    const State start{net.initial_marking(), 0};
    queue.push_back({start, 0});
    best[start] = 0;
    while (!queue.empty()) {
        const auto [state, cost] = queue.front();
        queue.pop_front();
        if (best[state] < cost) continue;
        const auto& [marking, position] = state;
        if (position == trace.size() && marking == net.final_marking()) return cost;
        const auto offer = [&](State next, std::int32_t step) {
            const auto found = best.find(next);
            if (found != best.end() && found->second <= cost + step) return;
            best[next] = cost + step;
            if (step == 0)
                queue.push_front({next, cost});
            else
                queue.push_back({next, cost + step});
        };
        if (position < trace.size()) offer({marking, position + 1}, 1);
        for (std::int32_t t = 0; t < net.transition_count(); ++t) {
            bool enabled = true;
            for (const std::int32_t p : net.inputs(t))
                enabled = enabled && marking[static_cast<std::size_t>(p)] > 0;
            if (!enabled) continue;
            std::vector<std::uint8_t> fired = marking;
            for (const std::int32_t p : net.inputs(t))
                --fired[static_cast<std::size_t>(p)];
            for (const std::int32_t p : net.outputs(t))
                ++fired[static_cast<std::size_t>(p)];
            const std::int32_t label = net.label(t);
            if (position < trace.size() && label == trace[position])
                offer({fired, position + 1}, 0);
            offer({fired, position}, label < 0 ? 0 : 1);
        }
    }
    return -1;
}

TEST(Alignment, CostsWorkedOutByHand) {
    const Model sequence(node(Kind::sequence, {a(0), a(1), a(2)}));
    EXPECT_EQ(cost_of(sequence, {0, 1, 2}), 0);
    EXPECT_EQ(cost_of(sequence, {0, 2}), 1);         // x1 skipped
    EXPECT_EQ(cost_of(sequence, {0, 2, 1}), 2);      // x1 and x2 swapped
    EXPECT_EQ(cost_of(sequence, {}), 3);             // the cheapest run, all on the model
    EXPECT_EQ(cost_of(sequence, {0, -1, 1, 2}), 1);  // an activity the net lacks

    const Model loop(node(Kind::loop, {a(0), a(1)}));
    EXPECT_EQ(cost_of(loop, {0, 1, 0, 1, 0}), 0);  // run three times
    EXPECT_EQ(cost_of(loop, {0, 0}), 1);           // the way back x1 skipped

    const Model parallel(node(Kind::sequence, {node(Kind::parallel, {a(0), a(1)}), a(2)}));
    EXPECT_EQ(cost_of(parallel, {0, 1, 2}), 0);
    EXPECT_EQ(cost_of(parallel, {1, 0, 2}), 0);
    EXPECT_EQ(cost_of(parallel, {1, 2, 0}), 2);

    const Model choice(node(Kind::sequence, {node(Kind::choice, {a(0), a(1)}), a(2)}));
    EXPECT_EQ(cost_of(choice, {0, 1, 2}), 1);  // both branches: one is a log move
    EXPECT_EQ(cost_of(choice, {2}), 1);        // no branch taken

    const Model skip(
        node(Kind::sequence, {a(0), node(Kind::choice, {a(1), ProcessTree::silent()}), a(2)}));
    EXPECT_EQ(cost_of(skip, {0, 2}), 0);
}

TEST(Alignment, MovesTellWhatHappenedAndFitnessCountsTheCheapestRun) {
    const Model sequence(node(Kind::sequence, {a(0), a(1), a(2)}));
    const Tloglist log = sequence.lines({{0, 2, 2}, {0, 1, 2}, {0, 1, 2}});
    const ConformanceResult result = check_conformance(sequence.net, log);
    EXPECT_EQ(result.cheapest_run, 3);
    ASSERT_EQ(result.variants.size(), 2u);
    const VariantAlignment& odd = result.variants[1];
    EXPECT_EQ(odd.alignment.cost, 2);  // x1 skipped, one x2 too many
    EXPECT_DOUBLE_EQ(odd.fitness, 1.0 - 2.0 / (3 + 3));
    EXPECT_DOUBLE_EQ(result.fitness, 1.0 - 2.0 / (3 * 6.0));
    EXPECT_EQ(result.cases_fitting, 2);
    const auto moves_of = [&](std::int32_t id) {
        return result
            .activities[static_cast<std::size_t>(*log.find_name("x" + std::to_string(id)))];
    };
    EXPECT_EQ(moves_of(1).model_moves, 1);
    EXPECT_EQ(moves_of(1).synchronous, 2);
    EXPECT_EQ(moves_of(2).log_moves, 1);
    EXPECT_EQ(moves_of(2).synchronous, 3);

    // A variant the search gave up on counts, at the least, as costing its 3 events on the log
    // and the cheapest run on the model.
    EXPECT_DOUBLE_EQ(fitness_at_least(result), result.fitness);
    ConformanceResult given_up = result;
    given_up.variants[1].alignment.outcome = Alignment::Outcome::bound_reached;
    EXPECT_DOUBLE_EQ(fitness_at_least(given_up), 1.0 - 6.0 / 18.0);
}

TEST(Alignment, AvoidsAStepAfterWhichTheEndCannotBeReached) {
    // start -> x0 -> p -> x1 -> end, and start -> x2 -> a place without a way out.
    Towned_tasklist tasks;
    Ttask* x0 = tasks.create("x0");
    Ttask* x1 = tasks.create("x1");
    Ttask* x2 = tasks.create("x2");
    Tpetrinet net;
    Tplace* start = net.Add_place("_#start#_", "*x0*&*x2*");
    Tplace* middle = net.Add_place("*x0*", "*x1*");
    Tplace* dead = net.Add_place("*x2*", "*nothing*");
    Tplace* end = net.Add_place("*x1*", "_#end#_");
    Ttransition* t0 = net.Add_transition("x0", x0);
    Ttransition* t1 = net.Add_transition("x1", x1);
    Ttransition* t2 = net.Add_transition("x2", x2);
    net.Add_input_arc(start, t0, 1.0);
    net.Add_output_arc(t0, middle, 1.0);
    net.Add_input_arc(middle, t1, 1.0);
    net.Add_output_arc(t1, end, 1.0);
    net.Add_input_arc(start, t2, 1.0);
    net.Add_output_arc(t2, dead, 1.0);
    Tloglist log;
    log.emplace_back("x2", 0);
    log.emplace_back("x1", 0);
    const Alignment alignment = align(net, log);
    ASSERT_TRUE(alignment.aligned());
    EXPECT_EQ(alignment.cost, 2);  // x2 on the log only, x0 on the model only
    EXPECT_FALSE(alignment.moves.front().on_model());
}

TEST(Alignment, EqualsAPlainUniformCostSearchOnRandomNets) {
    std::mt19937 random(7);
    const auto pick = [&random](int below) {
        return std::uniform_int_distribution<int>(0, below - 1)(random);
    };
    for (unsigned seed = 0; seed < 400; ++seed) {
        test::RandomTrees trees(seed);
        const std::int32_t activities = 3 + static_cast<std::int32_t>(seed % 5);
        const ProcessTree tree = trees.model(activities);
        const Model model(tree, activities);
        std::vector<std::int32_t> trace = trees.simulate(tree);
        // Disturb it: drop, add (sometimes an unknown activity) or swap events.
        for (int change = pick(4); change > 0; --change) {
            const int kind = pick(3);
            const auto at = static_cast<std::size_t>(pick(static_cast<int>(trace.size()) + 1));
            if (kind == 0 && at < trace.size()) {
                trace.erase(trace.begin() + static_cast<std::ptrdiff_t>(at));
            } else if (kind == 1) {
                trace.insert(trace.begin() + static_cast<std::ptrdiff_t>(at),
                             pick(8) == 0 ? -1 : pick(activities));
            } else if (at + 1 < trace.size()) {
                std::swap(trace[at], trace[at + 1]);
            }
        }
        const Tloglist log = model.lines({trace});
        const AlignmentNet numbers(model.net, log);
        // Every other net with split points from the first state on, so that the estimate
        // with split points is held to the reference too.
        Aligner aligner(numbers, kDefaultMaxStates, seed % 2 == 0 ? kSplitAfterStates : 0);
        const Alignment alignment = aligner.align(labels_of(log));
        ASSERT_TRUE(alignment.aligned()) << "seed " << seed;
        EXPECT_EQ(alignment.cost, reference_cost(numbers, labels_of(log))) << "seed " << seed;
        // The moves are a run of the net and of the trace at the cost said.
        std::int32_t cost = 0;
        std::size_t position = 0;
        for (const AlignmentMove& move : alignment.moves) {
            if (move.on_log()) {
                EXPECT_EQ(move.log_label, labels_of(log)[position++]);
            }
            if (move.on_log() != move.on_model() &&
                (move.on_log() || numbers.label(move.transition) >= 0))
                ++cost;
        }
        EXPECT_EQ(position, log.size());
        EXPECT_EQ(cost, alignment.cost) << "seed " << seed;
    }
}

TEST(Alignment, TwoThreadsGiveWhatOneGives) {
    test::RandomTrees trees(11);
    const ProcessTree tree = trees.model(7);
    const Model model(tree, 7);
    std::vector<std::vector<std::int32_t>> cases;
    for (int i = 0; i < 120; ++i) {
        std::vector<std::int32_t> trace = trees.simulate(tree);
        if (i % 3 == 0 && trace.size() > 1) std::swap(trace[0], trace[trace.size() - 1]);
        if (i % 4 == 0) trace.push_back(i % 7);
        cases.push_back(trace);
    }
    const Tloglist log = model.lines(cases);
    ConformanceOptions one;
    one.threads = 1;
    ConformanceOptions two;
    two.threads = 2;
    const ConformanceResult first = check_conformance(model.net, log, one);
    const ConformanceResult second = check_conformance(model.net, log, two);
    ASSERT_EQ(first.variants.size(), second.variants.size());
    for (std::size_t v = 0; v < first.variants.size(); ++v) {
        const auto& x = first.variants[v].alignment.moves;
        const auto& y = second.variants[v].alignment.moves;
        ASSERT_EQ(x.size(), y.size()) << v;
        for (std::size_t m = 0; m < x.size(); ++m) {
            EXPECT_EQ(x[m].log_label, y[m].log_label);
            EXPECT_EQ(x[m].transition, y[m].transition);
        }
    }
    EXPECT_EQ(first.precision.value, second.precision.value);
}

}  // namespace
}  // namespace vesk
