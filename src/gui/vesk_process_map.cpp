#include "gui/vesk_process_map.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "gui/map_picture_view.h"
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

QLayout* Tvesk_process_map_form::control_row() {
    auto* controls = new QHBoxLayout;
    activities_ = slider("map_activities");
    paths_ = slider("map_paths");
    activities_value_ = named_label(this, "map_activities_value", "100%");
    paths_value_ = named_label(this, "map_paths_value", "100%");
    shading_ = new QComboBox(this);
    shading_->setObjectName("map_shading");
    shading_->addItems({"Frequency", "Mean time", "Median time"});
    shading_->setToolTip(
        "What the shades say: how often, or how long a path takes (and an activity, where "
        "start and complete events are read)");
    nodes_ = new QComboBox(this);
    nodes_->setObjectName("map_nodes");
    nodes_->setToolTip(
        "What the nodes are: the activities, or the values of an event attribute (org:resource: "
        "who hands work to whom)");
    controls->addWidget(new QLabel("Nodes", this));
    controls->addWidget(nodes_);
    controls->addSpacing(16);
    controls->addWidget(new QLabel("Activities", this));
    controls->addWidget(activities_);
    controls->addWidget(activities_value_);
    controls->addSpacing(16);
    controls->addWidget(new QLabel("Paths", this));
    controls->addWidget(paths_);
    controls->addWidget(paths_value_);
    controls->addSpacing(16);
    controls->addWidget(new QLabel("Shade by", this));
    controls->addWidget(shading_);
    controls->addSpacing(16);
    auto* zoom_out = named_button(this, "map_zoom_out", "\u2212", true);
    auto* zoom_in = named_button(this, "map_zoom_in", "+", true);
    auto* fit = named_button(this, "map_fit", "Fit", true);
    save_ = named_button(this, "map_save", "Save picture...", false);
    for (QPushButton* button : {zoom_out, zoom_in, fit, save_})
        controls->addWidget(button);
    zoom_out->setToolTip("Zoom out (or turn the wheel over the map)");
    zoom_in->setToolTip("Zoom in (or turn the wheel over the map)");
    fit->setToolTip("The whole map in the view");
    connect(zoom_out, &QPushButton::clicked, this, [this] { picture_->zoom_by(1 / 1.4); });
    connect(zoom_in, &QPushButton::clicked, this, [this] { picture_->zoom_by(1.4); });
    connect(fit, &QPushButton::clicked, this, [this] { picture_->fit(); });
    connect(save_, &QPushButton::clicked, this, [this] { save_picture(); });
    controls->addStretch();
    return controls;
}

Tvesk_process_map_form::Tvesk_process_map_form(vesk::ProcessMapLogic& logic,
                                               vesk::ModalDialogs& dialogs)
    : QWidget(nullptr, Qt::Window), logic_(logic), dialogs_(dialogs) {
    setObjectName("Process_map_form");
    setWindowTitle("Process map");
    auto* layout = new QVBoxLayout(this);
    summary_ = named_label(this, "map_summary", "");
    layout->addWidget(summary_);
    layout->addLayout(control_row());
    auto* status = new QHBoxLayout;
    shown_ = named_label(this, "map_shown", "");
    busy_ = new QProgressBar(this);
    busy_->setObjectName("map_drawing");
    busy_->setRange(0, 0);
    busy_->setFormat("Drawing");
    busy_->setMaximumWidth(160);
    busy_->setVisible(false);
    status->addWidget(shown_, 1);
    status->addWidget(busy_);
    layout->addLayout(status);
    problem_ = named_label(this, "map_problem", "");
    problem_->setWordWrap(true);
    problem_->setVisible(false);
    layout->addWidget(problem_);
    split_ = new QSplitter(Qt::Vertical, this);
    picture_ = new MapPictureView(split_);
    picture_->setObjectName("map_picture");
    variants_ = new QListWidget(split_);
    variants_->setObjectName("map_variants");
    split_->addWidget(picture_);
    split_->addWidget(variants_);
    split_->setStretchFactor(0, 1);
    layout->addWidget(split_, 1);
    connect(activities_, &QSlider::valueChanged, this, [this] { redraw(); });
    connect(paths_, &QSlider::valueChanged, this, [this] { redraw(); });
    connect(shading_, &QComboBox::currentIndexChanged, this, [this] { redraw(); });
    connect(nodes_, &QComboBox::activated, this, [this](int index) {
        logic_.choose_nodes(index);
        redraw();
    });
    connect(&drawing_, &QFutureWatcher<vesk::MapDrawing>::finished, this,
            [this] { drawing_done(); });
    resize(1000, 760);
}

