#include "gui/vesk_process_map.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QSplitter>
#include <QVBoxLayout>

#include "gui/named_widgets.h"

QSlider* Tvesk_process_map_form::slider(const char* name) {
    auto* control = new QSlider(Qt::Horizontal, this);
    control->setObjectName(name);
    control->setRange(0, 100);
    control->setValue(100);
    control->setPageStep(10);
    // dot draws on each change: while the handle is dragged, only where it is let go.
    control->setTracking(false);
    control->setMinimumWidth(140);
    return control;
}

Tvesk_process_map_form::Tvesk_process_map_form(vesk::ProcessMapLogic& logic)
    : QWidget(nullptr, Qt::Window), logic_(logic) {
    setObjectName("Process_map_form");
    setWindowTitle("Process map");
    auto* layout = new QVBoxLayout(this);
    summary_ = named_label(this, "map_summary", "");
    layout->addWidget(summary_);
    auto* controls = new QHBoxLayout;
    activities_ = slider("map_activities");
    paths_ = slider("map_paths");
    activities_value_ = named_label(this, "map_activities_value", "100%");
    paths_value_ = named_label(this, "map_paths_value", "100%");
    by_time_ = named_check(this, "map_shade_by_time", "Paths by mean time", false);
    controls->addWidget(new QLabel("Activities", this));
    controls->addWidget(activities_);
    controls->addWidget(activities_value_);
    controls->addSpacing(16);
    controls->addWidget(new QLabel("Paths", this));
    controls->addWidget(paths_);
    controls->addWidget(paths_value_);
    controls->addSpacing(16);
    controls->addWidget(by_time_);
    fit_ = named_check(this, "map_fit", "Fit", true);
    fit_->setToolTip("The whole map in the view; untick for its natural size");
    controls->addWidget(fit_);
    controls->addStretch();
    layout->addLayout(controls);
    shown_ = named_label(this, "map_shown", "");
    layout->addWidget(shown_);
    split_ = new QSplitter(Qt::Vertical, this);
    scroll_ = new QScrollArea(split_);
    picture_ = named_label(scroll_, "map_picture", "");
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setWordWrap(true);
    scroll_->setWidget(picture_);
    scroll_->setWidgetResizable(true);
    variants_ = new QListWidget(split_);
    variants_->setObjectName("map_variants");
    split_->addWidget(scroll_);
    split_->addWidget(variants_);
    layout->addWidget(split_, 1);
    connect(activities_, &QSlider::valueChanged, this, [this] { redraw(); });
    connect(paths_, &QSlider::valueChanged, this, [this] { redraw(); });
    connect(by_time_, &QCheckBox::toggled, this, [this] { redraw(); });
    connect(fit_, &QCheckBox::toggled, this, [this] { show_picture(); });
    resize(900, 700);
}

void Tvesk_process_map_form::open() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(size().boundedTo(screen->availableGeometry().size() * 9 / 10));
    // Most of the height for the map, the rest for the variants.
    split_->setSizes({height() * 3 / 4, height() / 4});
    redraw();
    show();
    raise();
    activateWindow();
}

void Tvesk_process_map_form::follow() {
    if (logic_.generation() != drawn_generation_) redraw();
}

void Tvesk_process_map_form::redraw() {
    drawn_generation_ = logic_.generation();
    vesk::ProcessMapState& state = logic_.state();
    state.activity_percent = activities_->value();
    state.path_percent = paths_->value();
    state.shade_by_time = by_time_->isChecked();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    logic_.draw();
    QApplication::restoreOverrideCursor();
    show_state();
}

void Tvesk_process_map_form::show_state() {
    const vesk::ProcessMapState& state = logic_.state();
    summary_->setText(QString::fromStdString(state.summary));
    shown_->setText(QString::fromStdString(state.shown));
    activities_value_->setText(QString::number(state.activity_percent) + "%");
    paths_value_->setText(QString::number(state.path_percent) + "%");
    drawing_ = QPixmap();
    if (state.picture.empty() || !drawing_.load(QString::fromStdString(state.picture.string()))) {
        drawing_ = QPixmap();
        picture_->setPixmap(QPixmap());
        picture_->setText(QString::fromStdString(
            state.problem.empty() ? "The picture of the map could not be read." : state.problem));
    }
    show_picture();
    variants_->clear();
    for (const std::string& line : state.variants)
        variants_->addItem(QString::fromStdString(line));
}

void Tvesk_process_map_form::show_picture() {
    if (drawing_.isNull()) return;
    const QSize room = scroll_->viewport()->size() - QSize(4, 4);
    const bool larger = drawing_.width() > room.width() || drawing_.height() > room.height();
    picture_->setPixmap(fit_->isChecked() && larger && !room.isEmpty()
                            ? drawing_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            : drawing_);
}

void Tvesk_process_map_form::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    show_picture();
}
