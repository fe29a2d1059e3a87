#include "gui/conformance_panel.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

ConformancePanel::ConformancePanel(QWidget* parent) : QWidget(parent) {
    setObjectName("Conformance_panel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    summary_ = new QLabel(this);
    summary_->setObjectName("Conformance_info");
    summary_->setWordWrap(true);
    activities_ = new QTableWidget(0, 4, this);
    activities_->setObjectName("Conformance_table");
    activities_->setHorizontalHeaderLabels({"Activity", "In step", "Not allowed there", "Skipped"});
    activities_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    activities_->verticalHeader()->setVisible(false);
    activities_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(summary_);
    layout->addWidget(activities_);
    setVisible(false);
}

void ConformancePanel::show_figures(const std::optional<vesk::InspectorConformance>& figures) {
    const vesk::InspectorConformance* now = figures ? &*figures : nullptr;
    setVisible(now != nullptr);
    if (now == nullptr) return;
    summary_->setText(QString::fromStdString(now->summary));
    activities_->setRowCount(static_cast<int>(now->activities.size()));
    for (int r = 0; r < activities_->rowCount(); ++r)
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(
                now->activities[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]));
            if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            activities_->setItem(r, c, item);
        }
}
