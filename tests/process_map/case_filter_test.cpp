// The case filters on small logs, with the cases each one keeps named here.

#include "process_map/case_filter.h"

#include <gtest/gtest.h>

#include <set>

#include "process_map/map_logs.h"

namespace vesk {
namespace {

std::set<std::int32_t> cases_of(const Tloglist& lines) {
    std::set<std::int32_t> cases;
    for (const Tlog_line& line : lines)
        cases.insert(line.case_number());
    return cases;
}

// Cases 0 to 6 on 1 to 7 January: abc, abc, abc, abd, abd, ae, bc.
Tloglist seven_cases() {
    return test::letter_log({"abc", "abc", "abc", "abd", "abd", "ae", "bc"});
}

std::set<std::int32_t> kept_by(const CaseFilter& filter, CaseFilterResult* result = nullptr) {
    Tloglist lines = seven_cases();
    const CaseFilterResult kept = filter_cases(lines, filter);
    if (result != nullptr) *result = kept;
    return cases_of(lines);
}

TEST(CaseFilter, VariantsByRankAndByCoverage) {
    CaseFilterResult result;
    EXPECT_EQ(kept_by({.top_variants = 1}, &result), (std::set<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(result.kept, 3);
    EXPECT_EQ(result.total, 7);
    EXPECT_EQ(kept_cases_text(result), "3 of 7 cases");
    EXPECT_EQ(kept_by({.top_variants = 2}), (std::set<std::int32_t>{0, 1, 2, 3, 4}));
    // abc covers 3/7 (43%): 50% needs abd too; ae and bc tie, the first met goes first.
    EXPECT_EQ(kept_by({.variant_coverage = 50}), (std::set<std::int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(kept_by({.variant_coverage = 80}), (std::set<std::int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(kept_by({.variant_coverage = 0}), (std::set<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(kept_by({.variant_coverage = 100}).size(), 7u);
}

TEST(CaseFilter, StartAndEndActivitiesWithOrWithoutTheEventType) {
    EXPECT_EQ(kept_by({.start_activities = {"b"}}), (std::set<std::int32_t>{6}));
    EXPECT_EQ(kept_by({.end_activities = {"d_complete", "e"}}), (std::set<std::int32_t>{3, 4, 5}));
    EXPECT_EQ(kept_by({.start_activities = {"a"}, .end_activities = {"c"}}),
              (std::set<std::int32_t>{0, 1, 2}));
    EXPECT_TRUE(kept_by({.start_activities = {"c"}}).empty());
}

TEST(CaseFilter, TimeWindowOnTheFirstEvent) {
    // Case 2 starts on 3 January at midnight; a bare --to date takes that whole day.
    const auto from = filter_minute("2024-01-03", false);
    const auto to = filter_minute("2024-01-04", true);
    ASSERT_TRUE(from && to);
    EXPECT_EQ(kept_by({.from_minute = from, .to_minute = to}), (std::set<std::int32_t>{2, 3}));
    EXPECT_EQ(kept_by({.from_minute = filter_minute("2024-01-03T00:00:01", false)}),
              (std::set<std::int32_t>{3, 4, 5, 6}));
    // The window first, then the variants among the cases left: abd is the most frequent then.
    EXPECT_EQ(kept_by({.top_variants = 1, .from_minute = filter_minute("2024-01-03T12:00", false)}),
              (std::set<std::int32_t>{3, 4}));
}

TEST(CaseFilter, TimesThatAreNoDatesAreRefused) {
    for (const char* text : {"", "2024-02-30", "2024-1-03", "2024-01-03T24:00", "2024-01-03T10",
                             "2024-01-03T10:00:60", "2024-01-03x", "yesterday", "+024-01-03"})
        EXPECT_FALSE(filter_minute(text, false)) << text;
    EXPECT_DOUBLE_EQ(*filter_minute("1970-01-02 01:30", false), 1440 + 90);
    EXPECT_DOUBLE_EQ(*filter_minute("1970-01-01", true), 1440);
}

TEST(CaseFilter, NoFilterKeepsTheLinesUntouched) {
    Tloglist lines = seven_cases();
    const std::size_t before = lines.size();
    const CaseFilterResult result = filter_cases(lines, {});
    EXPECT_EQ(lines.size(), before);
    EXPECT_EQ(result.kept, 7);
    EXPECT_TRUE(CaseFilter{}.keeps_everything());
}

}  // namespace
}  // namespace vesk
