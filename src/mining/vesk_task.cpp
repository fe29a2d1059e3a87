#include "mining/vesk_task.h"

#include <stdexcept>

namespace vesk {

TstringTuple split_task_name(std::string_view name) {
    const auto last = name.rfind('_');
    if (last == std::string_view::npos)
        throw std::out_of_range("Task name without an event: " + std::string(name));
    TstringTuple parts;
    parts.raw_name = std::string(name.substr(0, last));
    parts.event = std::string(name.substr(last + 1));
    parts.activity = parts.raw_name;
    for (const std::string_view prefix : kLoopCopyPrefixes) {
        if (parts.raw_name.starts_with(prefix)) {
            parts.activity.erase(0, prefix.size());
            break;
        }
    }
    parts.plain_name = parts.activity + "_" + parts.event;
    return parts;
}

void Ttask::record(Tfreqlistarray& counts, Ttask* task) {
    for (Tfreq& entry : counts) {
        if (entry.task == task) {
            entry.count = checked_add(entry.count, 1);
            return;
        }
    }
    counts.push_back({task, 1});
}

const Tfreq* Ttask::find(const Tfreqlistarray& counts, const Ttask* task) {
    for (const Tfreq& entry : counts)
        if (entry.task == task) return &entry;
    return nullptr;
}

Ttasklist Ttask::derive_causal(const Tfreqlistarray& from, const Tfreqlistarray& unless) const {
    Ttasklist derived;
    for (const Tfreq& entry : from)
        if (find(unless, entry.task) == nullptr) derived.add(entry.task);
    return derived;
}

Ttasklist& Ttask::causal_successors() {
    if (!causal_successors_)
        causal_successors_ = std::make_unique<Ttasklist>(derive_causal(successors_, predecessors_));
    return *causal_successors_;
}

Ttasklist& Ttask::causal_predecessors() {
    if (!causal_predecessors_)
        causal_predecessors_ =
            std::make_unique<Ttasklist>(derive_causal(predecessors_, successors_));
    return *causal_predecessors_;
}

void Ttask::derive_parallel() {
    if (!parallel_.empty()) return;
    for (const Tfreq& entry : successors_)
        if (find(predecessors_, entry.task) != nullptr) parallel_.add(entry.task);
}

bool Ttask::is_related(const Ttask& other) {
    return causal_successors().find_by_name(other.name()) != nullptr ||
           causal_predecessors().find_by_name(other.name()) != nullptr ||
           parallel_.find_by_name(other.name()) != nullptr;
}

std::int32_t Ttask::distance(const Ttask* task, Direction direction) const {
    const Ttasklist& list =
        direction == Direction::successor ? long_successors_ : long_predecessors_;
    const std::int32_t at = list.index_of(task);
    if (at < 0) throw std::out_of_range("Task not in the long list: " + name_);
    return list.value(at);
}

std::string Ttask::name_list(NameList which) {
    std::string text;
    const auto append = [&text](const Ttask* task) { text.append(task->name()).append(" "); };
    switch (which) {
        case NameList::causal_successors:
            for (const Ttask* task : causal_successors())
                append(task);
            break;
        case NameList::causal_predecessors:
            for (const Ttask* task : causal_predecessors())
                append(task);
            break;
        case NameList::parallel:
            for (const Ttask* task : parallel_)
                append(task);
            break;
        case NameList::predecessors:
            for (const Tfreq& entry : predecessors_)
                append(entry.task);
            break;
        case NameList::successors:
            for (const Tfreq& entry : successors_)
                append(entry.task);
            break;
    }
    return text;
}

void Ttask::clear_relations() {
    successors_.clear();
    predecessors_.clear();
    causal_successors_ = std::make_unique<Ttasklist>();
    causal_predecessors_ = std::make_unique<Ttasklist>();
    parallel_.clear();
    long_successors_.clear();
    long_predecessors_.clear();
}

void Ttask::detach(const Ttask* task) {
    causal_successors().remove(task);
    causal_predecessors().remove(task);
    parallel_.remove(task);
    long_successors_.remove(task);
    long_predecessors_.remove(task);
}

}  // namespace vesk
