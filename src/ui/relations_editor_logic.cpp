#include "ui/relations_editor_logic.h"

#include "base/number_format.h"

namespace vesk {

namespace {

struct Entry {
    const char* text;
    bool swapped;  // the other task comes first
    Trelation_kind kind;
};

// The kinds the Add list offers; "succ" and "nsucc" are read from logs only.
constexpr Entry kEntries[] = {
    {"     --> ", false, Trelation_kind::caus},      {"     <-- ", true, Trelation_kind::caus},
    {"     >>> ", false, Trelation_kind::long_succ}, {"     <<< ", true, Trelation_kind::long_succ},
    {"     ||  ", false, Trelation_kind::par},       {"     #   ", false, Trelation_kind::excl},
    {" not --> ", false, Trelation_kind::ncaus},     {" not <-- ", true, Trelation_kind::ncaus},
    {" not ||  ", false, Trelation_kind::npar},      {" not #   ", false, Trelation_kind::nexcl},
};

bool same_fact(const Tfact& a, const Tfact& b) {
    return a.kind == b.kind && a.task1 == b.task1 && a.task2 == b.task2 &&
           (a.kind != Trelation_kind::long_succ || a.distance == b.distance);
}

}  // namespace

const std::vector<std::string>& RelationsEditorLogic::relation_entries() {
    static const std::vector<std::string> entries = [] {
        std::vector<std::string> texts;
        for (const Entry& entry : kEntries)
            texts.emplace_back(entry.text);
        return texts;
    }();
    return entries;
}

void RelationsEditorLogic::open(Tfactslist& facts, const TintArray& positions, Ttask* chosen) {
    facts_ = &facts;
    positions_ = positions;
    state_ = {};
    for (const std::int32_t position : positions_) {
        const Tfact* fact = facts.get(position);
        if (fact == nullptr)
            throw std::out_of_range("no fact at position " + std::to_string(position));
        state_.checklist.push_back({fact_text(*fact), fact->used});
    }
    if (chosen != nullptr) {
        chosen_ = chosen;
        for (const Ttask* task : facts.task_list())
            state_.list_of_tasks.items.push_back(task->name());
        state_.task_is_start = chosen->is_trace_start;
        state_.task_is_end = chosen->is_trace_end;
        state_.start_end_enabled = true;
    } else {
        const Tfact* first = positions_.empty() ? nullptr : facts.get(positions_.front());
        if (first == nullptr) throw std::invalid_argument("an erroneous set without facts");
        chosen_ = first->task1;
        state_.list_of_tasks.items.push_back(first->task2->name());
    }
    state_.chosen_fact = chosen_->name();
    state_.list_of_tasks.selected = state_.list_of_tasks.items.empty() ? -1 : 0;
    state_.relations_list.items = relation_entries();
    state_.relations_list.selected = 0;
}

void RelationsEditorLogic::accept() {
    if (facts_ == nullptr) return;
    for (std::size_t i = 0; i < positions_.size() && i < state_.checklist.size(); ++i)
        facts_->get(positions_[i])->used = state_.checklist[i].checked;
    close();
}

void RelationsEditorLogic::close() {
    facts_ = nullptr;
    chosen_ = nullptr;
    positions_.clear();
}

std::optional<std::int32_t> RelationsEditorLogic::distance_for(const std::string& symbol) {
    const std::optional<std::string> answer = dialogs_.input(
        "Give distance", "At what distance do the two tasks have the " + symbol + " relation?");
    const std::string text = answer.value_or("");
    int distance = 0;
    if (!parse_int32(text, distance)) {
        dialogs_.error("'" + text + "' is not a valid integer value");
        return std::nullopt;
    }
    // A task cannot follow another at no or a negative distance.
    if (distance < 1) {
        dialogs_.error("'" + text + "' is not a valid distance: give a whole number of at least 1");
        return std::nullopt;
    }
    return distance;
}

bool RelationsEditorLogic::add(const std::string& relation_entry, const std::string& other) {
    if (facts_ == nullptr || chosen_ == nullptr) return false;
    const Entry* entry = nullptr;
    for (const Entry& candidate : kEntries)
        if (relation_entry == candidate.text) entry = &candidate;
    Ttask* other_task = facts_->task_list().find_by_name(other);
    if (entry == nullptr || other_task == nullptr) return false;

    std::int32_t distance = 0;
    if (entry->kind == Trelation_kind::long_succ) {
        const auto asked = distance_for(entry->swapped ? "<<<" : ">>>");
        if (!asked) return false;
        distance = *asked;
    }
    Ttask* task1 = entry->swapped ? other_task : chosen_;
    Ttask* task2 = entry->swapped ? chosen_ : other_task;
    Tfact fact(task1, distance, 1.0, entry->kind, task2);

    // The same fact twice would be listed and applied twice: an existing one is switched on.
    for (std::int32_t p = 0; p < facts_->count(); ++p) {
        Tfact& existing = *facts_->get(p);
        if (!same_fact(existing, fact)) continue;
        if (existing.used) {
            dialogs_.warning("This fact is already in the list of facts");
            return false;
        }
        existing.used = true;
        for (std::size_t i = 0; i < positions_.size(); ++i)
            if (positions_[i] == p) state_.checklist[i].checked = true;
        return true;
    }
    fact.used = true;
    const std::int32_t position = facts_->add(fact);
    positions_.push_back(position);
    state_.checklist.push_back({fact_text(*facts_->get(position)), true});
    return true;
}

void RelationsEditorLogic::set_start(bool is_start) {
    if (chosen_ == nullptr || !state_.start_end_enabled) return;
    chosen_->is_trace_start = is_start;
    state_.task_is_start = is_start;
}

void RelationsEditorLogic::set_end(bool is_end) {
    if (chosen_ == nullptr || !state_.start_end_enabled) return;
    chosen_->is_trace_end = is_end;
    state_.task_is_end = is_end;
}

}  // namespace vesk
