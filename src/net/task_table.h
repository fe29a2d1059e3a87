#pragma once
// The numbered task table of the pair search.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "mining/vesk_task.h"

namespace vesk {

// The tasks the search looks at, numbered: the task list first, in order, then tasks that only
// its relation lists name. Relations are compared by name, as the construction compares them,
// and answered from tables: the search asks the same questions very often.
class TaskTable {
public:
    explicit TaskTable(const Ttasklist& list) : list_size_(list.count()) {
        for (Ttask* task : list)
            number(task);
        // Every task a relation list names, and the ones their lists name, get a number too.
        for (std::size_t i = 0; i < tasks_.size(); ++i) {
            Ttask* task = tasks_[i];
            for (Ttasklist* related :
                 {&task->causal_successors(), &task->causal_predecessors(), &task->parallel()})
                for (Ttask* other : *related)
                    number(other);
        }
        std::unordered_map<std::string, int> name_ids;
        for (const Ttask* task : tasks_)
            name_id_.push_back(name_ids.try_emplace(task->name(), name_ids.size()).first->second);
        const std::size_t names = name_ids.size();
        name_count_ = names;
        for (Ttask* task : tasks_) {
            successors_.push_back(bits(task->causal_successors(), names));
            predecessors_.push_back(bits(task->causal_predecessors(), names));
            parallel_.push_back(bits(task->parallel(), names));
        }
    }

    std::int32_t list_size() const { return list_size_; }
    std::size_t task_count() const { return tasks_.size(); }
    std::size_t name_count() const { return name_count_; }
    std::size_t name_index(int n) const { return name_of(n); }
    int number_of(Ttask* task) { return number(task); }
    Ttask* task(int n) const { return tasks_[static_cast<std::size_t>(n)]; }
    bool same(int a, int b) const { return name_id_[at(a)] == name_id_[at(b)]; }
    bool causes(int a, int b) const { return successors_[at(a)][name_of(b)]; }
    bool caused_by(int a, int b) const { return predecessors_[at(a)][name_of(b)]; }
    bool related(int a, int b) const {
        return causes(a, b) || caused_by(a, b) || parallel_[at(a)][name_of(b)] || causes(b, a) ||
               caused_by(b, a) || parallel_[at(b)][name_of(a)];
    }

private:
    static std::size_t at(int n) { return static_cast<std::size_t>(n); }
    std::size_t name_of(int n) const { return static_cast<std::size_t>(name_id_[at(n)]); }

    int number(Ttask* task) {
        const auto [it, added] = numbers_.try_emplace(task, static_cast<int>(tasks_.size()));
        if (added) tasks_.push_back(task);
        return it->second;
    }

    std::vector<char> bits(const Ttasklist& list, std::size_t names) const {
        std::vector<char> set(names, 0);
        for (const Ttask* task : list)
            set[name_of(numbers_.at(task))] = 1;
        return set;
    }

    std::int32_t list_size_;
    std::size_t name_count_ = 0;
    std::vector<Ttask*> tasks_;
    std::unordered_map<const Ttask*, int> numbers_;
    std::vector<int> name_id_;
    std::vector<std::vector<char>> successors_, predecessors_, parallel_;
};

using Side = std::vector<int>;

}  // namespace vesk
