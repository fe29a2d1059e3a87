// The replay of nets whose invisible transitions fire by shortest sequences, held to a plain
// reference written here (breadth first over every invisible firing, no reduction, no plans),
// to logs that must fit whatever their width, and to a search bound that is reported.

#include "net/sequence_replay.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>

#include "discovery/inductive_miner.h"
#include "discovery/random_trees.h"
#include "discovery/trace_logs.h"
#include "discovery/tree_net.h"
#include "net/vesk_redisc_replay.h"

namespace vesk {
namespace {

struct TreeNet {
    explicit TreeNet(const ProcessTree& tree, std::int32_t activities) {
        for (std::int32_t a = 0; a < activities; ++a)
            names.push_back("x" + std::to_string(a));
        for (const std::string& name : names)
            tasks.create(name);
        build_tree_net(net, tree, names, tasks);
    }
    std::vector<std::string> names;
    Towned_tasklist tasks;
    Tpetrinet net;
};

// Cases of activity ids, one minute and a bit apart so that the times differ.
Tloglist lines_of(const std::vector<std::vector<std::int32_t>>& cases,
                  const std::vector<std::string>& names) {
    Tloglist lines;
    for (std::size_t c = 0; c < cases.size(); ++c) {
        int minute = 0;
        for (const std::int32_t a : cases[c]) {
            Tlog_line& line = lines.emplace_back(names[static_cast<std::size_t>(a)],
                                                 static_cast<std::int32_t>(c));
            line.set_date({1, 2, 2003});
            minute += 1 + (a * 7 + minute) % 5;
            line.set_time({8 + minute / 60, minute % 60, 0, 0});
        }
    }
    return lines;
}

// The token game with every invisible firing tried at every marking, and Treplay's times.
class ReferenceReplay {
public:
    using Marking = std::vector<std::int64_t>;
    explicit ReferenceReplay(Tpetrinet& net) : net_(net) {
        for (const auto& place : net.places())
            index_[place.get()] = index_.size();
        tokens_.assign(index_.size(), 0);
        times_.assign(index_.size(), NO_TOKEN);
    }

