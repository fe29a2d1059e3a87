#pragma once
// The rules that tie the "Used events" choices together, shared by the window and the shell.

#include <string>
#include <vector>

#include "log/vesk_logline_reader.h"

namespace vesk {

struct UsedEvents {
    bool schedule = false;
    bool start = false;
    bool suspend = false;
    bool complete = true;
    bool withdraw = false;
    bool abort = false;
    friend bool operator==(const UsedEvents&, const UsedEvents&) = default;
};

struct EventChoice {
    UsedEvents ticked;
    UsedEvents enabled;
    // Resume follows suspend.
    bool resume = false;
    // The event types offered for the overlap refinement, in this order.
    std::vector<std::string> overlap_events;
};

// Withdraw needs schedule and complete, abort needs schedule or start and complete, suspend
// needs schedule or start; a box that is not enabled is not ticked; complete is forced on when
// nothing else ends an activity or when withdraw or abort is used.
EventChoice apply_event_choice(UsedEvents ticked);

Tevent_filter event_filter_of(const EventChoice& choice);

}  // namespace vesk
