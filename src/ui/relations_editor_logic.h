#pragma once
// What the relations editor does, apart from its window: a group of facts shown as check-list
// lines, switched on or off when accepted, new facts between the chosen task and another one,
// and whether the chosen task may start or end a case.

#include <optional>
#include <string>
#include <vector>

#include "mining/vesk_facts.h"
#include "ui/choice_list.h"
#include "ui/modal_dialogs.h"

namespace vesk {

struct CheckLine {
    std::string text;
    bool checked = false;
};

struct RelationsEditorState {
    std::vector<CheckLine> checklist;
    std::string chosen_fact;  // the chosen task's name
    ChoiceList relations_list;
    ChoiceList list_of_tasks;
    bool task_is_start = false;
    bool task_is_end = false;
    // Only for a task's own facts: an erroneous set has no task of its own to change.
    bool start_end_enabled = false;
};

class RelationsEditorLogic {
public:
    explicit RelationsEditorLogic(ModalDialogs& dialogs) : dialogs_(dialogs) {}

    // The relation entries of the Add list, in their order.
    static const std::vector<std::string>& relation_entries();

    // Shows the facts at `positions`; chosen is the task whose facts they are, or null for an
    // erroneous set (the chosen task is then task1 of its first fact).
    void open(Tfactslist& facts, const TintArray& positions, Ttask* chosen);
    RelationsEditorState& state() { return state_; }
    const RelationsEditorState& state() const { return state_; }
    bool is_open() const { return facts_ != nullptr; }

    // The check marks become the facts' used marks; the editor closes.
    void accept();
    // Closing without Accept: the used marks stay as they were.
    void close();
    // Adds the fact that the entry makes between the chosen task and the task named `other`,
    // switched on and shown checked. Returns whether a fact was added or switched on.
    bool add(const std::string& relation_entry, const std::string& other);
    // The chosen task changes at once, without Accept.
    void set_start(bool is_start);
    void set_end(bool is_end);

    // The positions the lines show, line i showing positions()[i].
    const TintArray& positions() const { return positions_; }

private:
    std::optional<std::int32_t> distance_for(const std::string& symbol);

    ModalDialogs& dialogs_;
    Tfactslist* facts_ = nullptr;
    TintArray positions_;
    Ttask* chosen_ = nullptr;
    RelationsEditorState state_;
};

}  // namespace vesk
