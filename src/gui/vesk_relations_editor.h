#pragma once
// The relations editor: a small tool window over RelationsEditorLogic. The check marks and
// choices are read into the logic before each of its commands, so nothing the user set is lost
// when the lists are shown again.

#include <QDialog>

#include "ui/relations_editor_logic.h"

class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QComboBox;
class QLabel;
class QListWidget;

class TVesk_relations_editor_form : public QDialog {
    Q_OBJECT
public:
    explicit TVesk_relations_editor_form(QWidget* owner = nullptr);

    // Shows the editor on the opened logic and returns when it has been closed, with Accept or
    // without.
    void edit(vesk::RelationsEditorLogic& logic);

private:
    // The group under the check list; returns its Add button.
    QPushButton* build_facts_group(QHBoxLayout* bottom);
    void connect_controls(QPushButton* add, QPushButton* accept_button);
    void read_controls();
    void show_state();

    vesk::RelationsEditorLogic* logic_ = nullptr;
    QListWidget* checklist_;
    QLabel* chosen_fact_;
    QComboBox *relations_list_, *list_of_tasks_;
    QCheckBox *task_is_start_, *task_is_end_;
};
