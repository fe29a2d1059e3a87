#pragma once
// The inspector's figures under its picture: the times of the clicked place and the flow time
// of the cases, the last replay's cases and fitness with what it found, and the conformance
// figures.

#include <QGroupBox>

#include "ui/relations_inspector_logic.h"

class ConformancePanel;
class QLabel;
class QListWidget;
class QTableWidget;

class InspectorFigures : public QGroupBox {
public:
    explicit InspectorFigures(QWidget* parent);
    void show_figures(const vesk::RelationsInspectorState& state);

private:
    void show_times(const vesk::RelationsInspectorState& state);

    QTableWidget* time_info_;
    QLabel* replay_summary_;
    QListWidget* findings_;
    ConformancePanel* conformance_;
};
