#pragma once
// Controls made with their object names, which are the names tests and help look them up by.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

inline QComboBox* named_combo(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    return box;
}

inline QCheckBox* named_check(QWidget* parent, const char* name, const char* caption, bool ticked) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(ticked);
    return box;
}

inline QPushButton* named_button(QWidget* parent, const char* name, const char* caption,
                                 bool enabled = true) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setEnabled(enabled);
    return button;
}

inline QLineEdit* named_line(QWidget* parent, const char* name, bool read_only = false) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(read_only);
    return edit;
}

inline QLabel* named_label(QWidget* parent, const char* name, const char* caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}