    TokenCounts run(const Tloglist& log) {
        TokenCounts total;
        for (std::size_t begin = 0; begin < log.size();) {
            const std::size_t end = log.case_end(begin);
            run_case(log, begin, end, total);
            begin = end;
        }
        return total;
    }

private:
    bool enabled(const Marking& m, const Ttransition* t) const {
        for (const auto& arc : net_.arcs())
            if (arc->transition == t && !arc->to_place && m[index_.at(arc->place)] == 0)
                return false;
        return true;
    }
    Marking after(Marking m, const Ttransition* t) const {
        for (const auto& arc : net_.arcs())
            if (arc->transition == t) m[index_.at(arc->place)] += arc->to_place ? 1 : -1;
        return m;
    }
    template <typename Goal>
    std::vector<const Ttransition*> shortest(Goal goal, bool& found) const {
        std::map<Marking, std::vector<const Ttransition*>> seen{{tokens_, {}}};
        std::deque<Marking> queue{tokens_};
        while (!queue.empty()) {
            const Marking m = queue.front();
            queue.pop_front();
            if (goal(m)) {
                found = true;
                return seen[m];
            }
            for (const auto& t : net_.transitions())
                if (t->task == nullptr && enabled(m, t.get())) {
                    const Marking next = after(m, t.get());
                    if (seen.contains(next)) continue;
                    seen[next] = seen[m];
                    seen[next].push_back(t.get());
                    queue.push_back(next);
                }
        }
        found = false;
        return {};
    }
    void fire(const Ttransition* t, double time) {
        const bool record = enabled(tokens_, t);
        double enabled_at = 0.0;
        int inputs = 0;
        for (const auto& arc : net_.arcs())
            if (arc->transition == t && !arc->to_place) {
                ++inputs;
                enabled_at = std::max(enabled_at, times_[index_.at(arc->place)]);
            }
        for (const auto& arc : net_.arcs()) {
            if (arc->transition != t) continue;
            const std::size_t p = index_.at(arc->place);
            if (arc->to_place) {
                ++tokens_[p];
                times_[p] = time;
                ++counts_.produced;
                continue;
            }
            ++counts_.consumed;
            if (record) {
                if (inputs > 1)
                    arc->place->sync_time.Add_observation(widened_minutes(times_[p], enabled_at));
                arc->place->waiting_time.Add_observation(widened_minutes(enabled_at, time));
                arc->place->sojourn_time.Add_observation(widened_minutes(times_[p], time));
            }
            if (tokens_[p] == 0)
                ++counts_.missing;
            else if (--tokens_[p] == 0)
                times_[p] = NO_TOKEN;
        }
    }
    void run_case(const Tloglist& log, std::size_t begin, std::size_t end, TokenCounts& total) {
        counts_ = {};
        std::size_t start = 0, finish = 0;
        for (const auto& [place, i] : index_) {
            if (is_start_place(*place)) start = i;
            if (is_end_place(*place)) finish = i;
        }
        auto time_of = [&log](std::size_t i) {
            return date_time_value(log[i].date(), log[i].time().hour, log[i].time().minute);
        };
        tokens_.assign(tokens_.size(), 0);
        tokens_[start] = 1;
        times_[start] = time_of(begin);
        counts_.produced = 1;
        bool found = false;
        for (std::size_t i = begin; i < end; ++i) {
            const Ttransition* t = net_.Find_transition(log.name(log[i]));
            if (!enabled(tokens_, t))
                for (const Ttransition* step :
                     shortest([&](const Marking& m) { return enabled(m, t); }, found))
                    fire(step, time_of(i));
            fire(t, time_of(i));
        }
        auto alone = shortest(
            [&](const Marking& m) {
                for (std::size_t p = 0; p < m.size(); ++p)
                    if (m[p] != (p == finish ? 1 : 0)) return false;
                return true;
            },
            found);
        if (!found) alone = shortest([&](const Marking& m) { return m[finish] > 0; }, found);
        for (const Ttransition* step : alone)
            fire(step, time_of(end - 1));
        ++counts_.consumed;
        if (tokens_[finish] > 0)
            --tokens_[finish];
        else
            ++counts_.missing;
        for (const std::int64_t n : tokens_)
            counts_.remaining += n;
        net_.flow_time.Add_observation(widened_minutes(time_of(begin), time_of(end - 1)));
        total.produced += counts_.produced;
        total.consumed += counts_.consumed;
        total.missing += counts_.missing;
        total.remaining += counts_.remaining;
        ++total.cases;
        total.fitting_cases += counts_.missing == 0 && counts_.remaining == 0;
    }

