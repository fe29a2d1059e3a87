#include "control/event_choice.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

using Items = std::vector<std::string>;

TEST(EventChoice, CompleteAloneOffersOnlyComplete) {
    const EventChoice choice = apply_event_choice(UsedEvents{});
    EXPECT_EQ(choice.overlap_events, Items{"complete"});
    EXPECT_FALSE(choice.enabled.withdraw || choice.enabled.abort || choice.enabled.suspend);
    const Tevent_filter filter = event_filter_of(choice);
    EXPECT_TRUE(filter.complete);
    EXPECT_FALSE(filter.start || filter.resume || filter.abort);
}

TEST(EventChoice, WithdrawForcesCompleteAndNeedsSchedule) {
    EventChoice choice = apply_event_choice({.schedule = true,
                                             .start = false,
                                             .suspend = false,
                                             .complete = false,
                                             .withdraw = true,
                                             .abort = false});
    // Without complete, withdraw is not enabled: it is dropped, and complete stays off.
    EXPECT_FALSE(choice.ticked.withdraw);
    EXPECT_FALSE(choice.ticked.complete);

    choice = apply_event_choice({.schedule = true,
                                 .start = false,
                                 .suspend = false,
                                 .complete = true,
                                 .withdraw = true,
                                 .abort = false});
    EXPECT_TRUE(choice.ticked.withdraw);
    EXPECT_TRUE(choice.ticked.complete);
}

TEST(EventChoice, UntickingCompleteDropsWithdrawAndAbort) {
    const EventChoice choice = apply_event_choice({.schedule = true,
                                                   .start = false,
                                                   .suspend = true,
                                                   .complete = false,
                                                   .withdraw = true,
                                                   .abort = true});
    EXPECT_FALSE(choice.enabled.withdraw);
    EXPECT_FALSE(choice.enabled.abort);
    EXPECT_FALSE(choice.ticked.withdraw || choice.ticked.abort || choice.ticked.complete);
    EXPECT_TRUE(choice.resume);
    EXPECT_EQ(choice.overlap_events, (Items{"schedule", "suspend", "resume"}));
}

TEST(EventChoice, SuspendNeedsScheduleOrStartAndBringsResume) {
    EventChoice choice = apply_event_choice({.schedule = false,
                                             .start = false,
                                             .suspend = true,
                                             .complete = true,
                                             .withdraw = false,
                                             .abort = false});
    EXPECT_FALSE(choice.ticked.suspend);
    EXPECT_FALSE(choice.resume);

    choice = apply_event_choice({.schedule = false,
                                 .start = true,
                                 .suspend = true,
                                 .complete = true,
                                 .withdraw = false,
                                 .abort = true});
    EXPECT_TRUE(event_filter_of(choice).resume);
    EXPECT_TRUE(choice.ticked.abort);
    EXPECT_EQ(choice.overlap_events, (Items{"start", "suspend", "resume", "complete"}));
}

}  // namespace
}  // namespace vesk
