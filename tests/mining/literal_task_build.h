#pragma once
// The log-to-tasks hand-off written the plain way: every pair of positions of a case compared,
// every name looked up by searching the list. Slow, but easy to check against the description;
// the library's fast versions must give identical results.

#include <algorithm>

#include "log/vesk_loglist.h"
#include "mining/vesk_task.h"

namespace vesk::test {

inline void literal_loop_information(Tloglist& log) {
    const std::size_t n = log.size();
    const auto name = [&log](std::size_t k) { return log.name(log[k]); };
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n && log[j].case_number() == log[i].case_number(); ++j) {
            if (name(j) != name(i)) continue;
            const auto d = static_cast<std::int32_t>(j - i);
            if (d < log[i].loop_length) {
                log[i].loop_length = d;
                log[j].loop_length = d;
                if (d == 2) {
                    log.assign_two_loop_partner(log[i], log[i + 1].name_id());
                    log.assign_two_loop_partner(log[j], log[i + 1].name_id());
                }
            }
            if (d == log[i].loop_length && d == 2) {
                log.add_two_loop_partner(log[i], log[i + 1].name_id());
                log.add_two_loop_partner(log[j], log[i + 1].name_id());
            }
        }
    }
}

inline void literal_link(Ttask* from, Ttask* to) {
    from->causal_successors().add(to);
    to->causal_predecessors().add(from);
}

inline void literal_life_cycle_links(const Ttasklist& tasks) {
    for (std::int32_t i = 0; i < tasks.count(); ++i) {
        const std::string x = tasks.get(i)->split_name().activity;
        Ttask* schedule = tasks.find_by_name(x + "_schedule");
        Ttask* start = tasks.find_by_name(x + "_start");
        Ttask* suspend = tasks.find_by_name(x + "_suspend");
        Ttask* resume = tasks.find_by_name(x + "_resume");
        Ttask* complete = tasks.find_by_name(x + "_complete");
        Ttask* withdraw = tasks.find_by_name(x + "_withdraw");
        Ttask* abort = tasks.find_by_name(x + "_abort");
        if (schedule && start) literal_link(schedule, start);
        if (start && suspend) literal_link(start, suspend);
        if (suspend && resume) {
            suspend->parallel().add(resume);
            resume->parallel().add(suspend);
            suspend->causal_successors().remove(resume);
            suspend->causal_predecessors().remove(resume);
            resume->causal_successors().remove(suspend);
            resume->causal_predecessors().remove(suspend);
            suspend->loop_length = 2;
            resume->loop_length = 2;
            suspend->tasks_in_two_loop.add(resume);
            resume->tasks_in_two_loop.add(suspend);
        }
        if (start && complete) literal_link(start, complete);
        if (resume && complete) literal_link(resume, complete);
        if (schedule && withdraw) literal_link(schedule, withdraw);
        if (start && abort) literal_link(start, abort);
        if (!start) {
            if (schedule && suspend) literal_link(schedule, suspend);
            if (schedule && complete) literal_link(schedule, complete);
            if (schedule && abort) literal_link(schedule, abort);
        }
    }
}

inline void literal_build_task_list(const Tloglist& log, Towned_tasklist& tasks) {
    tasks.free_all();
    const std::size_t n = log.size();
    if (n == 0) return;
    Ttask* current = tasks.create(log.name(log[0]));
    current->is_trace_start = true;
    if (n == 1) current->is_trace_end = true;
    std::int32_t previous_case = log[0].case_number();
    for (std::size_t k = 1; k < n; ++k) {
        if (log[k].case_number() != previous_case) current->is_trace_end = true;
        if (tasks.find_by_name(log.name(log[k])) == nullptr) tasks.create(log.name(log[k]));
        current = tasks.find_by_name(log.name(log[k]));
        if (log[k].loop_length < current->loop_length) current->loop_length = log[k].loop_length;
        if (log[k].case_number() != previous_case) {
            current->is_trace_start = true;
            previous_case = log[k].case_number();
        }
        if (log[k - 1].case_number() == log[k].case_number()) {
            Ttask* before = tasks.find_by_name(log.name(log[k - 1]));
            before->record_successor(current);
            current->record_predecessor(before);
        }
    }
    current->is_trace_end = true;
    for (std::size_t k = 0; k < n; ++k) {
        Ttask* task = tasks.find_by_name(log.name(log[k]));
        if (task->loop_length != 2) continue;
        for (const std::int32_t partner : log.two_loop_partners(log[k]))
            task->tasks_in_two_loop.add(tasks.find_by_name(log.name_of(partner)));
    }
    tasks.derive_parallel_of_all();
    literal_life_cycle_links(tasks);
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = 0; b < n; ++b) {
            if (a == b || log[a].case_number() != log[b].case_number()) continue;
            Ttask* ta = tasks.find_by_name(log.name(log[a]));
            Ttask* tb = tasks.find_by_name(log.name(log[b]));
            const auto d = static_cast<std::int32_t>(a > b ? a - b : b - a);
            if (b < a) {
                ta->add_long_predecessor(tb, d);
                tb->add_long_successor(ta, d);
            } else {
                ta->add_long_successor(tb, d);
                tb->add_long_predecessor(ta, d);
            }
        }
    }
}

}  // namespace vesk::test
