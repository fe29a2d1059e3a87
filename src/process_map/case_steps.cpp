#include "process_map/case_steps.h"

#include <date/date.h>

namespace vesk {

double minute_stamp(const Tlog_line& line) {
    const Tdate date = line.date();
    if (date.day == 0 || date.month == 0) return 0;
    const date::year_month_day ymd{date::year(date.year),
                                   date::month(static_cast<unsigned>(date.month)),
                                   date::day(static_cast<unsigned>(date.day))};
    const double days = static_cast<double>(date::sys_days(ymd).time_since_epoch().count());
    const Ttime time = line.time();
    return days * 1440.0 + time.hour * 60.0 + time.minute + time.second / 60.0 +
           time.millisecond / 60000.0;
}

std::string activity_of(const std::string& task_event_name) {
    const std::size_t cut = task_event_name.rfind('_');
    return cut == std::string::npos ? task_event_name : task_event_name.substr(0, cut);
}

namespace {

constexpr std::int32_t kUnknown = -2;

}  // namespace

CaseSteps::CaseSteps(StepOptions options)
    : options_(std::move(options)),
      only_(options_.only_activities.begin(), options_.only_activities.end()) {}

std::int32_t CaseSteps::id_of(const Tloglist& lines, const Tlog_line& line) {
    std::int32_t& known = ids_by_name_id_[static_cast<std::size_t>(line.name_id())];
    if (known != kUnknown) return known;
    const std::string& line_name = lines.name(line);
    const std::string name = options_.plain_names ? activity_of(line_name) : line_name;
    if (!only_.empty() && !only_.contains(name)) {
        known = -1;
        return known;
    }
    const auto [named, added] =
        ids_by_name_.try_emplace(name, static_cast<std::int32_t>(names_.size()));
    if (added) {
        names_.push_back(name);
        open_starts_.emplace_back();
    }
    known = named->second;
    return known;
}

void CaseSteps::add_line(const Tloglist& lines, const Tlog_line& line) {
    const EventType type = line.event_type();
    if (options_.instances && type != EventType::start && type != EventType::complete) return;
    const std::int32_t activity = id_of(lines, line);
    if (activity < 0) return;
    const double moment = minute_stamp(line);
    if (!options_.instances) {
        steps_.push_back({activity, moment, moment, false});
        return;
    }
    auto& open = open_starts_[static_cast<std::size_t>(activity)];
    if (type == EventType::start) {
        if (open.empty()) activities_opened_.push_back(activity);
        open.push_back(steps_.size());
        steps_.push_back({activity, moment, moment, false});
    } else if (!open.empty()) {
        // First in, first out: the oldest open start of the activity ends here.
        MapStep& step = steps_[open.front()];
        open.pop_front();
        step.end = moment;
        step.has_service_time = true;
    } else {
        steps_.push_back({activity, moment, moment, false});
    }
}

void CaseSteps::close_case() {
    for (const std::int32_t activity : activities_opened_)
        open_starts_[static_cast<std::size_t>(activity)].clear();
    activities_opened_.clear();
    steps_.clear();
}

void CaseSteps::for_each_case(const Tloglist& lines, const Visit& visit) {
    std::int32_t current_case = 0;
    bool any = false;
    ids_by_name_id_.assign(static_cast<std::size_t>(lines.name_count()), kUnknown);
    for (const Tlog_line& line : lines) {
        if (any && line.case_number() != current_case) {
            if (!steps_.empty()) visit(steps_);
            close_case();
        }
        any = true;
        current_case = line.case_number();
        add_line(lines, line);
    }
    if (!steps_.empty()) visit(steps_);
    close_case();
}

}  // namespace vesk
