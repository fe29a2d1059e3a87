#include "mining/vesk_task_build.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vesk {

namespace {

// Name lookup that finds the first task of a name, as a search of the list would.
class TaskIndex {
public:
    explicit TaskIndex(const Ttasklist& tasks) {
        for (Ttask* task : tasks)
            by_name_.try_emplace(task->name(), task);
    }
    Ttask* find(std::string_view name) const {
        const auto it = by_name_.find(name);
        return it == by_name_.end() ? nullptr : it->second;
    }
    void add(Ttask* task) { by_name_.try_emplace(task->name(), task); }

private:
    std::unordered_map<std::string_view, Ttask*> by_name_;
};

void link(Ttask* from, Ttask* to) {
    from->causal_successors().add(to);
    to->causal_predecessors().add(from);
}

// The task of every line, creating tasks in order of first occurrence; also records the
// direct successions, start and end flags and loop lengths.
std::vector<Ttask*> record_direct_successions(const Tloglist& log, Towned_tasklist& tasks,
                                              TaskIndex& index) {
    std::vector<Ttask*> line_tasks;
    line_tasks.reserve(log.size());
    Ttask* current = tasks.create(log[0].name());
    index.add(current);
    current->is_trace_start = true;
    line_tasks.push_back(current);
    std::int32_t previous_case = log[0].case_number();
    for (std::size_t k = 1; k < log.size(); ++k) {
        const Tlog_line& line = log[k];
        const bool new_case = line.case_number() != previous_case;
        if (new_case) current->is_trace_end = true;
        current = index.find(line.name());
        if (current == nullptr) {
            current = tasks.create(line.name());
            index.add(current);
        }
        current->loop_length = std::min(current->loop_length, line.loop_length);
        if (new_case) {
            current->is_trace_start = true;
            previous_case = line.case_number();
        }
        if (log[k - 1].case_number() == line.case_number()) {
            line_tasks.back()->record_successor(current);
            current->record_predecessor(line_tasks.back());
        }
        line_tasks.push_back(current);
    }
    current->is_trace_end = true;
    return line_tasks;
}

void add_two_loop_partners(const Tloglist& log, const std::vector<Ttask*>& line_tasks,
                           const TaskIndex& index) {
    for (std::size_t k = 0; k < log.size(); ++k) {
        Ttask* task = line_tasks[k];
        if (task->loop_length != 2) continue;
        for (const std::string& partner : log[k].two_loop_partners)
            if (Ttask* found = index.find(partner)) task->tasks_in_two_loop.add(found);
    }
}

// Long-distance successions of one case. Each line needs, for every task after it, the
// position of that task's first occurrence after it, in position order; keeping those
// positions sorted while walking forward makes this linear in the case length times the
// number of distinct tasks, instead of quadratic in the case length.
void add_long_distances(const std::vector<Ttask*>& line_tasks, std::size_t begin, std::size_t end) {
    std::unordered_map<const Ttask*, std::size_t> later;
    std::vector<std::size_t> next_same(end - begin, end);
    for (std::size_t i = end; i-- > begin;) {
        auto [it, inserted] = later.try_emplace(line_tasks[i], i);
        if (!inserted) {
            next_same[i - begin] = it->second;
            it->second = i;
        }
    }
    // First occurrences after the current line, largest position first.
    std::vector<std::size_t> ahead;
    for (const auto& [task, position] : later)
        ahead.push_back(position);
    std::sort(ahead.begin(), ahead.end(), std::greater<>());

    for (std::size_t i = begin; i < end; ++i) {
        ahead.pop_back();  // the line itself is always the nearest
        if (const std::size_t next = next_same[i - begin]; next != end)
            ahead.insert(std::upper_bound(ahead.begin(), ahead.end(), next, std::greater<>()),
                         next);
        Ttask* task = line_tasks[i];
        for (auto it = ahead.rbegin(); it != ahead.rend(); ++it) {
            const std::int32_t d = checked_int32(*it - i);
            task->add_long_successor(line_tasks[*it], d);
            line_tasks[*it]->add_long_predecessor(task, d);
        }
    }
}

}  // namespace

void add_life_cycle_links(const Ttasklist& tasks) {
    const TaskIndex index(tasks);
    for (const Ttask* task : tasks) {
        const std::string activity = task->split_name().activity;
        const auto find = [&](const char* event) { return index.find(activity + "_" + event); };
        Ttask* schedule = find("schedule");
        Ttask* start = find("start");
        Ttask* suspend = find("suspend");
        Ttask* resume = find("resume");
        Ttask* complete = find("complete");
        Ttask* withdraw = find("withdraw");
        Ttask* abort = find("abort");
        const auto link_if = [](Ttask* from, Ttask* to) {
            if (from != nullptr && to != nullptr) link(from, to);
        };
        link_if(schedule, start);
        link_if(start, suspend);
        if (suspend != nullptr && resume != nullptr) {
            for (auto [a, b] : std::array{std::pair{suspend, resume}, std::pair{resume, suspend}}) {
                a->parallel().add(b);
                a->causal_successors().remove(b);
                a->causal_predecessors().remove(b);
                a->loop_length = 2;
                a->tasks_in_two_loop.add(b);
            }
        }
        link_if(start, complete);
        link_if(resume, complete);
        link_if(schedule, withdraw);
        link_if(start, abort);
        if (start == nullptr) {
            link_if(schedule, suspend);
            link_if(schedule, complete);
            link_if(schedule, abort);
        }
    }
}

void build_task_list(const Tloglist& log, Towned_tasklist& tasks) {
    tasks.free_all();
    if (log.empty()) return;
    TaskIndex index(tasks);
    const std::vector<Ttask*> line_tasks = record_direct_successions(log, tasks, index);
    add_two_loop_partners(log, line_tasks, index);
    tasks.derive_parallel_of_all();
    add_life_cycle_links(tasks);
    for (std::size_t begin = 0; begin < log.size();) {
        std::size_t end = begin;
        while (end < log.size() && log[end].case_number() == log[begin].case_number())
            ++end;
        add_long_distances(line_tasks, begin, end);
        begin = end;
    }
}

}  // namespace vesk
