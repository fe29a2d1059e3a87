#pragma once
// Random block-structured models and logs simulated from them, for rediscovery tests. The
// models keep to what a directly-follows graph can tell apart: a loop's body is an activity or
// a sequence (its start and end differ) and neither it nor the way back is a loop or
// skippable; no loop is a branch of a parallel block; a skip (a choice with a silent step)
// wraps a single activity in the middle of a sequence.

#include <algorithm>
#include <random>
#include <vector>

#include "discovery/process_tree.h"
#include "discovery/trace_log.h"

namespace vesk::test {

class RandomTrees {
public:
    explicit RandomTrees(unsigned seed) : random_(seed) {}

    // A model of `activities` activities, ids 0 upwards.
    ProcessTree model(std::int32_t activities) {
        next_ = 0;
        return block(activities, true);
    }

    // A case of the model: choices and interleavings at random, loops taken again with
    // probability 1/2, up to three times.
    std::vector<std::int32_t> simulate(const ProcessTree& tree) {
        std::vector<std::int32_t> events;
        play(tree, events);
        return events;
    }

    TraceLog log(const ProcessTree& tree, int cases) {
        TraceLog result;
        for (int i = 0; i < cases; ++i)
            result.push_back(Trace{simulate(tree), 1});
        return merged(std::move(result));
    }

private:
    using Kind = ProcessTree::Kind;

    int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

    // Splits n activities into 2 or 3 non-empty shares.
    std::vector<std::int32_t> shares(std::int32_t n) {
        const std::int32_t parts = n >= 3 && pick(2) == 0 ? 3 : 2;
        std::vector<std::int32_t> result(static_cast<std::size_t>(parts), 1);
        for (std::int32_t left = n - parts; left > 0; --left)
            ++result[static_cast<std::size_t>(pick(parts))];
        return result;
    }

    ProcessTree block(std::int32_t n, bool loop_allowed) {
        if (n == 1) return ProcessTree::activity(next_++);
        const int choice = pick(loop_allowed ? 4 : 3);
        const std::vector<std::int32_t> parts = shares(n);
        std::vector<ProcessTree> children;
        if (choice == 3) {  // a loop: body and one way back
            const std::int32_t body = std::max<std::int32_t>(1, n / 2);
            children.push_back(body == 1 ? block(1, false) : sequence(body));
            children.push_back(block(n - body, false));
            return ProcessTree::node(Kind::loop, std::move(children));
        }
        const Kind kind = choice == 0   ? Kind::sequence
                          : choice == 1 ? Kind::choice
                                        : Kind::parallel;
        for (const std::int32_t share : parts)
            children.push_back(block(share, kind != Kind::parallel));
        if (kind == Kind::sequence && children.size() == 3 &&
            children[1].kind() == Kind::activity && pick(2) == 0)
            children[1] =
                ProcessTree::node(Kind::choice, {std::move(children[1]), ProcessTree::silent()});
        return ProcessTree::node(kind, std::move(children));
    }

    ProcessTree sequence(std::int32_t n) {
        std::vector<ProcessTree> children;
        for (const std::int32_t share : shares(n))
            children.push_back(block(share, true));
        return ProcessTree::node(Kind::sequence, std::move(children));
    }

    void play(const ProcessTree& tree, std::vector<std::int32_t>& events) {
        const auto& children = tree.children();
        switch (tree.kind()) {
            case Kind::activity:
                events.push_back(tree.activity_id());
                break;
            case Kind::silent:
                break;
            case Kind::sequence:
                for (const ProcessTree& child : children)
                    play(child, events);
                break;
            case Kind::choice:
                play(children[static_cast<std::size_t>(pick(static_cast<int>(children.size())))],
                     events);
                break;
            case Kind::parallel:
                interleave(children, events);
                break;
            case Kind::loop:
                play(children[0], events);
                for (int round = 0; round < 3 && pick(2) == 0; ++round) {
                    play(children[1 + static_cast<std::size_t>(
                                          pick(static_cast<int>(children.size()) - 1))],
                         events);
                    play(children[0], events);
                }
                break;
        }
    }

    void interleave(const std::vector<ProcessTree>& children, std::vector<std::int32_t>& events) {
        std::vector<std::vector<std::int32_t>> runs;
        for (const ProcessTree& child : children) {
            runs.emplace_back();
            play(child, runs.back());
        }
        std::vector<std::size_t> at(runs.size(), 0);
        for (;;) {
            std::vector<std::size_t> open;
            for (std::size_t r = 0; r < runs.size(); ++r)
                if (at[r] < runs[r].size()) open.push_back(r);
            if (open.empty()) break;
            const std::size_t r =
                open[static_cast<std::size_t>(pick(static_cast<int>(open.size())))];
            events.push_back(runs[r][at[r]++]);
        }
    }

    std::mt19937 random_;
    std::int32_t next_ = 0;
};

}  // namespace vesk::test
