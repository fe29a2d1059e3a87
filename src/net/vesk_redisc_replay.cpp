#include "net/vesk_redisc_replay.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>

namespace vesk {

namespace {

// Days from 1 January 1970 in the proleptic Gregorian calendar.
std::int64_t days_from_civil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

double widened_minutes(double x, double y) {
    return minutes_between(x - kMargin, y + kMargin);
}

std::vector<Ttask*> tasks_of_names(const Tloglist& log, const Ttasklist& tasks) {
    std::unordered_map<std::string_view, Ttask*> task_of_name;
    for (Ttask* task : tasks)
        task_of_name.try_emplace(task->name(), task);
    std::vector<Ttask*> result(static_cast<std::size_t>(log.name_count()), nullptr);
    for (std::int32_t id = 0; id < log.name_count(); ++id)
        if (const auto found = task_of_name.find(log.name_of(id)); found != task_of_name.end())
            result[static_cast<std::size_t>(id)] = found->second;
    return result;
}

void count_task_lines(Tpetrinet& net, const Tloglist& log,
                      const std::vector<Ttask*>& task_of_name) {
    std::unordered_map<const Ttask*, std::int32_t> lines;
    for (const Tlog_line& line : log) {
        Ttask* task = task_of_name[static_cast<std::size_t>(line.name_id())];
        if (task == nullptr) continue;
        task->times_in_log = checked_add(task->times_in_log, 1);
        ++lines[task];
    }
    for (const auto& transition : net.transitions()) {
        const auto found = lines.find(transition->task);
        transition->occurrences = found != lines.end() ? found->second : 0;
    }
}

void set_branch_probabilities(Tpetrinet& net) {
    for (const auto& place : net.places()) {
        const Parclist leaving = net.Arcs_of_place(place.get(), false);
        double total = 0.0, occurrences = 0.0;
        for (const Tarc* arc : leaving)
            if (arc->transition->task != nullptr) {
                total += arc->transition->task->times_in_log;
                occurrences += arc->transition->occurrences;
            }
        if (total == 0.0) total = 1.0;
        const bool exclusive = place->input_set.starts_with(kMutualExclusionPrefix);
        for (Tarc* arc : leaving) {
            const Ttask* task = arc->transition->task;
            const bool counted = !exclusive && task != nullptr;
            arc->probability = counted ? task->times_in_log / total : 1.0;
            // No occurrence at all tells nothing about the branches.
            arc->share =
                counted && occurrences > 0.0 ? arc->transition->occurrences / occurrences : 1.0;
        }
    }
}

double date_time_value(const Tdate& date, std::int32_t hour, std::int32_t minute) {
    static const std::int64_t day_zero = days_from_civil(1899, 12, 30);
    const std::int64_t days = days_from_civil(date.year, date.month, date.day) - day_zero;
    return static_cast<double>(days) + (hour * 60 + minute) / 1440.0;
}

double minutes_between(double a, double b) {
    // Whole minutes stay exact in a double over any span of dates (year 1 to 9999 is about
    // 5.3e9 minutes, beyond 32 bits).
    return std::trunc(1440.0 * std::fabs(a - b));
}

Treplay::Treplay(Tpetrinet& net, const Tloglist& log, const Ttasklist& tasks, MessageSink& sink)
    : net_(net), log_(log), tasks_(tasks), sink_(sink), tokens_(net, tasks) {
    for (const auto& arc : net_.arcs())
        arcs_of_[arc->transition].push_back(arc.get());
    // The task of each of the log's names, looked up once instead of once per line.
    task_of_name_id_ = tasks_of_names(log_, tasks_);
    for (const auto& transition : net_.transitions()) {
        if (transition->name.find(kSkipMarker) != std::string::npos)
            skip_transitions_.push_back(transition.get());
    }
    for (Ttask* task : tasks_)
        transition_of_.try_emplace(task, net_.Transition_of_task(task));
}

bool Treplay::Is_enabled(const Ttransition* transition) const {
    if (net_.arcs().empty()) return true;
    const auto found = arcs_of_.find(transition);
    if (found == arcs_of_.end()) return true;
    return std::all_of(found->second.begin(), found->second.end(), [](const Tarc* arc) {
        return arc->to_place || arc->place->token_time != NO_TOKEN;
    });
}

bool Treplay::Put_token(Tplace* place, bool show_messages, double time) {
    bool shown = false;
    if (place->token_time != NO_TOKEN && net_.is_safe && place->output_set != kEndSet) {
        net_.is_safe = false;
        if (show_messages) {
            sink_.warning("The mined net is not safe");
            shown = true;
        }
    }
    place->token_time = time;
    return shown;
}

bool Treplay::Check_tokens_left(bool show_messages) {
    bool shown = false;
    for (const auto& place : net_.places()) {
        if (place->token_time != NO_TOKEN && place->output_set != kEndSet) {
            if (!net_.tokens_left && show_messages) {
                sink_.warning("The net leaves tokens in places");
                shown = true;
            }
            net_.tokens_left = true;
        }
        Take_token(place.get());
    }
    return shown;
}

bool report_unfired(Tpetrinet& net, std::vector<std::string>& reported, MessageSink& sink,
                    Ttask* task, const std::string& name, bool show_messages) {
    if (task != nullptr) {
        if (net.unfired_tasks.find_by_name(task->name()) != nullptr) return false;
        net.unfired_tasks.add(task);
    } else {
        // A line of a task the relations do not know: reported once, like a task that cannot fire.
        if (std::find(reported.begin(), reported.end(), name) != reported.end()) return false;
        reported.push_back(name);
    }
    if (!show_messages) return false;
    sink.warning("Transition " + name + " not enabled!");
    return true;
}

bool Treplay::report_unfired(Ttask* task, const std::string& name, bool show_messages) {
    return vesk::report_unfired(net_, unknown_reported_, sink_, task, name, show_messages);
}

bool Treplay::Fire(Ttransition* transition, bool show_messages, double time) {
    bool shown = false;
    bool record = true;
    if (!Is_enabled(transition)) {
        if (transition->task != nullptr)
            shown = report_unfired(transition->task, transition->task->name(), show_messages);
        record = false;
    }
    const auto found = arcs_of_.find(transition);
    if (found == arcs_of_.end()) return shown;
    const std::vector<Tarc*>& arcs = found->second;
    double enabled_at = 0.0;
    int inputs = 0;
    for (const Tarc* arc : arcs) {
        if (arc->to_place) continue;
        ++inputs;
        if (arc->place->token_time - enabled_at >= kEqualityTolerance)
            enabled_at = arc->place->token_time;
    }
    for (Tarc* arc : arcs) {
        Tplace* place = arc->place;
        if (arc->to_place) {
            Put_token(place, show_messages, time);
            continue;
        }
        const double arrived = place->token_time;
        if (record && inputs > 1) {
            place->sync_time.Add_observation(widened_minutes(arrived, enabled_at));
            place->waiting_time.Add_observation(widened_minutes(enabled_at, time));
            place->sojourn_time.Add_observation(widened_minutes(arrived, time));
        } else if (record) {
            const double waited = widened_minutes(enabled_at, time);
            place->waiting_time.Add_observation(waited);
            place->sojourn_time.Add_observation(waited);
        }
        Take_token(place);
    }
    return shown;
}

bool Treplay::Fire_task(Ttask* task, const std::string& line_name, bool show_messages,
                        double time) {
    Ttransition* transition = nullptr;
    if (task != nullptr) {
        const auto found = transition_of_.find(task);
        transition = found != transition_of_.end() ? found->second : net_.Transition_of_task(task);
    }
    if (transition == nullptr) return report_unfired(task, line_name, show_messages);
    if (!Is_enabled(transition)) {
        for (Ttransition* skip : skip_transitions_)
            if (Is_enabled(skip)) Fire(skip, show_messages, time);
    }
    return Fire(transition, show_messages, time);
}

TokenCounts Treplay::Replay(bool show_messages) {
    count_task_lines(net_, log_, task_of_name_id_);
    set_branch_probabilities(net_);
    net_.flow_time.Clear();
    for (const auto& place : net_.places()) {
        place->sync_time.Clear();
        place->waiting_time.Clear();
        place->sojourn_time.Clear();
    }
    Tplace* start_place = nullptr;
    for (const auto& place : net_.places()) {
        if (place->input_set == kStartSet) {
            start_place = place.get();
            break;
        }
    }
    // The counted game's transition of each of the log's names.
    std::vector<const Ttransition*> counted_transition(static_cast<std::size_t>(log_.name_count()));
    for (std::int32_t id = 0; id < log_.name_count(); ++id)
        counted_transition[static_cast<std::size_t>(id)] = tokens_.transition_for(log_.name_of(id));
    TokenCounts counts;
    double case_start = 0.0, last_time = 0.0;
    std::int32_t previous_case = -1;
    bool shown = false;
    std::int64_t cases = 0, begun = 0;
    if (progress_) {
        for (std::size_t i = 0; i < log_.size(); ++i)
            cases += i == 0 || log_[i].case_number() != log_[i - 1].case_number();
    }
    for (const Tlog_line& line : log_) {
        const Ttime clock = line.time();
        const double time = date_time_value(line.date(), clock.hour, clock.minute);
        if (line.case_number() != previous_case) {
            if (previous_case > -1) {
                net_.flow_time.Add_observation(widened_minutes(case_start, last_time));
                tokens_.end_case(counts);
            }
            shown |= Check_tokens_left(show_messages);
            case_start = time;
            if (start_place != nullptr) shown |= Put_token(start_place, show_messages, time);
            tokens_.start_case();
            previous_case = line.case_number();
            if (progress_ && ++begun % kProgressEvery == 0)
                progress_({"Replaying", begun, cases, -1, "cases"});
        }
        shown |= Fire_task(task_of(line), log_.name(line), show_messages, time);
        tokens_.event(counted_transition[static_cast<std::size_t>(line.name_id())]);
        last_time = time;
    }
    if (!log_.empty()) {
        net_.flow_time.Add_observation(widened_minutes(case_start, last_time));
        tokens_.end_case(counts);
        // The last case's tokens are looked at too.
        shown |= Check_tokens_left(show_messages);
    }
    if (progress_ && cases > 0) progress_({"Replayed", cases, cases, -1, "cases"});
    // Without messages nothing was checked by them, so "no errors" would claim too much.
    if (!shown && show_messages)
        sink_.information(log_.empty() ? "No timing information available"
                                       : "No errors while calculating timing information");
    return counts;
}

}  // namespace vesk
