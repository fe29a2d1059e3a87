#include "mining/vesk_task_build.h"

#include <algorithm>
#include <array>
#include <cstdio>
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

// The position in the task list of every line's task: 4 bytes a line, as logs are long.
struct LineTasks {
    std::vector<std::int32_t> ids;
};

// The task of every line, creating tasks in order of first occurrence; also records the
// direct successions, start and end flags and loop lengths.
LineTasks record_direct_successions(const Tloglist& log, Towned_tasklist& tasks, TaskIndex& index) {
    LineTasks lines;
    lines.ids.reserve(log.size());
    // Tasks by the line's name id: the name is looked up once per name, not once per line.
    std::vector<std::int32_t> by_name_id(static_cast<std::size_t>(log.name_count()), -1);
    const auto task_of = [&](const Tlog_line& line) {
        std::int32_t& known = by_name_id[static_cast<std::size_t>(line.name_id())];
        if (known >= 0) return known;
        const std::string& name = log.name(line);
        Ttask* task = index.find(name);
        std::int32_t id = task != nullptr ? tasks.index_of(task) : -1;
        if (task == nullptr) {
            task = tasks.create(name);
            index.add(task);
            id = tasks.count() - 1;
        }
        known = id;
        return id;
    };
    std::int32_t id = task_of(log[0]);
    Ttask* current = tasks.get(id);
    current->is_trace_start = true;
    lines.ids.push_back(id);
    std::int32_t previous_case = log[0].case_number();
    for (std::size_t k = 1; k < log.size(); ++k) {
        const Tlog_line& line = log[k];
        const bool new_case = line.case_number() != previous_case;
        if (new_case) current->is_trace_end = true;
        id = task_of(line);
        current = tasks.get(id);
        current->loop_length = std::min(current->loop_length, line.loop_length);
        if (new_case) {
            current->is_trace_start = true;
            previous_case = line.case_number();
        }
        if (log[k - 1].case_number() == line.case_number()) {
            Ttask* previous = tasks.get(lines.ids.back());
            previous->record_successor(current);
            current->record_predecessor(previous);
        }
        lines.ids.push_back(id);
    }
    current->is_trace_end = true;
    return lines;
}

void add_two_loop_partners(const Tloglist& log, const LineTasks& lines, const Ttasklist& tasks,
                           const TaskIndex& index) {
    for (std::size_t k = 0; k < log.size(); ++k) {
        Ttask* task = tasks.get(lines.ids[k]);
        if (task->loop_length != 2) continue;
        for (const std::int32_t partner : log.two_loop_partners(log[k]))
            if (Ttask* found = index.find(log.name_of(partner))) task->tasks_in_two_loop.add(found);
    }
}

// The cases of the log as [begin, end) ranges of lines.
template <typename Visit>
void for_each_case(const Tloglist& log, Visit&& visit) {
    for (std::size_t begin = 0; begin < log.size();) {
        const std::size_t end = log.case_end(begin);
        visit(begin, end);
        begin = end;
    }
}

// What the long-distance relations can take at most: a task pair per two distinct tasks of a
// case, each pair an entry in two lists (with their position index once the lists are long).
void check_relations_size(const Tloglist& log, const LineTasks& lines, std::int32_t task_count,
                          std::int64_t budget) {
    constexpr std::int64_t kBytesPerPair = 2 * 56;
    std::vector<std::size_t> seen_in(static_cast<std::size_t>(task_count), log.size());
    double pairs = 0;  // a double, as the square of 32-bit counts summed over cases may not fit
    for_each_case(log, [&](std::size_t begin, std::size_t end) {
        double distinct = 0;
        for (std::size_t i = begin; i < end; ++i) {
            std::size_t& seen = seen_in[static_cast<std::size_t>(lines.ids[i])];
            if (seen != begin) distinct += 1;
            seen = begin;
        }
        pairs += distinct * distinct;
    });
    pairs = std::min(pairs, static_cast<double>(task_count) * task_count);
    const double bytes = pairs * kBytesPerPair;
    if (bytes <= static_cast<double>(budget)) return;
    const auto gib = [](double b) {
        const double value = b / (1024.0 * 1024.0 * 1024.0);
        char text[32];
        std::snprintf(text, sizeof text, value < 10 ? "%.1f" : "%.0f", value);
        return std::string(text);
    };
    throw RelationsTooLargeError(
        "the log has " + std::to_string(task_count) + " distinct tasks, up to " +
        std::to_string(static_cast<long long>(pairs)) +
        " task pairs within cases: its relations would need about " + gib(bytes) +
        " GiB of memory, more than the " + gib(static_cast<double>(budget)) +
        " GiB allowed. Read fewer event types, or a log with fewer distinct task names.");
}

