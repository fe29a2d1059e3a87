#include "support/task_dump.h"

namespace vesk::test {

std::string names(const Ttasklist& list) {
    std::string text;
    for (std::int32_t i = 0; i < list.count(); ++i) {
        if (!text.empty()) text += ' ';
        text += list.name_at(i);
        if (list.value(i) != kNone) text += ':' + std::to_string(list.value(i));
    }
    return text;
}

namespace {

std::string counts(const Tfreqlistarray& entries) {
    std::string text;
    for (const Tfreq& entry : entries)
        text += entry.task->name() + ':' + std::to_string(entry.count) + ' ';
    return text;
}

}  // namespace

std::string dump_tasks(const Ttasklist& tasks) {
    std::string text;
    for (Ttask* t : tasks) {
        text += t->name() + " loop=" + std::to_string(t->loop_length) +
                " start=" + std::to_string(t->is_trace_start) +
                " end=" + std::to_string(t->is_trace_end) +
                " times=" + std::to_string(t->times_in_log) + '\n';
        text += "  succ " + counts(t->successor_counts()) + '\n';
        text += "  pred " + counts(t->predecessor_counts()) + '\n';
        text += "  -> " + names(t->causal_successors()) + '\n';
        text += "  <- " + names(t->causal_predecessors()) + '\n';
        text += "  || " + names(t->parallel()) + '\n';
        text += "  >>> " + names(t->long_successors()) + '\n';
        text += "  <<< " + names(t->long_predecessors()) + '\n';
        text += "  two " + names(t->tasks_in_two_loop) + '\n';
    }
    return text;
}

}  // namespace vesk::test
