#include <algorithm>
#include <stdexcept>

#include "mining/vesk_task.h"

namespace vesk {

Ttask* Ttasklist::get(std::int32_t index) const {
    if (index < 0 || index >= count()) return nullptr;
    return tasks_[static_cast<std::size_t>(index)];
}

std::int32_t Ttasklist::value(std::int32_t index) const {
    if (index < 0 || index >= count()) throw std::out_of_range("Task list index out of range");
    return values_[static_cast<std::size_t>(index)];
}

std::string Ttasklist::name_at(std::int32_t index) const {
    const Ttask* task = get(index);
    return task != nullptr ? task->name() : std::string();
}

std::int32_t Ttasklist::index_of(const Ttask* task) const {
    if (!index_.empty()) {
        const auto it = index_.find(task);
        return it == index_.end() ? -1 : it->second;
    }
    const auto it = std::find(tasks_.begin(), tasks_.end(), task);
    return it == tasks_.end() ? -1 : static_cast<std::int32_t>(it - tasks_.begin());
}

Ttask* Ttasklist::find_by_name(std::string_view name) const {
    for (Ttask* task : tasks_)
        if (task->name() == name) return task;
    return nullptr;
}

Ttask* Ttasklist::find_task(const Ttask* task) const {
    return find_by_name(task != nullptr ? std::string_view(task->name()) : std::string_view());
}

void Ttasklist::add_with_value(Ttask* task, std::int32_t value) {
    const std::int32_t at = index_of(task);
    if (at >= 0) {
        auto& stored = values_[static_cast<std::size_t>(at)];
        stored = std::min(stored, value);
        return;
    }
    const std::int32_t position = checked_int32(tasks_.size());
    tasks_.push_back(task);
    values_.push_back(value);
    if (!index_.empty())
        index_.emplace(task, position);
    else if (tasks_.size() >= kIndexFrom)
        rebuild_index();
}

void Ttasklist::remove(const Ttask* task) {
    const std::int32_t at = index_of(task);
    if (at < 0) return;
    tasks_.erase(tasks_.begin() + at);
    values_.erase(values_.begin() + at);
    if (!index_.empty()) rebuild_index();
}

void Ttasklist::add_all(const Ttasklist& other) {
    for (Ttask* task : other.tasks_)
        add(task);
}

void Ttasklist::remove_all(const Ttasklist& other) {
    // Copy first: the other list may be this one.
    const std::vector<Ttask*> removed = other.tasks_;
    for (const Ttask* task : removed)
        remove(task);
}

void Ttasklist::clear() {
    tasks_.clear();
    values_.clear();
    index_.clear();
}

void Ttasklist::derive_parallel_of_all() const {
    for (Ttask* task : tasks_)
        task->derive_parallel();
}

void Ttasklist::rebuild_index() {
    index_.clear();
    if (tasks_.size() < kIndexFrom) return;
    index_.reserve(tasks_.size());
    for (std::size_t i = 0; i < tasks_.size(); ++i)
        index_.emplace(tasks_[i], static_cast<std::int32_t>(i));
}

Ttask* Towned_tasklist::create(std::string name) {
    owned_.push_back(std::make_unique<Ttask>(std::move(name)));
    Ttask* task = owned_.back().get();
    add(task);
    return task;
}

void Towned_tasklist::adopt(std::unique_ptr<Ttask> task) {
    add(task.get());
    owned_.push_back(std::move(task));
}

std::unique_ptr<Ttask> Towned_tasklist::release(Ttask* task) {
    const auto it = std::find_if(owned_.begin(), owned_.end(),
                                 [task](const auto& owned) { return owned.get() == task; });
    if (it == owned_.end()) return nullptr;
    std::unique_ptr<Ttask> released = std::move(*it);
    owned_.erase(it);
    remove(task);
    return released;
}

void Towned_tasklist::free_all() {
    clear();
    owned_.clear();
}

void clear_relations(const Ttasklist& tasks) {
    for (Ttask* task : tasks)
        task->clear_relations();
}

void detach_tasks(const Ttasklist& removed, const Ttasklist& from) {
    for (const Ttask* t : removed)
        for (Ttask* u : from)
            u->detach(t);
}

}  // namespace vesk
