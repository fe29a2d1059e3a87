#include "gui/inspector_figures.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/conformance_panel.h"
#include "gui/named_widgets.h"

InspectorFigures::InspectorFigures(QWidget* parent) : QGroupBox(parent) {
    setObjectName("GroupBox1");
    auto* figures_layout = new QVBoxLayout(this);
    time_info_ = new QTableWidget(5, 4, this);
    time_info_->setObjectName("Time_info");
    time_info_->setHorizontalHeaderLabels(
        {"Sync. time", "Waiting time", "Sojourn time", "Global flow time"});
    time_info_->setVerticalHeaderLabels(
        {"# Observations", "Mean", "Variance", "Minimum", "Maximum"});
    time_info_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    time_info_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    time_info_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    figures_layout->addWidget(time_info_);
    replay_summary_ = named_label(this, "Replay_summary", "");
    replay_summary_->setWordWrap(true);
    replay_summary_->setVisible(false);
    figures_layout->addWidget(replay_summary_);
    findings_ = new QListWidget(this);
    findings_->setObjectName("Replay_findings");
    findings_->setMaximumHeight(90);
    findings_->setVisible(false);
    figures_layout->addWidget(findings_);
    conformance_ = new ConformancePanel(this);
    figures_layout->addWidget(conformance_, 1);
}

void InspectorFigures::show_figures(const vesk::RelationsInspectorState& s) {
    show_times(s);
    replay_summary_->setText(QString::fromStdString(s.replay_summary));
    replay_summary_->setVisible(!s.replay_summary.empty());
    findings_->clear();
    for (const std::string& finding : s.findings)
        findings_->addItem(QString::fromStdString(finding));
    findings_->setVisible(!s.findings.empty());
    conformance_->show_figures(s.conformance);
}

void InspectorFigures::show_times(const vesk::RelationsInspectorState& s) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 5; ++r) {
            const QString text = QString::fromStdString(
                s.time_info[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)]);
            auto* item = time_info_->item(r, c);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                time_info_->setItem(r, c, item);
            }
            item->setText(text);
            item->setToolTip(QString::fromStdString(
                s.time_tips[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)]));
        }
}
