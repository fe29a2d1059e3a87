#include "control/event_choice.h"

namespace vesk {

EventChoice apply_event_choice(UsedEvents ticked) {
    EventChoice choice;
    UsedEvents& enabled = choice.enabled;
    enabled.schedule = enabled.start = enabled.complete = true;
    enabled.withdraw = ticked.schedule && ticked.complete;
    ticked.withdraw = ticked.withdraw && enabled.withdraw;
    enabled.abort = (ticked.schedule || ticked.start) && ticked.complete;
    enabled.suspend = ticked.schedule || ticked.start;
    ticked.abort = ticked.abort && enabled.abort;
    ticked.suspend = ticked.suspend && enabled.suspend;
    choice.resume = ticked.suspend;
    if ((!ticked.schedule && !ticked.start) || ticked.withdraw || ticked.abort)
        ticked.complete = true;
    choice.ticked = ticked;

    auto& items = choice.overlap_events;
    if (ticked.schedule) items.emplace_back("schedule");
    if (ticked.start) items.emplace_back("start");
    if (ticked.suspend) items.emplace_back("suspend");
    if (choice.resume) items.emplace_back("resume");
    if (ticked.complete) items.emplace_back("complete");
    return choice;
}

Tevent_filter event_filter_of(const EventChoice& choice) {
    const UsedEvents& t = choice.ticked;
    return {t.schedule, t.start, t.suspend, choice.resume, t.complete, t.withdraw, t.abort};
}

}  // namespace vesk
