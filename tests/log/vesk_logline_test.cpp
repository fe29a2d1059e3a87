#include "log/vesk_loglist.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

TEST(LogLine, EventNamesOutsideTheVocabularyBecomeNormal) {
    Tlog_line line(0, 0);
    for (const char* name :
         {"schedule", "start", "withdraw", "suspend", "resume", "abort", "complete", "normal"}) {
        line.set_event({name});
        EXPECT_EQ(line.event().name, name);
    }
    for (const char* name : {"Complete", "complete ", "", "finish"}) {
        line.set_event({name});
        EXPECT_EQ(line.event().name, "normal") << name;
    }
}

TEST(LogLine, InvalidDateIsRejectedAndKeepsThePreviousOne) {
    Tlog_line line(0, 0);
    line.set_date({29, 2, 2004});
    EXPECT_EQ(line.date(), (Tdate{29, 2, 2004}));
    for (const Tdate bad : {Tdate{29, 2, 2001}, Tdate{29, 2, 1900}, Tdate{31, 4, 2002},
                            Tdate{0, 1, 2002}, Tdate{1, 13, 2002}, Tdate{1, 1, 0},
                            Tdate{1, 1, 10000}, Tdate{1, 1, 70000}, Tdate{-1, 1, 2002}}) {
        EXPECT_THROW(line.set_date(bad), std::invalid_argument);
        EXPECT_EQ(line.date(), (Tdate{29, 2, 2004}));
    }
    line.set_date({29, 2, 2000});  // divisible by 400: a leap year
    EXPECT_EQ(line.date(), (Tdate{29, 2, 2000}));
}

TEST(LogLine, TimeChecksHourMinuteSecondButNotTheMillisecond) {
    Tlog_line line(0, 0);
    line.set_time({23, 59, 59, 999});
    EXPECT_EQ(line.time(), (Ttime{23, 59, 59, 999}));
    line.set_time({10, 0, 0, 5000});
    EXPECT_EQ(line.time(), (Ttime{10, 0, 0, 5000}));
    for (const Ttime bad : {Ttime{24, 0, 0, 0}, Ttime{0, 60, 0, 0}, Ttime{0, 0, 60, 0},
                            Ttime{-1, 0, 0, 0}, Ttime{65536, 0, 0, 0}}) {
        EXPECT_THROW(line.set_time(bad), std::invalid_argument);
        EXPECT_EQ(line.time(), (Ttime{10, 0, 0, 5000}));
    }
}

// Event type, date and time share packed words: setting one must leave the others alone, at the
// edges of each field's range.
TEST(LogLine, EventDateAndTimeAreHeldApart) {
    Tlog_line line(7, 3);
    EXPECT_EQ(line.event_type(), EventType::normal);
    line.set_date({31, 12, 9999});
    line.set_time({23, 59, 59, -1});
    line.set_event_type(EventType::schedule);
    EXPECT_EQ(line.date(), (Tdate{31, 12, 9999}));
    EXPECT_EQ(line.time(), (Ttime{23, 59, 59, -1}));
    line.set_event_type(EventType::complete);
    line.set_date({1, 1, 1});
    line.set_time({0, 0, 0, 0});
    EXPECT_EQ(line.event_type(), EventType::complete);
    EXPECT_EQ(line.date(), (Tdate{1, 1, 1}));
    EXPECT_EQ(line.time(), (Ttime{0, 0, 0, 0}));
    EXPECT_EQ(line.name_id(), 7);
    EXPECT_EQ(line.case_number(), 3);
}

TEST(LogList, NamesAreSharedAndLinesSurviveChunkEdges) {
    Tloglist log;
    const std::size_t count = 3 * ChunkedVector<Tlog_line>::kChunkSize + 5;
    for (std::size_t k = 0; k < count; ++k)
        log.emplace_back(k % 2 == 0 ? "a_complete" : "b_complete",
                         static_cast<std::int32_t>(k / 4));
    EXPECT_EQ(log.name_count(), 2);
    EXPECT_EQ(log.name(log[count - 1]), "a_complete");
    EXPECT_EQ(log.find_name("b_complete"), 1);
    EXPECT_FALSE(log.find_name("b"));
    std::size_t seen = 0;
    for (const Tlog_line& line : log)
        EXPECT_EQ(line.case_number(), static_cast<std::int32_t>(seen++ / 4));
    EXPECT_EQ(seen, count);

    log.truncate(ChunkedVector<Tlog_line>::kChunkSize);  // exactly one full chunk left
    ASSERT_EQ(log.size(), ChunkedVector<Tlog_line>::kChunkSize);
    log.emplace_back("c_complete", -1);
    EXPECT_EQ(log.back().case_number(), -1);
    EXPECT_EQ(log[log.size() - 2].case_number(), static_cast<std::int32_t>((log.size() - 2) / 4));
    log.truncate(0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(log.name_count(), 3);
}

TEST(LogList, TwoLoopPartnersAreKeptPerLineWithoutRepeats) {
    Tloglist log;
    Tlog_line& first = log.emplace_back("a", 0);
    EXPECT_TRUE(log.two_loop_partners(first).empty());
    const std::int32_t b = log.intern("b");
    const std::int32_t c = log.intern("c");
    log.add_two_loop_partner(first, b);
    log.add_two_loop_partner(first, c);
    log.add_two_loop_partner(first, b);
    EXPECT_EQ(log.two_loop_partners(first), (std::vector<std::int32_t>{b, c}));
    log.assign_two_loop_partner(first, c);
    EXPECT_EQ(log.two_loop_partners(first), (std::vector<std::int32_t>{c}));
    const Tloglist copy = log;  // a copy answers for its own lines
    EXPECT_EQ(copy.name(copy[0]), "a");
    EXPECT_EQ(copy.two_loop_partners(copy[0]), (std::vector<std::int32_t>{c}));
}

}  // namespace
}  // namespace vesk
