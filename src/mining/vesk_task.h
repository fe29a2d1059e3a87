#pragma once
// Tasks (one event type of one activity) with their ordering relations, and lists of tasks.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/int32_checked.h"

namespace vesk {

class Ttask;

// An ordered list of task references with one value per entry; a task occurs at most once.
// Lists never own their tasks, except through Towned_tasklist.
class Ttasklist {
public:
    std::int32_t count() const { return static_cast<std::int32_t>(tasks_.size()); }
    bool empty() const { return tasks_.empty(); }
    // Null outside 0..count-1.
    Ttask* get(std::int32_t index) const;
    std::int32_t value(std::int32_t index) const;
    // Empty outside 0..count-1.
    std::string name_at(std::int32_t index) const;
    // -1 when absent; compared by reference.
    std::int32_t index_of(const Ttask* task) const;
    bool contains(const Ttask* task) const { return index_of(task) >= 0; }
    // The first task whose name equals the text exactly.
    Ttask* find_by_name(std::string_view name) const;
    Ttask* find_task(const Ttask* task) const;

    void add(Ttask* task) { add_with_value(task, kNone); }
    // Appends an absent task; for a present one keeps the smaller value.
    void add_with_value(Ttask* task, std::int32_t value);
    void remove(const Ttask* task);
    void add_all(const Ttasklist& other);
    void remove_all(const Ttasklist& other);
    void clear();
    void derive_parallel_of_all() const;

    const std::vector<Ttask*>& tasks() const { return tasks_; }
    auto begin() const { return tasks_.begin(); }
    auto end() const { return tasks_.end(); }

private:
    // Short lists are searched directly; longer ones keep a position index.
    static constexpr std::size_t kIndexFrom = 24;
    void rebuild_index();

    std::vector<Ttask*> tasks_;
    std::vector<std::int32_t> values_;
    std::unordered_map<const Ttask*, std::int32_t> index_;
};

struct Tfreq {
    Ttask* task;
    std::int32_t count;
};
using Tfreqlistarray = std::vector<Tfreq>;
using TTaskArray = std::vector<Ttask*>;
using TTaskMatrix = std::vector<TTaskArray>;

// A task-event name taken apart at its last underscore.
struct TstringTuple {
    std::string raw_name;    // before the last underscore
    std::string activity;    // the raw name without a loop-copy prefix
    std::string event;       // after the last underscore
    std::string plain_name;  // activity + "_" + event
};

// Prefixes that mark the copies the short-loop split makes of a task.
inline constexpr std::string_view kLoopCopyPrefixes[] = {
    "&%$1loop1$%&", "&%$1loop2$%&", "&%$1loop3$%&", "&%$2loop1$%&", "&%$2loop2$%&"};

// Throws std::out_of_range for a name without an underscore.
TstringTuple split_task_name(std::string_view name);

enum class Direction { successor, predecessor };
enum class NameList { causal_successors, causal_predecessors, parallel, predecessors, successors };

class Ttask {
public:
    explicit Ttask(std::string name) : name_(std::move(name)) {}
    Ttask(const Ttask&) = delete;
    Ttask& operator=(const Ttask&) = delete;

    const std::string& name() const { return name_; }

    void record_successor(Ttask* task) { record(successors_, task); }
    void record_predecessor(Ttask* task) { record(predecessors_, task); }
    bool has_successor(const Ttask* task) const { return find(successors_, task) != nullptr; }
    bool has_predecessor(const Ttask* task) const { return find(predecessors_, task) != nullptr; }
    const Tfreqlistarray& successor_counts() const { return successors_; }
    const Tfreqlistarray& predecessor_counts() const { return predecessors_; }

    // Derived from the counts on first use; edited directly from then on.
    Ttasklist& causal_successors();
    Ttasklist& causal_predecessors();
    Ttasklist& parallel() { return parallel_; }
    const Ttasklist& parallel() const { return parallel_; }
    // Fills an empty parallel list with the tasks that both follow and precede this one.
    void derive_parallel();
    // A task of that name is a causal successor, causal predecessor or parallel task.
    bool is_related(const Ttask& other);

    void add_long_successor(Ttask* task, std::int32_t distance) {
        long_successors_.add_with_value(task, distance);
    }
    void add_long_predecessor(Ttask* task, std::int32_t distance) {
        long_predecessors_.add_with_value(task, distance);
    }
    Ttasklist& long_successors() { return long_successors_; }
    const Ttasklist& long_successors() const { return long_successors_; }
    Ttasklist& long_predecessors() { return long_predecessors_; }
    const Ttasklist& long_predecessors() const { return long_predecessors_; }
    // Throws std::out_of_range when the task is not in that long list.
    std::int32_t distance(const Ttask* task, Direction direction) const;

    // Names of one list, each followed by a blank.
    std::string name_list(NameList which);
    TstringTuple split_name() const { return split_task_name(name_); }

    // Empties every relation list; the causal lists stop being derived from counts.
    void clear_relations();
    // Removes the task from every relation list of this one.
    void detach(const Ttask* task);

    bool is_skippable = false;
    std::int32_t loop_length = kNone;
    Ttasklist tasks_in_two_loop;
    bool is_trace_start = false;
    bool is_trace_end = false;
    std::int32_t times_in_log = 1;

private:
    static void record(Tfreqlistarray& counts, Ttask* task);
    static const Tfreq* find(const Tfreqlistarray& counts, const Ttask* task);
    Ttasklist derive_causal(const Tfreqlistarray& from, const Tfreqlistarray& unless) const;

    std::string name_;
    Tfreqlistarray successors_;
    Tfreqlistarray predecessors_;
    std::unique_ptr<Ttasklist> causal_successors_;
    std::unique_ptr<Ttasklist> causal_predecessors_;
    Ttasklist parallel_;
    Ttasklist long_successors_;
    Ttasklist long_predecessors_;
};

// A task list that owns its tasks: the controller's main list and the loop lists.
class Towned_tasklist : public Ttasklist {
public:
    // Creates a task and appends it.
    Ttask* create(std::string name);
    void adopt(std::unique_ptr<Ttask> task);
    // Takes the task out of the list and hands over its ownership.
    std::unique_ptr<Ttask> release(Ttask* task);
    // Destroys every task and empties the list.
    void free_all();

private:
    std::vector<std::unique_ptr<Ttask>> owned_;
};

// For every task of the list: empties all relation lists (loop data and flags stay).
void clear_relations(const Ttasklist& tasks);
// Removes every task of `removed` from the relation lists of every task of `from`.
void detach_tasks(const Ttasklist& removed, const Ttasklist& from);

}  // namespace vesk
