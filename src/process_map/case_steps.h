#pragma once
// The cases of a log as the process map sees them: each case a sequence of steps, a step an
// activity with the moment it began and the moment it ended. A line is a step of one moment;
// where start and complete events are both read, a start and the next complete of the same
// activity in the case make one step (an activity instance).

#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "log/vesk_loglist.h"

namespace vesk {

struct MapStep {
    std::int32_t activity = 0;
    // Minutes since 1 January 1970.
    double begin = 0;
    double end = 0;
    // An instance with both its start and its complete event.
    bool has_service_time = false;
};

struct StepOptions {
    // Activities named without their event type ("register request", not
    // "register request_complete"): right where one event type is read.
    bool plain_names = true;
    // Pair start and complete events into activity instances; lines of other event types are
    // left out then.
    bool instances = false;
    // When not empty, only these activities: the lines of the others are left out, as if the
    // log had never held them.
    std::vector<std::string> only_activities;
};

// Minutes since 1 January 1970 of a line's date and time, seconds and milliseconds included.
double minute_stamp(const Tlog_line& line);
// "register request" of "register request_complete"; the name itself without an underscore.
std::string activity_of(const std::string& task_event_name);

// Calls visit once per case of the lines (contiguous, as a log holds them) with its steps in the
// order they began (lines in log order); activity ids index the names, given out in the order
// the activities first appear.
class CaseSteps {
public:
    using Visit = std::function<void(std::span<const MapStep> steps)>;

    explicit CaseSteps(StepOptions options);
    void for_each_case(const Tloglist& lines, const Visit& visit);
    const std::vector<std::string>& names() const { return names_; }

private:
    // -1 for a line of an activity left out.
    std::int32_t id_of(const Tloglist& lines, const Tlog_line& line);
    void add_line(const Tloglist& lines, const Tlog_line& line);
    void close_case();

    StepOptions options_;
    std::vector<std::string> names_;
    std::unordered_set<std::string> only_;
    // The activity of each of the lines' name ids (kUnknown until met, -1 when left out): one
    // lookup per name.
    std::vector<std::int32_t> ids_by_name_id_;
    std::unordered_map<std::string, std::int32_t> ids_by_name_;
    // The case being gathered, and per activity its steps still waiting for their complete.
    std::vector<MapStep> steps_;
    std::vector<std::deque<std::size_t>> open_starts_;
    std::vector<std::int32_t> activities_opened_;
};

}  // namespace vesk
