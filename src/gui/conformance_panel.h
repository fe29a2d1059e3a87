#pragma once
// The inspector's conformance figures: one line of figures and the deviations per activity,
// hidden until "Check conformance".

#include <QWidget>

#include <optional>

#include "ui/relations_inspector_logic.h"

class QLabel;
class QTableWidget;

class ConformancePanel : public QWidget {
public:
    explicit ConformancePanel(QWidget* parent);
    void show_figures(const std::optional<vesk::InspectorConformance>& figures);

private:
    QLabel* summary_;
    QTableWidget* activities_;
};