    Tpetrinet& net_;
    std::map<const Tplace*, std::size_t> index_;
    Marking tokens_;
    std::vector<double> times_;
    TokenCounts counts_;
};

// Every figure of every place and the flow time, as text.
std::vector<std::string> figures_of(const Tpetrinet& net) {
    std::vector<std::string> figures;
    const auto text = [](const TStoch_var& v) {
        return std::to_string(v.Nr_of_observations()) + " " + std::to_string(v.Mean()) + " " +
               std::to_string(v.Minimum()) + " " + std::to_string(v.Maximum()) + " " +
               std::to_string(v.Variance());
    };
    for (const auto& place : net.places())
        figures.push_back(place->input_set + "|" + place->output_set + ": " +
                          text(place->sync_time) + " / " + text(place->waiting_time) + " / " +
                          text(place->sojourn_time));
    figures.push_back("flow " + text(net.flow_time));
    return figures;
}

// Cases of the model, each with an event dropped, repeated or swapped now and then.
std::vector<std::vector<std::int32_t>> noisy_cases(test::RandomTrees& trees,
                                                   const ProcessTree& model, std::mt19937& random) {
    std::vector<std::vector<std::int32_t>> cases;
    for (int c = 0; c < 60; ++c) {
        std::vector<std::int32_t> events = trees.simulate(model);
        if (!events.empty() && random() % 3 == 0) {
            const std::size_t at = random() % events.size();
            switch (random() % 3) {
                case 0:
                    events.erase(events.begin() + static_cast<long>(at));
                    break;
                case 1:
                    events.insert(events.begin() + static_cast<long>(at), events[at]);
                    break;
                default:
                    std::swap(events[at], events[(at + 1) % events.size()]);
            }
        }
        if (!events.empty()) cases.push_back(events);
    }
    return cases;
}

TEST(SequenceReplay, FiguresAndCountsEqualThoseOfThePlainReference) {
    std::mt19937 random(5);
    for (unsigned seed = 1; seed <= 30; ++seed) {
        test::RandomTrees trees(seed);
        const std::int32_t activities = 3 + static_cast<std::int32_t>(seed % 6);
        const ProcessTree model = trees.model(activities);
        SCOPED_TRACE("seed " + std::to_string(seed));
        const auto cases = noisy_cases(trees, model, random);
        TreeNet planned(model, activities), reference(model, activities);
        const Tloglist log = lines_of(cases, planned.names);
        SilentSink sink;
        const TokenCounts counts =
            SequenceReplay(planned.net, log, planned.tasks, sink).Replay(false);
        const TokenCounts expected = ReferenceReplay(reference.net).run(log);
        EXPECT_EQ(counts.produced, expected.produced);
        EXPECT_EQ(counts.consumed, expected.consumed);
        EXPECT_EQ(counts.missing, expected.missing);
        EXPECT_EQ(counts.remaining, expected.remaining);
        EXPECT_EQ(counts.fitting_cases, expected.fitting_cases);
        EXPECT_EQ(counts.undecided_cases, 0);
        EXPECT_EQ(figures_of(planned.net), figures_of(reference.net));
        EXPECT_EQ(token_fitness(planned.net, log, planned.tasks), counts);
    }
}

// Cases of n activities in any order, each present with the given chance.
std::vector<std::vector<std::int32_t>> parallel_cases(std::int32_t n, double presence, int count,
                                                      std::mt19937& random) {
    std::vector<std::vector<std::int32_t>> cases;
    std::bernoulli_distribution present(presence);
    for (int c = 0; c < count; ++c) {
        std::vector<std::int32_t> events;
        for (std::int32_t a = 0; a < n; ++a)
            if (present(random)) events.push_back(a);
        std::shuffle(events.begin(), events.end(), random);
        if (events.empty()) events.push_back(0);
        cases.push_back(events);
    }
    return cases;
}

TEST(SequenceReplay, WideParallelLogsMinedWithoutFilterFitExactly) {
    std::mt19937 random(3);
    for (const std::int32_t n : {8, 18, 30})
        for (const double presence : {1.0, 0.6}) {
            SCOPED_TRACE(std::to_string(n) + " activities, presence " + std::to_string(presence));
            const auto cases = parallel_cases(n, presence, 20, random);
            TraceLog traces;
            for (const auto& events : cases)
                traces.push_back(Trace{events, 1});
            TreeNet made(mine_tree(traces, n, InductiveOptions{0.0}), n);
            made.net.skip_rule = SkipRule::shortest_sequence;
            SilentSink sink;
            const TokenCounts counts =
                SequenceReplay(made.net, lines_of(cases, made.names), made.tasks, sink)
                    .Replay(false);
            EXPECT_EQ(counts.fitness(), 1.0);
            EXPECT_EQ(counts.fitting_cases, 20);
            EXPECT_FALSE(made.net.tokens_left);
            EXPECT_TRUE(made.net.unfired_tasks.empty());
        }
}

TEST(SequenceReplay, ASearchThatReachesItsBoundIsReportedAndNeverAFit) {
    // Four optional activities in parallel: a case of only the first needs the other three
    // skipped and the join fired, more than two markings.
    std::mt19937 random(9);
    const auto cases = parallel_cases(4, 0.5, 40, random);
    TraceLog traces;
    for (const auto& events : cases)
        traces.push_back(Trace{events, 1});
    TreeNet made(mine_tree(traces, 4, InductiveOptions{0.0}), 4);
    const Tloglist log = lines_of({{0}}, made.names);
    RecordingSink sink;
    const TokenCounts bounded = SequenceReplay(made.net, log, made.tasks, sink, 2).Replay(false);
    EXPECT_EQ(bounded.undecided_cases, 1);
    EXPECT_EQ(bounded.fitting_cases, 0);
    ASSERT_EQ(sink.messages.size(), 1U);
    EXPECT_NE(sink.messages[0].text.find("gave up on 1 cases"), std::string::npos);
    const TokenCounts free = SequenceReplay(made.net, log, made.tasks, sink).Replay(false);
    EXPECT_EQ(free.undecided_cases, 0);
    EXPECT_EQ(free.fitting_cases, 1);
}

}  // namespace
}  // namespace vesk