// Long-distance successions of one case, handed to add(from, to, distance) in the order the
// literal walk meets them. Each line needs, for every task after it, the position of that
// task's first occurrence after it, in position order; keeping those positions sorted while
// walking forward makes this linear in the case length times the number of distinct tasks,
// instead of quadratic in the case length.
template <typename Add>
void walk_long_distances(const std::vector<std::int32_t>& ids, std::size_t begin, std::size_t end,
                         std::vector<std::size_t>& later, std::vector<std::int32_t>& touched,
                         Add&& add) {
    std::vector<std::size_t> next_same(end - begin, end);
    constexpr std::size_t none = std::size_t(-1);  // later[] holds it outside a walk
    for (std::size_t i = end; i-- > begin;) {
        std::size_t& first = later[static_cast<std::size_t>(ids[i])];
        if (first == none) {
            touched.push_back(ids[i]);
        } else {
            next_same[i - begin] = first;
        }
        first = i;
    }
    // First occurrences after the current line, largest position first.
    std::vector<std::size_t> ahead;
    ahead.reserve(touched.size());
    for (const std::int32_t id : touched) {
        std::size_t& first = later[static_cast<std::size_t>(id)];
        ahead.push_back(first);
        first = none;
    }
    touched.clear();
    std::sort(ahead.begin(), ahead.end(), std::greater<>());

    for (std::size_t i = begin; i < end; ++i) {
        ahead.pop_back();  // the line itself is always the nearest
        if (const std::size_t next = next_same[i - begin]; next != end)
            ahead.insert(std::upper_bound(ahead.begin(), ahead.end(), next, std::greater<>()),
                         next);
        for (auto it = ahead.rbegin(); it != ahead.rend(); ++it)
            add(ids[i], ids[*it], checked_int32(*it - i));
    }
}

// The smallest distance of every task pair in a task x task table, and per task the order in
// which its pairs were first met: the lists are then made once per pair instead of being
// searched once per line pair.
class LongDistanceTable {
public:
    explicit LongDistanceTable(std::size_t task_count)
        : n_(task_count),
          successor_(n_ * n_, kNone),
          predecessor_(n_ * n_, kNone),
          successor_order_(n_),
          predecessor_order_(n_) {}

    void add(std::int32_t from, std::int32_t to, std::int32_t distance) {
        const auto f = static_cast<std::size_t>(from);
        const auto t = static_cast<std::size_t>(to);
        keep(successor_[f * n_ + t], successor_order_[f], to, distance);
        keep(predecessor_[t * n_ + f], predecessor_order_[t], from, distance);
    }

    void apply(const Ttasklist& tasks) const {
        for (std::size_t a = 0; a < n_; ++a) {
            Ttask* task = tasks.get(static_cast<std::int32_t>(a));
            for (const std::int32_t b : successor_order_[a])
                task->add_long_successor(tasks.get(b),
                                         successor_[a * n_ + static_cast<std::size_t>(b)]);
            for (const std::int32_t b : predecessor_order_[a])
                task->add_long_predecessor(tasks.get(b),
                                           predecessor_[a * n_ + static_cast<std::size_t>(b)]);
        }
    }

private:
    static void keep(std::int32_t& cell, std::vector<std::int32_t>& order, std::int32_t other,
                     std::int32_t distance) {
        if (cell == kNone) order.push_back(other);
        cell = std::min(cell, distance);
    }

    std::size_t n_;
    std::vector<std::int32_t> successor_;
    std::vector<std::int32_t> predecessor_;
    std::vector<std::vector<std::int32_t>> successor_order_;
    std::vector<std::vector<std::int32_t>> predecessor_order_;
};

// Up to this many tasks the table (two n x n arrays of 32-bit cells, 8 MiB) replaces the
// searches of the lists.
constexpr std::int32_t kTableTasks = 1024;

void add_long_distances(const Tloglist& log, const LineTasks& lines, const Ttasklist& tasks,
                        const ProgressCallback& progress) {
    const auto n = static_cast<std::size_t>(tasks.count());
    std::vector<std::size_t> later(n, std::size_t(-1));
    std::vector<std::int32_t> touched;
    std::int64_t cases = 0;
    const auto tell = [&](std::size_t end) {
        if (!progress || ++cases % kProgressEvery != 0) return;
        progress({"Building relations", cases, 0,
                  static_cast<double>(end) / static_cast<double>(log.size()), "cases"});
    };
    if (tasks.count() <= kTableTasks) {
        LongDistanceTable table(n);
        for_each_case(log, [&](std::size_t begin, std::size_t end) {
            tell(end);
            walk_long_distances(lines.ids, begin, end, later, touched,
                                [&](std::int32_t from, std::int32_t to, std::int32_t d) {
                                    table.add(from, to, d);
                                });
        });
        table.apply(tasks);
        return;
    }
    for_each_case(log, [&](std::size_t begin, std::size_t end) {
        tell(end);
        walk_long_distances(lines.ids, begin, end, later, touched,
                            [&](std::int32_t from, std::int32_t to, std::int32_t d) {
                                tasks.get(from)->add_long_successor(tasks.get(to), d);
                                tasks.get(to)->add_long_predecessor(tasks.get(from), d);
                            });
    });
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

void build_tasks_only(const Tloglist& log, Towned_tasklist& tasks) {
    tasks.free_all();
    if (log.empty()) return;
    TaskIndex index(tasks);
    record_direct_successions(log, tasks, index);
}

void build_task_list(const Tloglist& log, Towned_tasklist& tasks, std::int64_t memory_budget,
                     const ProgressCallback& progress) {
    tasks.free_all();
    if (log.empty()) return;
    TaskIndex index(tasks);
    const LineTasks lines = record_direct_successions(log, tasks, index);
    check_relations_size(log, lines, tasks.count(), memory_budget);
    add_two_loop_partners(log, lines, tasks, index);
    tasks.derive_parallel_of_all();
    add_life_cycle_links(tasks);
    add_long_distances(log, lines, tasks, progress);
}

}  // namespace vesk
