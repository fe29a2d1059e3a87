#include "gui/vesk_relations_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/choice_list_widget.h"
#include "gui/named_widgets.h"

TVesk_relations_editor_form::TVesk_relations_editor_form(QWidget* owner) : QDialog(owner) {
    setObjectName("Vesk_relations_editor_form");
    setWindowTitle("Vesk relations editor");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
    setModal(true);
    // Room for the fixed-pitch lines of long task names and the group below them.
    resize(680, 420);
    setMinimumSize(560, 360);

    auto* layout = new QVBoxLayout(this);
    checklist_ = new QListWidget(this);
    checklist_->setObjectName("Checklist");
    checklist_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    checklist_->setMinimumHeight(173);
    layout->addWidget(checklist_, 1);
    auto* bottom = new QHBoxLayout;
    QPushButton* add = build_facts_group(bottom);
    auto* side = new QVBoxLayout;
    auto* label =
        new QLabel("When accepting,  all the checked facts are used in further calculations", this);
    label->setObjectName("Label1");
    label->setWordWrap(true);
    label->setMinimumWidth(170);
    label->setMaximumWidth(190);
    auto* accept_button = named_button(this, "Accept_button", "Accept");
    side->addWidget(label);
    side->addWidget(accept_button);
    bottom->addLayout(side);
    layout->addLayout(bottom);
    connect_controls(add, accept_button);
}

QPushButton* TVesk_relations_editor_form::build_facts_group(QHBoxLayout* bottom) {
    auto* group = new QGroupBox("Edit facts", this);
    group->setObjectName("GroupBox1");
    auto* grid = new QGridLayout(group);
    chosen_fact_ = new QLabel(group);
    chosen_fact_->setObjectName("Chosen_fact");
    relations_list_ = new QComboBox(group);
    relations_list_->setObjectName("Relations_List");
    relations_list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_of_tasks_ = new QComboBox(group);
    list_of_tasks_->setObjectName("List_of_tasks");
    auto* add = named_button(group, "Add_relation_button", "Add");
    task_is_start_ =
        named_check(group, "task_is_start", "Is possible start-task of a trace", false);
    task_is_end_ = named_check(group, "task_is_end", "Is possible end-task of a trace", false);
    grid->addWidget(chosen_fact_, 0, 0);
    grid->addWidget(relations_list_, 0, 1);
    grid->addWidget(list_of_tasks_, 0, 2);
    grid->addWidget(add, 0, 3);
    grid->addWidget(task_is_start_, 1, 0, 1, 2);
    grid->addWidget(task_is_end_, 1, 2, 1, 2);
    bottom->addWidget(group, 1);
    return add;
}

void TVesk_relations_editor_form::connect_controls(QPushButton* add, QPushButton* accept_button) {
    connect(accept_button, &QPushButton::clicked, this, [this] {
        if (logic_ == nullptr) return;
        read_controls();
        logic_->accept();
        accept();
    });
    connect(add, &QPushButton::clicked, this, [this] {
        if (logic_ == nullptr) return;
        read_controls();
        logic_->add(relations_list_->currentText().toStdString(),
                    list_of_tasks_->currentText().toStdString());
        show_state();
    });
    connect(task_is_start_, &QCheckBox::clicked, this, [this](bool checked) {
        if (logic_ != nullptr) logic_->set_start(checked);
    });
    connect(task_is_end_, &QCheckBox::clicked, this, [this](bool checked) {
        if (logic_ != nullptr) logic_->set_end(checked);
    });
}

void TVesk_relations_editor_form::edit(vesk::RelationsEditorLogic& logic) {
    logic_ = &logic;
    show_state();
    exec();
    logic_ = nullptr;
}

void TVesk_relations_editor_form::read_controls() {
    vesk::RelationsEditorState& s = logic_->state();
    s.relations_list.selected = relations_list_->currentIndex();
    s.list_of_tasks.selected = list_of_tasks_->currentIndex();
    auto& lines = s.checklist;
    for (int i = 0; i < checklist_->count() && static_cast<std::size_t>(i) < lines.size(); ++i)
        lines[static_cast<std::size_t>(i)].checked =
            checklist_->item(i)->checkState() == Qt::Checked;
}

void TVesk_relations_editor_form::show_state() {
    const vesk::RelationsEditorState& s = logic_->state();
    checklist_->clear();
    for (const vesk::CheckLine& line : s.checklist) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.text), checklist_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(line.checked ? Qt::Checked : Qt::Unchecked);
    }
    chosen_fact_->setText(QString::fromStdString(s.chosen_fact));
    show_choice_list(relations_list_, s.relations_list);
    show_choice_list(list_of_tasks_, s.list_of_tasks);
    task_is_start_->setChecked(s.task_is_start);
    task_is_end_->setChecked(s.task_is_end);
    task_is_start_->setEnabled(s.start_end_enabled);
    task_is_end_->setEnabled(s.start_end_enabled);
}
