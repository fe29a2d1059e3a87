// The process map against answers worked out by hand: the textbook running example's paths,
// ends and variants, times of a small log, activity instances that overlap, and the sliders.

#include "process_map/process_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "control/map_run.h"
#include "process_map/map_logs.h"
#include "process_map/map_selection.h"

namespace vesk {
namespace {

using Counts = std::map<std::pair<std::string, std::string>, std::int64_t>;

std::int32_t id_of(const ProcessMap& map, const std::string& name) {
    for (std::size_t i = 0; i < map.activities.size(); ++i)
        if (map.activities[i].name == name) return static_cast<std::int32_t>(i);
    ADD_FAILURE() << "no activity " << name;
    return -1;
}

const MapEdge* edge_of(const ProcessMap& map, const std::string& from, const std::string& to) {
    for (const MapEdge& edge : map.edges)
        if (edge.from == id_of(map, from) && edge.to == id_of(map, to)) return &edge;
    return nullptr;
}

std::string letters_of(const ProcessMap& map, const MapVariant& variant,
                       const std::map<std::string, char>& letter) {
    std::string text;
    for (const std::int32_t id : variant.activities)
        text += letter.at(map.activities[static_cast<std::size_t>(id)].name);
    return text;
}

TEST(ProcessMap, RunningExampleHasThePathsEndsAndVariantsCountedByHand) {
    const std::filesystem::path file =
        std::filesystem::path(VESK_SHARED_XES) / "running-example.xes";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no " << file;
    const ProcessMap map = test::map_of_file(file.string());
    // The six cases of the textbook, one letter per activity:
    // abdeh, adceg, acdefbdeg, adbeh, acdefdcefcdeh, acdeg.
    const std::map<std::string, char> letter = {
        {"register request", 'a'}, {"examine thoroughly", 'b'},
        {"examine casually", 'c'}, {"check ticket", 'd'},
        {"decide", 'e'},           {"reinitiate request", 'f'},
        {"pay compensation", 'g'}, {"reject request", 'h'}};
    EXPECT_EQ(map.cases, 6);
    EXPECT_EQ(map.events, 42);
    Counts expected = {{{"a", "b"}, 1}, {{"a", "c"}, 3}, {{"a", "d"}, 2}, {{"b", "d"}, 2},
                       {{"b", "e"}, 1}, {{"c", "d"}, 4}, {{"c", "e"}, 2}, {{"d", "b"}, 1},
                       {{"d", "c"}, 2}, {{"d", "e"}, 6}, {{"e", "f"}, 3}, {{"e", "g"}, 3},
                       {{"e", "h"}, 3}, {{"f", "b"}, 1}, {{"f", "c"}, 1}, {{"f", "d"}, 1}};
    Counts found;
    for (const MapEdge& edge : map.edges)
        found[{std::string(1, letter.at(map.activities[static_cast<std::size_t>(edge.from)].name)),
               std::string(1, letter.at(map.activities[static_cast<std::size_t>(edge.to)].name))}] =
            edge.count;
    EXPECT_EQ(found, expected);
    ASSERT_EQ(map.starts.size(), 1u);
    EXPECT_EQ(map.starts[0].cases, 6);
    ASSERT_EQ(map.ends.size(), 2u);
    EXPECT_EQ(map.ends[0].cases + map.ends[1].cases, 6);
    EXPECT_EQ(map.activities[static_cast<std::size_t>(id_of(map, "decide"))].events, 9);
    EXPECT_EQ(map.activities[static_cast<std::size_t>(id_of(map, "reinitiate request"))].cases, 2);
    std::multiset<std::string> variants;
    for (const MapVariant& variant : map.variants) {
        EXPECT_EQ(variant.cases, 1);
        EXPECT_DOUBLE_EQ(variant.share, 1.0 / 6);
        variants.insert(letters_of(map, variant, letter));
    }
    EXPECT_EQ(variants, (std::multiset<std::string>{"abdeh", "adceg", "acdefbdeg", "adbeh",
                                                    "acdefdcefcdeh", "acdeg"}));
}

TEST(ProcessMap, TimesOfPathsAndCasesAreThoseWorkedOutByHand) {
    const Tloglist lines = test::map_log({{0, "a_complete", "2024-01-01 10:00"},
                                          {0, "b_complete", "2024-01-01 10:30"},
                                          {0, "c_complete", "2024-01-01 12:00"},
                                          {1, "a_complete", "2024-01-02 09:00"},
                                          {1, "b_complete", "2024-01-02 09:10:30"},
                                          {2, "a_complete", "2024-01-03 23:50"},
                                          {2, "b_complete", "2024-01-04 00:20"}});
    const ProcessMap map = build_process_map(lines, {});
    const MapEdge* ab = edge_of(map, "a", "b");
    ASSERT_NE(ab, nullptr);
    EXPECT_EQ(ab->count, 3);
    EXPECT_DOUBLE_EQ(ab->minutes.min, 10.5);
    EXPECT_DOUBLE_EQ(ab->minutes.max, 30);
    EXPECT_DOUBLE_EQ(ab->minutes.median, 30);
    EXPECT_DOUBLE_EQ(ab->minutes.total, 70.5);
    EXPECT_DOUBLE_EQ(ab->minutes.mean, 23.5);
    EXPECT_DOUBLE_EQ(edge_of(map, "b", "c")->minutes.mean, 90);
    // "ab" twice (10.5 and 30 minutes), then "abc" once (120 minutes).
    ASSERT_EQ(map.variants.size(), 2u);
    EXPECT_EQ(map.variants[0].cases, 2);
    EXPECT_DOUBLE_EQ(map.variants[0].median_flow_minutes, 20.25);
    EXPECT_DOUBLE_EQ(map.variants[1].median_flow_minutes, 120);
    EXPECT_FALSE(map.activities[0].service_minutes);
}

TEST(ProcessMap, OverlappingInstancesPairFirstInFirstOutAndHaveNoPathTime) {
    const Tloglist lines = test::map_log({{0, "a_start", "2024-01-01 10:00"},
                                          {0, "a_start", "2024-01-01 10:05"},
                                          {0, "a_complete", "2024-01-01 10:20"},
                                          {0, "b_complete", "2024-01-01 10:30"},
                                          {0, "a_complete", "2024-01-01 10:50"},
                                          {0, "c_schedule", "2024-01-01 11:00"},
                                          {1, "a_start", "2024-01-02 10:00"},
                                          {1, "a_complete", "2024-01-02 10:30"},
                                          {1, "b_complete", "2024-01-02 10:45"}});
    StepOptions instances;
    instances.instances = true;
    const ProcessMap map = build_process_map(lines, instances);
    // Two instances of a (10:00-10:20 and 10:05-10:50) and b without a start; the schedule
    // event is no instance. The second case: a 10:00-10:30, then b at 10:45.
    EXPECT_EQ(map.events, 5);
    ASSERT_EQ(map.activities.size(), 2u);
    const MapActivity& a = map.activities[static_cast<std::size_t>(id_of(map, "a"))];
    ASSERT_TRUE(a.service_minutes);
    EXPECT_EQ(a.service_minutes->count, 3);
    EXPECT_DOUBLE_EQ(a.service_minutes->min, 20);
    EXPECT_DOUBLE_EQ(a.service_minutes->max, 45);
    EXPECT_EQ(map.activities[static_cast<std::size_t>(id_of(map, "b"))].service_minutes->count, 0);
    // A path's time runs from the end of one instance to the start of the next. In the first
    // case each next one began before the one before ended (by 15 and 20 minutes): counted as
    // overlapping, with no time. The second case's a -> b took 15 minutes.
    const MapEdge* aa = edge_of(map, "a", "a");
    EXPECT_EQ(aa->count, 1);
    EXPECT_EQ(aa->overlapping, 1);
    EXPECT_EQ(aa->minutes.count, 0);
    const MapEdge* ab = edge_of(map, "a", "b");
    EXPECT_EQ(ab->count, 2);
    EXPECT_EQ(ab->overlapping, 1);
    EXPECT_EQ(ab->minutes.count, 1);
    EXPECT_DOUBLE_EQ(ab->minutes.min, 15);
    EXPECT_DOUBLE_EQ(map.variants[0].median_flow_minutes, 50);
}

TEST(ProcessMap, TaskEventNamesStayWhereSeveralTypesAreRead) {
    const Tloglist lines = test::map_log({{0, "a_schedule"}, {0, "a_complete"}});
    StepOptions named_with_types;
    named_with_types.plain_names = false;
    EXPECT_EQ(build_process_map(lines, named_with_types).activities.size(), 2u);
    EXPECT_EQ(step_options_of(UsedEvents{.start = true, .complete = true}).instances, true);
    EXPECT_EQ(step_options_of(UsedEvents{.schedule = true, .complete = true}).plain_names, false);
    EXPECT_EQ(step_options_of(UsedEvents{}).plain_names, true);
}

const std::vector<std::string> kSkewedWords = {"abcdef", "abcdef", "abcdef", "abdcef", "abdcef",
                                               "acbdeg", "aeh",    "aih",    "ajkh",   "abcdjkef"};

std::int64_t kept(const MapSelection& selection) {
    return std::count(selection.edges.begin(), selection.edges.end(), true);
}

TEST(MapSelection, EverythingAtAHundredAndMoreNeverLess) {
    const Tloglist lines = test::letter_log(kSkewedWords);
    const ProcessMap map = build_process_map(lines, {});
    EXPECT_EQ(kept(select_paths(map, 100)), static_cast<std::int64_t>(map.edges.size()));
    // At 100% the activities slider changes nothing: the counts are the log's own.
    const ProcessMap all = projected_map(lines, {}, map, 100);
    ASSERT_EQ(all.edges.size(), map.edges.size());
    for (std::size_t e = 0; e < map.edges.size(); ++e)
        EXPECT_EQ(std::tuple(all.edges[e].from, all.edges[e].to, all.edges[e].count),
                  std::tuple(map.edges[e].from, map.edges[e].to, map.edges[e].count));
    for (double p = 0; p < 100; p += 10) {
        const MapSelection here = select_paths(map, p), more = select_paths(map, p + 10);
        for (std::size_t e = 0; e < map.edges.size(); ++e)
            EXPECT_TRUE(!here.edges[e] || more.edges[e]) << p;
    }
    for (double a = 0; a < 100; a += 10) {
        EXPECT_GE(kept_activity_count(map, a), 1u);
        EXPECT_LE(kept_activity_count(map, a), kept_activity_count(map, a + 10));
    }
    // Every activity keeps a way in and a way out, however few the paths.
    const MapSelection fewest = select_paths(map, 0);
    for (std::size_t a = 0; a < map.activities.size(); ++a) {
        const auto id = static_cast<std::int32_t>(a);
        bool in = false, out = false;
        for (const MapEndpoint& start : map.starts)
            in |= start.activity == id;
        for (const MapEndpoint& end : map.ends)
            out |= end.activity == id;
        for (std::size_t e = 0; e < map.edges.size(); ++e) {
            in |= fewest.edges[e] && map.edges[e].to == id && map.edges[e].from != id;
            out |= fewest.edges[e] && map.edges[e].from == id && map.edges[e].to != id;
        }
        EXPECT_TRUE(in && out) << map.activities[a].name;
    }
}

TEST(MapSelection, HiddenActivitiesLeaveTheirNeighboursJoined) {
    const Tloglist lines = test::letter_log(kSkewedWords);
    const ProcessMap map = build_process_map(lines, {});
    // a (10 events) and e (8) hold 18 of the 54 events, a third exactly; a little more takes
    // b, c or d (7 each) as well: b, by name.
    EXPECT_EQ(kept_activity_count(map, 100.0 / 3), 2u);
    EXPECT_EQ(kept_activity_count(map, 34), 3u);
    // On a and e alone the words read ae eight times and a twice ("aih", "ajkh"): one path
    // a -> e of 8, every case starting at a, 8 ending at e and 2 at a. An hour between letters:
    // a -> e took 4 h in six words, 1 h in "aeh" and 6 h in "abcdjkef".
    const ProcessMap two = projected_map(lines, {}, map, 100.0 / 3);
    ASSERT_EQ(two.activities.size(), 2u);
    EXPECT_EQ(two.cases, 10);
    EXPECT_EQ(two.events, 18);
    ASSERT_EQ(two.edges.size(), 1u);
    const MapEdge* ae = edge_of(two, "a", "e");
    ASSERT_NE(ae, nullptr);
    EXPECT_EQ(ae->count, 8);
    EXPECT_DOUBLE_EQ(ae->minutes.mean, (6 * 240 + 60 + 360) / 8.0);
    EXPECT_DOUBLE_EQ(ae->minutes.median, 240);
    ASSERT_EQ(two.starts.size(), 1u);
    EXPECT_EQ(two.starts[0].cases, 10);
    ASSERT_EQ(two.ends.size(), 2u);
    EXPECT_EQ(two.ends[0].cases, 8);
    EXPECT_EQ(two.ends[1].cases, 2);
    const MapSelection shown = select_paths(two, 100);
    EXPECT_DOUBLE_EQ(coverage_of(map, two, shown).events, 18.0 / 54);
    EXPECT_DOUBLE_EQ(coverage_of(map, two, shown).pairs, 1);

    // Instances: hiding b (one instance against a's and c's two) joins a to c, the time from
    // the end of a to the beginning of c; where c began before a ended, the two overlapped.
    const Tloglist timed = test::map_log({{0, "a_start", "2024-01-01 10:00"},
                                          {0, "a_complete", "2024-01-01 10:10"},
                                          {0, "b_start", "2024-01-01 10:20"},
                                          {0, "b_complete", "2024-01-01 10:40"},
                                          {0, "c_start", "2024-01-01 10:50"},
                                          {0, "c_complete", "2024-01-01 11:00"},
                                          {1, "a_start", "2024-01-02 10:00"},
                                          {1, "c_start", "2024-01-02 10:05"},
                                          {1, "a_complete", "2024-01-02 10:30"},
                                          {1, "c_complete", "2024-01-02 10:40"}});
    StepOptions instances;
    instances.instances = true;
    const ProcessMap whole = build_process_map(timed, instances);
    const ProcessMap ac = projected_map(timed, instances, whole, 80);
    ASSERT_EQ(ac.activities.size(), 2u);
    const MapEdge* joined = edge_of(ac, "a", "c");
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(joined->count, 2);
    EXPECT_EQ(joined->overlapping, 1);
    EXPECT_EQ(joined->minutes.count, 1);
    EXPECT_DOUBLE_EQ(joined->minutes.max, 40);
}

// The activities of the map that lie on no drawn path from a start to an end of cases.
std::vector<std::string> stranded(const ProcessMap& map, const MapSelection& selection) {
    const std::size_t n = map.activities.size();
    const auto reach = [&](bool forward) {
        std::vector<bool> seen(n, false);
        std::vector<std::size_t> todo;
        for (const MapEndpoint& seed : forward ? map.starts : map.ends)
            if (!seen[static_cast<std::size_t>(seed.activity)]) {
                seen[static_cast<std::size_t>(seed.activity)] = true;
                todo.push_back(static_cast<std::size_t>(seed.activity));
            }
        while (!todo.empty()) {
            const std::size_t node = todo.back();
            todo.pop_back();
            for (std::size_t e = 0; e < map.edges.size(); ++e) {
                if (!selection.edges[e]) continue;
                const auto from =
                    static_cast<std::size_t>(forward ? map.edges[e].from : map.edges[e].to);
                const auto to =
                    static_cast<std::size_t>(forward ? map.edges[e].to : map.edges[e].from);
                if (from == node && !seen[to]) {
                    seen[to] = true;
                    todo.push_back(to);
                }
            }
        }
        return seen;
    };
    const std::vector<bool> from_start = reach(true), to_end = reach(false);
    std::vector<std::string> names;
    for (std::size_t a = 0; a < n; ++a)
        if (!(from_start[a] && to_end[a])) names.push_back(map.activities[a].name);
    return names;
}

// At every position of the two sliders every drawn activity lies on a way from a start to an
// end, on random logs and on public ones (bpic2012 fell apart at 80% of its activities and 5%
// of its paths, and at 50% of its activities).
TEST(MapSelection, EveryActivityLiesOnAPathFromAStartToAnEnd) {
    const auto check = [](const Tloglist& lines, const StepOptions& steps,
                          const std::string& name) {
        const ProcessMap whole = build_process_map(lines, steps);
        for (const double activities : {100.0, 80.0, 50.0, 25.0, 5.0}) {
            const ProcessMap shown = projected_map(lines, steps, whole, activities);
            for (const double paths : {0.0, 5.0, 29.0, 60.0})
                EXPECT_EQ(stranded(shown, select_paths(shown, paths)), std::vector<std::string>{})
                    << name << " at " << activities << "% and " << paths << "%";
        }
    };
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> words;
        const int cases = 1 + static_cast<int>(random() % 12);
        for (int c = 0; c < cases; ++c) {
            std::string word;
            const int length = 1 + static_cast<int>(random() % 7);
            for (int k = 0; k < length; ++k)
                word += static_cast<char>('a' + random() % 8);
            words.push_back(word);
        }
        check(test::letter_log(words), {}, "round " + std::to_string(round));
    }
    for (const char* name : {"bpic2012.xes.gz", "13_SEPSIS_1t_per_variant.xes.gz",
                             "running-example.xes", "helpdesk.xes.gz"}) {
        const std::filesystem::path file = std::filesystem::path(VESK_SHARED_XES) / name;
        if (!std::filesystem::exists(file)) continue;
        Tvesk_util controller;
        controller.load_log(file.string(), false);
        BuildRelationsRequest request;
        request.process_id = controller.processes().front().id;
        request.events = apply_event_choice({});
        read_process_map(controller, request);
        check(controller.log(), step_options_of(request.events.ticked), name);
    }
}

}  // namespace
}  // namespace vesk
