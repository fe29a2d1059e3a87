#pragma once
// The inspector's noise threshold box: 0 to 1 in steps of 0.05.

#include <QDoubleSpinBox>

inline QDoubleSpinBox* noise_box(QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName("noise_threshold");
    box->setRange(0.0, 1.0);
    box->setSingleStep(0.05);
    box->setDecimals(2);
    box->setToolTip(
        "The share of behaviour the inductive construction treats as infrequent and leaves out; "
        "0 keeps everything, and the log then fits the net.");
    return box;
}