Tvesk_process_map_form::~Tvesk_process_map_form() {
    // A drawing still being made reads only its own request; its result is not wanted.
    drawing_.disconnect(this);
    drawing_.waitForFinished();
}

void Tvesk_process_map_form::open() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(size().boundedTo(screen->availableGeometry().size() * 9 / 10));
    // Most of the height for the map, the rest for the variants.
    split_->setSizes({height() * 3 / 4, height() / 4});
    show();
    raise();
    activateWindow();
    redraw();
}

void Tvesk_process_map_form::follow() {
    if (logic_.generation() != drawn_generation_) redraw();
}

bool Tvesk_process_map_form::drawing() const {
    // Until the drawing is taken in: the future ends before its watcher says so.
    return drawing_started_ || redraw_waiting_;
}

void Tvesk_process_map_form::redraw() {
    drawn_generation_ = logic_.generation();
    vesk::ProcessMapState& state = logic_.state();
    state.activity_percent = activities_->value();
    state.path_percent = paths_->value();
    state.shading = static_cast<vesk::MapShading>(shading_->currentIndex());
    activities_value_->setText(QString::number(state.activity_percent) + "%");
    paths_value_->setText(QString::number(state.path_percent) + "%");
    if (drawing_started_) {
        redraw_waiting_ = true;
        return;
    }
    start_drawing();
}

void Tvesk_process_map_form::start_drawing() {
    redraw_waiting_ = false;
    const std::optional<vesk::MapDrawingRequest> request = logic_.drawing_request();
    if (!request) {
        show_state();
        return;
    }
    busy_->setVisible(true);
    drawing_started_ = true;
    drawing_.setFuture(QtConcurrent::run(
        [request = *request] { return vesk::ProcessMapLogic::make_drawing(request); }));
}

void Tvesk_process_map_form::drawing_done() {
    drawing_started_ = false;
    logic_.accept(drawing_.result());
    if (redraw_waiting_) {
        start_drawing();
        return;
    }
    busy_->setVisible(false);
    show_state();
}

void Tvesk_process_map_form::show_state() {
    const vesk::ProcessMapState& state = logic_.state();
    summary_->setText(QString::fromStdString(state.summary));
    QStringList choices;
    for (const std::string& choice : state.node_choices)
        choices.push_back(QString::fromStdString(choice));
    QStringList listed;
    for (int i = 0; i < nodes_->count(); ++i)
        listed.push_back(nodes_->itemText(i));
    if (listed != choices) {
        nodes_->clear();
        nodes_->addItems(choices);
    }
    nodes_->setCurrentIndex(state.node_choice);
    nodes_->setEnabled(choices.size() > 1);
    shown_->setText(QString::fromStdString(state.shown));
    activities_value_->setText(QString::number(state.activity_percent) + "%");
    paths_value_->setText(QString::number(state.path_percent) + "%");
    std::string problem = state.problem;
    if (state.picture.empty()) {
        picture_->clear_picture();
    } else if (!picture_->show_svg(QString::fromStdString(state.picture.string()))) {
        problem = "The picture of the map could not be read.";
    }
    problem_->setText(QString::fromStdString(problem));
    problem_->setVisible(!problem.empty());
    save_->setEnabled(picture_->has_picture());
    variants_->clear();
    for (const std::string& line : state.variants)
        variants_->addItem(QString::fromStdString(line));
}

void Tvesk_process_map_form::save_picture() {
    const std::optional<std::string> path =
        dialogs_.save_file(vesk::kPictureFilter, "process map.svg");
    if (!path) return;
    const std::string problem = logic_.save_picture(*path);
    if (!problem.empty()) dialogs_.error(problem);
}
