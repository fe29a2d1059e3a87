// Escaping-edges precision on models whose allowed and observed continuations are counted by
// hand.

#include "conformance/precision.h"

#include <gtest/gtest.h>

#include "conformance/conformance_check.h"
#include "discovery/tree_net.h"

namespace vesk {
namespace {

using Kind = ProcessTree::Kind;

ProcessTree a(std::int32_t id) {
    return ProcessTree::activity(id);
}

double precision_of(const ProcessTree& tree, const std::vector<std::vector<std::int32_t>>& cases) {
    const std::vector<std::string> names{"a", "b", "c", "d"};
    Towned_tasklist tasks;
    for (const std::string& name : names)
        tasks.create(name);
    Tpetrinet net;
    build_tree_net(net, tree, names, tasks);
    Tloglist log;
    for (std::size_t c = 0; c < cases.size(); ++c)
        for (const std::int32_t id : cases[c])
            log.emplace_back(names[static_cast<std::size_t>(id)], static_cast<std::int32_t>(c));
    const ConformanceResult result = check_conformance(net, log);
    EXPECT_DOUBLE_EQ(result.fitness, 1.0);
    return result.precision.value;
}

TEST(Precision, TheModelOfExactlyTheLogIsPrecise) {
    const ProcessTree sequence = ProcessTree::node(Kind::sequence, {a(0), a(1), a(2)});
    EXPECT_DOUBLE_EQ(precision_of(sequence, {{0, 1, 2}, {0, 1, 2}}), 1.0);
}

TEST(Precision, AFlowerAllowsEverythingEverywhere) {
    // After each of the prefixes "", a, ab and abc the flower allows a, b and c; the log does
    // one of them next at the first three and none at the last: 2 + 2 + 2 + 3 of 12 escape.
    const ProcessTree flower =
        ProcessTree::node(Kind::loop, {ProcessTree::silent(), a(0), a(1), a(2)});
    EXPECT_DOUBLE_EQ(precision_of(flower, {{0, 1, 2}}), 1.0 - 9.0 / 12.0);
}

TEST(Precision, WeighsEachPrefixByTheCasesThroughIt) {
    // X(a, b) then c, then d or nothing. Three cases "a c", one "a c d":
    //   ""   allows a, b   (b escapes)   4 cases
    //   a    allows c                    4 cases
    //   ac   allows d      (observed)    4 cases
    //   acd  allows nothing              1 case
    const ProcessTree model = ProcessTree::node(
        Kind::sequence, {ProcessTree::node(Kind::choice, {a(0), a(1)}), a(2),
                         ProcessTree::node(Kind::choice, {a(3), ProcessTree::silent()})});
    EXPECT_DOUBLE_EQ(precision_of(model, {{0, 2}, {0, 2}, {0, 2}, {0, 2, 3}}),
                     1.0 - 4.0 / (4 * 2 + 4 + 4));
}

}  // namespace
}  // namespace vesk
