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
    const ProcessMap map = build_process_map(lines, {.plain_names = true, .instances = true});
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
    EXPECT_EQ(build_process_map(lines, {.plain_names = false}).activities.size(), 2u);
    EXPECT_EQ(step_options_of(UsedEvents{.start = true, .complete = true}).instances, true);
    EXPECT_EQ(step_options_of(UsedEvents{.schedule = true, .complete = true}).plain_names, false);
    EXPECT_EQ(step_options_of(UsedEvents{}).plain_names, true);
}

// A log whose activities and paths have many different frequencies.
ProcessMap skewed_map() {
    return build_process_map(test::letter_log({"abcdef", "abcdef", "abcdef", "abdcef", "abdcef",
                                               "acbdeg", "aeh", "aih", "ajkh", "abcdjkef"}),
                             {});
}

TEST(MapSelection, EverythingAtAHundredAndMoreNeverLess) {
    const ProcessMap map = skewed_map();
    const MapSelection all = select_map(map, 100, 100);
    EXPECT_EQ(std::count(all.activities.begin(), all.activities.end(), true),
              static_cast<std::ptrdiff_t>(map.activities.size()));
    EXPECT_EQ(std::count(all.edges.begin(), all.edges.end(), true),
              static_cast<std::ptrdiff_t>(map.edges.size()));
    const auto subset = [](const std::vector<bool>& small, const std::vector<bool>& large) {
        for (std::size_t i = 0; i < small.size(); ++i)
            if (small[i] && !large[i]) return false;
        return true;
    };
    for (double a = 0; a <= 100; a += 10) {
        for (double p = 0; p <= 100; p += 10) {
            const MapSelection here = select_map(map, a, p);
            const MapSelection more_paths = select_map(map, a, std::min(100.0, p + 10));
            const MapSelection more_activities = select_map(map, std::min(100.0, a + 10), p);
            EXPECT_TRUE(subset(here.edges, more_paths.edges)) << a << " " << p;
            EXPECT_TRUE(subset(here.activities, more_activities.activities)) << a << " " << p;
            EXPECT_GE(std::count(here.activities.begin(), here.activities.end(), true), 1);
        }
    }
}

TEST(MapSelection, EveryActivityKeepsAWayInAndOut) {
    const ProcessMap map = skewed_map();
    const MapSelection fewest = select_map(map, 100, 0);
    for (std::size_t a = 0; a < map.activities.size(); ++a) {
        const auto id = static_cast<std::int32_t>(a);
        bool in = false, out = false;
        for (std::size_t i = 0; i < map.starts.size(); ++i)
            in |= fewest.starts[i] && map.starts[i].activity == id;
        for (std::size_t i = 0; i < map.ends.size(); ++i)
            out |= fewest.ends[i] && map.ends[i].activity == id;
        for (std::size_t e = 0; e < map.edges.size(); ++e) {
            in |= fewest.edges[e] && map.edges[e].to == id;
            out |= fewest.edges[e] && map.edges[e].from == id;
        }
        EXPECT_TRUE(in && out) << map.activities[a].name;
    }
    // a (10 events) and e (8) hold 18 of the 54 events, a third exactly; a little more takes
    // b, c or d (7 each) as well: b, by name.
    const MapSelection third = select_map(map, 100.0 / 3, 100);
    EXPECT_EQ(std::count(third.activities.begin(), third.activities.end(), true), 2);
    // What the third shows: 18 of the 54 events, and of the 44 pairs (five in each "abcdef"
    // and "abdcef", ..., seven in "abcdjkef") the one a -> e of "aeh".
    EXPECT_DOUBLE_EQ(coverage_of(map, third).events, 18.0 / 54);
    EXPECT_DOUBLE_EQ(coverage_of(map, third).pairs, 1.0 / 44);
    const MapSelection more = select_map(map, 34, 100);
    EXPECT_TRUE(more.activities[static_cast<std::size_t>(id_of(map, "b"))]);
    EXPECT_EQ(std::count(more.activities.begin(), more.activities.end(), true), 3);
}

// The activities of the selection that lie on no drawn path from a start to an end of cases.
std::vector<std::string> stranded(const ProcessMap& map, const MapSelection& selection) {
    const std::size_t n = map.activities.size();
    const auto reach = [&](bool forward) {
        std::vector<bool> seen(n, false);
        std::vector<std::size_t> todo;
        const auto& seeds = forward ? map.starts : map.ends;
        const auto& kept = forward ? selection.starts : selection.ends;
        for (std::size_t i = 0; i < seeds.size(); ++i)
            if (kept[i] && !seen[static_cast<std::size_t>(seeds[i].activity)]) {
                seen[static_cast<std::size_t>(seeds[i].activity)] = true;
                todo.push_back(static_cast<std::size_t>(seeds[i].activity));
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
        if (selection.activities[a] && !(from_start[a] && to_end[a]))
            names.push_back(map.activities[a].name);
    return names;
}

// With every activity kept, every path share draws every activity on a way from a start to an
// end, on random logs and on public ones (bpic2012 fell apart at 5% of its paths).
TEST(MapSelection, EveryActivityLiesOnAPathFromAStartToAnEnd) {
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
        const ProcessMap map = build_process_map(test::letter_log(words), {});
        for (const double paths : {0.0, 5.0, 25.0, 60.0})
            EXPECT_TRUE(stranded(map, select_map(map, 100, paths)).empty()) << round;
    }
    for (const char* name : {"bpic2012.xes.gz", "13_SEPSIS_1t_per_variant.xes.gz",
                             "running-example.xes", "helpdesk.xes.gz"}) {
        const std::filesystem::path file = std::filesystem::path(VESK_SHARED_XES) / name;
        if (!std::filesystem::exists(file)) continue;
        const ProcessMap map = test::map_of_file(file.string());
        for (const double paths : {0.0, 5.0, 25.0, 29.0, 60.0})
            EXPECT_EQ(stranded(map, select_map(map, 100, paths)), std::vector<std::string>{})
                << name << " " << paths;
    }
}

}  // namespace
}  // namespace vesk
