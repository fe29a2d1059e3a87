#include "log/vesk_logline.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

TEST(LogLine, EventNamesOutsideTheVocabularyBecomeNormal) {
    Tlog_line line("a", 0);
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
    Tlog_line line("a", 0);
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
    Tlog_line line("a", 0);
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

}  // namespace
}  // namespace vesk
