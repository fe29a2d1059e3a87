#pragma once
// A drop-down list shown from the logic's ChoiceList, and read back into one.

#include <QComboBox>

#include "ui/choice_list.h"

inline void show_choice_list(QComboBox* box, const vesk::ChoiceList& list) {
    box->clear();
    for (const std::string& item : list.items)
        box->addItem(QString::fromStdString(item));
    box->setCurrentIndex(list.selected);
}

inline vesk::ChoiceList read_choice_list(const QComboBox* box) {
    vesk::ChoiceList list;
    for (int i = 0; i < box->count(); ++i)
        list.items.push_back(box->itemText(i).toStdString());
    list.selected = box->currentIndex();
    return list;
}
