#include "gui/vesk_relations.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "gui/capped_text.h"
#include "gui/choice_list_widget.h"
#include "gui/forwarded_dialogs.h"
#include "gui/inspector_figures.h"
#include "gui/named_widgets.h"
#include "gui/noise_box.h"
#include "gui/picture_first_splitter.h"
#include "gui/vesk_relations_editor.h"

using vesk::RelationsInspectorLogic;

// The program's dialogs, the relations editor with the inspector disabled while it is open,
// and the main window's progress.
class Tvesk_relations_inspector::Dialogs : public ForwardedDialogs<vesk::InspectorDialogs> {
public:
    Dialogs(Tvesk_relations_inspector& window, vesk::ModalDialogs*& modal,
            TVesk_relations_editor_form& editor, std::function<void(bool)> busy)
        : ForwardedDialogs(modal), window_(window), editor_(editor), busy_(std::move(busy)) {}
    void edit_relations(vesk::RelationsEditorLogic& editor) override {
        window_.setEnabled(false);
        editor_.edit(editor);
        window_.setEnabled(true);
        window_.activateWindow();
    }
    void busy(bool busy) override {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
        window_.set_working(busy);
        if (busy_) busy_(busy);
    }

private:
    Tvesk_relations_inspector& window_;
    TVesk_relations_editor_form& editor_;
    std::function<void(bool)> busy_;
};

Tvesk_relations_inspector::Tvesk_relations_inspector(vesk::Tvesk_util& controller,
                                                     vesk::ModalDialogs*& dialogs,
                                                     TVesk_relations_editor_form& editor,
                                                     vesk::InspectorDrawing drawing,
                                                     std::function<void(bool)> busy, QWidget* owner)
    : QWidget(owner, Qt::Window),
      dialogs_(std::make_unique<Dialogs>(*this, dialogs, editor, std::move(busy))),
      logic_(std::make_unique<RelationsInspectorLogic>(controller, *dialogs_, std::move(drawing))) {
    setObjectName("vesk_relations_inspector");
    setWindowTitle("Vesk relations inspector");
    resize(700, 550);
    setMinimumSize(700, 500);

    // The picture above the figures, each as high as the user drags it; the commands below, at
    // the full width of the window, so that every column of the figures shows at the default
    // size.
    auto* layout = new QVBoxLayout(this);
    auto* splitter = new PictureFirstSplitter(this);
    splitter->setObjectName("picture_figures_splitter");
    auto* picture_side = new QWidget(splitter);
    auto* picture_layout = new QVBoxLayout(picture_side);
    picture_layout->setContentsMargins(0, 0, 0, 0);
    build_picture(picture_layout);
    splitter->addWidget(picture_side);
    figures_ = new InspectorFigures(splitter);
    splitter->addWidget(figures_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter, 1);
    layout->addWidget(build_check_group(), 0);
    add_shortcuts();
    round_trip_.show();
}

void Tvesk_relations_inspector::build_picture(QVBoxLayout* layout) {
    scroll_box_ = new QScrollArea(this);
    scroll_box_->setObjectName("ScrollBox1");
    scroll_box_->setAlignment(Qt::AlignCenter);
    picture_ =
        named_label(scroll_box_, "Petrinet_image", "Make Petrinet (alpha) draws the net here.");
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setScaledContents(true);
    picture_->setMouseTracking(true);
    picture_->installEventFilter(this);
    scroll_box_->setWidget(picture_);
    scroll_box_->viewport()->installEventFilter(this);
    layout->addWidget(scroll_box_, 1);
    // The structure line, with the noise grid after Best noise: four lines at the most, the picture
    // keeps its room.
    structure_ = new CappedText(this, "Structure_info", 4);
    structure_->setVisible(false);
    layout->addWidget(structure_);
    auto* progress_row = new QHBoxLayout;
    progress_ = named_label(this, "Inspector_progress", "");
    progress_->setVisible(false);
    cancel_ = named_button(this, "Inspector_cancel", "Cancel");
    cancel_->setToolTip(
        "Stop the replay between two cases, or the alignments between two variants; no "
        "figures are shown then");
    cancel_->setVisible(false);
    connect(cancel_, &QPushButton::clicked, this, [this] { cancel_asked_ = true; });
    progress_row->addWidget(progress_, 1);
    progress_row->addWidget(cancel_);
    layout->addLayout(progress_row);
}

QPushButton* Tvesk_relations_inspector::command_button(QWidget* parent, const char* name,
                                                       const char* caption, Command command) {
    auto* button = named_button(parent, name, caption);
    connect(button, &QPushButton::clicked, this,
            [this, command] { run([this, command] { (logic_.get()->*command)(); }); });
    return button;
}

QWidget* Tvesk_relations_inspector::build_check_group() {
    using Logic = RelationsInspectorLogic;
    auto* check = new QGroupBox("Check the shown Petrinet for errors", this);
    check->setObjectName("GroupBox2");
    auto* grid = new QGridLayout(check);
    auto* open_xml = command_button(check, "open_XML", "Open XML log", &Logic::open_xml);
    available_processes_ = named_combo(check, "Available_processes");
    auto* replay = command_button(check, "Replay_process_button", "Replay selected process",
                                  &Logic::replay_process);
    erroneous_sets_ = named_combo(check, "Erroneous_sets");
    auto* edit_set = command_button(check, "Edit_erroneous_relations_button", "Edit selected set",
                                    &Logic::edit_erroneous_set);
    auto* make_petrinet = command_button(check, "Make_Petrinet_button", "Make Petrinet (alpha)",
                                         &Logic::make_petrinet);
    make_petrinet_2_ = command_button(check, "Make_Petrinet_2_button", "Make Petrinet (new)",
                                      &Logic::make_petrinet_2);
    split_short_loops_ =
        named_check(check, "split_short_loops_check", "Split up short loops", false);
    combine_places_ = named_check(check, "combine_places_check", "Combine places", false);
    auto* make_inductive =
        command_button(check, "Make_Petrinet_inductive_button", "Make Petrinet (inductive)",
                       &Logic::make_petrinet_inductive);
    noise_ = noise_box(check);
    auto* best_noise =
        command_button(check, "Best_noise_button", "Best noise", &Logic::make_petrinet_best_noise);
    best_noise->setToolTip(
        "Make the inductive net at 0, 0.05, 0.1, 0.2, 0.3 and 0.4 and keep the one whose "
        "alignment fitness and precision on the log have the best F-score");
    auto* conformance = command_button(check, "Check_conformance_button", "Check conformance",
                                       &Logic::check_conformance);
    grid->addWidget(open_xml, 0, 0);
    grid->addWidget(named_label(check, "Label17", "Select an available process"), 0, 1);
    grid->addWidget(available_processes_, 0, 2);
    grid->addWidget(replay, 0, 3);
    grid->addWidget(named_label(check, "Label1", "Set of erroneus relations"), 1, 1);
    grid->addWidget(erroneous_sets_, 1, 2);
    grid->addWidget(edit_set, 1, 3);
    grid->addWidget(make_petrinet, 2, 0);
    grid->addWidget(make_petrinet_2_, 2, 1);
    grid->addWidget(split_short_loops_, 2, 2);
    grid->addWidget(combine_places_, 2, 3);
    grid->addWidget(make_inductive, 3, 0);
    grid->addWidget(named_label(check, "noise_label", "Noise threshold"), 3, 1);
    auto* noise_row = new QHBoxLayout;
    noise_row->addWidget(noise_, 1);
    noise_row->addWidget(best_noise);
    grid->addLayout(noise_row, 3, 2);
    grid->addWidget(conformance, 3, 3);
    grid->addLayout(zoom_row(check), 4, 0, 1, 4);
    return check;
}

QLayout* Tvesk_relations_inspector::zoom_row(QWidget* check) {
    using Logic = RelationsInspectorLogic;
    auto* row = new QHBoxLayout;
    for (QPushButton* b : {command_button(check, "Zoom_out_button", "-", &Logic::zoom_out),
                           command_button(check, "zoom_normal_button", "100%", &Logic::zoom_normal),
                           command_button(check, "zoom_in_button", "+", &Logic::zoom_in)}) {
        b->setToolTip("Ctrl + mouse wheel, Ctrl+-, Ctrl+0, Ctrl++");
        row->addWidget(b);
    }
    auto* fit = named_button(check, "zoom_fit_button", "Fit");
    fit->setToolTip("The whole net in the view");
    connect(fit, &QPushButton::clicked, this, [this] {
        const QSize view = scroll_box_->viewport()->size();
        run([this, view] { logic_->zoom_to_fit(view.width(), view.height()); });
    });
    row->addWidget(fit);
    auto* close_button = named_button(check, "Close_button", "Close");
    connect(close_button, &QPushButton::clicked, this, &QWidget::close);
    row->addStretch();
    row->addWidget(close_button);
    return row;
}

void Tvesk_relations_inspector::add_shortcuts() {
    const auto shortcut = [this](const QKeySequence& keys, Command command) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this, command] { run([this, command] { (logic_.get()->*command)(); }); });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus), &RelationsInspectorLogic::zoom_in);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), &RelationsInspectorLogic::zoom_in);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), &RelationsInspectorLogic::zoom_out);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), &RelationsInspectorLogic::zoom_normal);
    // The second construction is for those who know it: one key shows or hides it.
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N),
             &RelationsInspectorLogic::toggle_construction_controls);
}

Tvesk_relations_inspector::~Tvesk_relations_inspector() = default;

void Tvesk_relations_inspector::show_on_screen() {
    // Opened where the window system puts it, it may reach below the screen's edge with its
    // Close button. The frame is known only once the window shows, so it is fitted twice.
    const auto fit = [this] {
        const QScreen* here = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
        if (here == nullptr) return;
        const QRect free = here->availableGeometry();
        const QSize frame_extra = frameGeometry().size() - size();
        resize(size().boundedTo(free.size() - frame_extra));
        QRect frame = frameGeometry();
        frame.moveBottom(std::min(frame.bottom(), free.bottom()));
        frame.moveRight(std::min(frame.right(), free.right()));
        frame.moveTop(std::max(frame.top(), free.top()));
        frame.moveLeft(std::max(frame.left(), free.left()));
        move(frame.topLeft());
    };
    fit();
    show();
    fit();
    raise();
}

void Tvesk_relations_inspector::Open_with_task_list(const std::string& log_file,
                                                    bool resolve_externals,
                                                    const std::string& process) {
    logic_->open_with_task_list(log_file, resolve_externals, process);
    round_trip_.show();
    show_on_screen();
}

void Tvesk_relations_inspector::Open_with_relations_file(const std::string& relations_file,
                                                         bool resolve_externals) {
    logic_->open_with_relations_file(relations_file, resolve_externals);
    round_trip_.show();
    show_on_screen();
}

QPoint Tvesk_relations_inspector::control_position(const vesk::Trectangle& r) const {
    const int zoom = logic_->state().zoom;
    const auto scaled = [zoom](int v) {
        return vesk::divide_rounding_half_even(std::int64_t{v} * zoom, 100);
    };
    return {scaled((r.x1 + r.x2) / 2), scaled((r.y1 + r.y2) / 2)};
}

void Tvesk_relations_inspector::read_controls() {
    vesk::RelationsInspectorState& s = logic_->state();
    s.available_processes.selected = available_processes_->currentIndex();
    s.erroneous_sets.selected = erroneous_sets_->currentIndex();
    s.split_short_loops = split_short_loops_->isChecked();
    s.combine_places = combine_places_->isChecked();
    s.noise = noise_->value();
}

void Tvesk_relations_inspector::show_controls() {
    const vesk::RelationsInspectorState& s = logic_->state();
    show_choice_list(available_processes_, s.available_processes);
    show_choice_list(erroneous_sets_, s.erroneous_sets);
    split_short_loops_->setChecked(s.split_short_loops);
    combine_places_->setChecked(s.combine_places);
    noise_->setValue(s.noise);
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{make_petrinet_2_, split_short_loops_, combine_places_})
        hidden->setVisible(s.construction_controls_visible);
    structure_->set_text(QString::fromStdString(s.structure));
    structure_->setVisible(!s.structure.empty());
    structure_->label().setStyleSheet(
        s.structure.starts_with("The net is broken") ? "color: #a0201b;" : "");
    figures_->show_figures(s);
    show_picture();
    picture_->setCursor(s.hand_pointer ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void Tvesk_relations_inspector::show_picture() {
    const vesk::RgbPicture* picture = logic_->state().picture.get();
    const auto& marked = logic_->state().marked_place;
    if (picture != shown_picture_ || marked != shown_mark_) {
        shown_picture_ = picture;
        shown_mark_ = marked;
        if (picture == nullptr) {
            picture_->setPixmap({});
            picture_->setText("Make Petrinet (alpha) draws the net here.");
            picture_->adjustSize();
        } else {
            const QImage image(picture->pixels.data(), picture->width, picture->height,
                               picture->width * 3, QImage::Format_RGB888);
            QPixmap pixmap = QPixmap::fromImage(image.copy());
            if (marked) {
                // The clicked place, so that its figures are seen to be its own.
                QPainter painter(&pixmap);
                painter.setPen(QPen(QColor(200, 30, 30), 3));
                const auto& [left, top, right, bottom] = *marked;
                painter.drawRect(QRect(QPoint(left - 3, top - 3), QPoint(right + 3, bottom + 3)));
            }
            picture_->setPixmap(pixmap);
        }
    }
    if (picture == nullptr) return;
    const QSize natural(picture->width, picture->height);
    picture_->resize(logic_->picture_width(), logic_->picture_height());
    if (natural == shown_natural_size_) return;
    // Another net: its start, on the left half way down, comes into view (a replay of the
    // same net keeps the view where the user left it).
    shown_natural_size_ = natural;
    scroll_box_->horizontalScrollBar()->setValue(0);
    QScrollBar* vertical = scroll_box_->verticalScrollBar();
    vertical->setValue((vertical->maximum() + vertical->minimum()) / 2);
}

void Tvesk_relations_inspector::closeEvent(QCloseEvent* event) {
    if (working_) {
        // Closed in the middle of a step: the step stops first, and the window stays.
        cancel_asked_ = true;
        event->ignore();
        return;
    }
    if (logic_->state().visible) logic_->close();
    round_trip_.show();
    event->accept();
    emit closed();
}

bool Tvesk_relations_inspector::eventFilter(QObject* watched, QEvent* event) {
    const bool on_picture = watched == picture_;
    if (!on_picture && watched != scroll_box_->viewport())
        return QWidget::eventFilter(watched, event);
    bool handled = false;
    switch (event->type()) {
        case QEvent::Wheel:
            handled = wheel_turned(*static_cast<QWheelEvent*>(event));
            break;
        case QEvent::MouseButtonPress:
            handled = button_pressed(*static_cast<QMouseEvent*>(event), on_picture);
            break;
        case QEvent::MouseMove:
            handled = mouse_moved(*static_cast<QMouseEvent*>(event), on_picture);
            break;
        case QEvent::MouseButtonRelease:
            handled = button_released(*static_cast<QMouseEvent*>(event));
            break;
        default:
            break;
    }
    return handled || QWidget::eventFilter(watched, event);
}

bool Tvesk_relations_inspector::wheel_turned(const QWheelEvent& wheel) {
    if (!(wheel.modifiers() & Qt::ControlModifier)) return false;
    if (wheel.angleDelta().y() > 0)
        run([this] { logic_->zoom_in(); });
    else if (wheel.angleDelta().y() < 0)
        run([this] { logic_->zoom_out(); });
    return true;
}

bool Tvesk_relations_inspector::button_pressed(const QMouseEvent& mouse, bool on_picture) {
    if (mouse.button() != Qt::LeftButton) return false;
    pressed_ = true;
    dragged_ = false;
    if (on_picture) {
        // The click is where the button went down, whatever moves came before.
        const QPoint at = mouse.position().toPoint();
        run([this, at] { logic_->mouse_move(at.x(), at.y()); });
    }
    drag_start_ = mouse.globalPosition().toPoint();
    scroll_start_ = {scroll_box_->horizontalScrollBar()->value(),
                     scroll_box_->verticalScrollBar()->value()};
    return true;
}

bool Tvesk_relations_inspector::mouse_moved(const QMouseEvent& mouse, bool on_picture) {
    if (pressed_) {
        const QPoint moved = mouse.globalPosition().toPoint() - drag_start_;
        if (moved.manhattanLength() >= QApplication::startDragDistance()) dragged_ = true;
        if (dragged_) {
            scroll_box_->horizontalScrollBar()->setValue(scroll_start_.x() - moved.x());
            scroll_box_->verticalScrollBar()->setValue(scroll_start_.y() - moved.y());
            picture_->setCursor(Qt::ClosedHandCursor);
            return true;
        }
    }
    if (on_picture) {
        const QPoint at = mouse.position().toPoint();
        run([this, at] { logic_->mouse_move(at.x(), at.y()); });
    }
    return true;
}

bool Tvesk_relations_inspector::button_released(const QMouseEvent& mouse) {
    if (mouse.button() != Qt::LeftButton || !pressed_) return false;
    pressed_ = false;
    if (dragged_) {
        dragged_ = false;
        round_trip_.show();
        return true;
    }
    run([this] { logic_->click(); });
    return true;
}

void Tvesk_relations_inspector::show_progress(const QString& text) {
    progress_->setText(text);
    progress_->setVisible(!text.isEmpty());
    cancel_->setVisible(!text.isEmpty());
    progress_->repaint();
}

void Tvesk_relations_inspector::set_working(bool working) {
    working_ = working;
    cancel_asked_ = false;
    if (!working) show_progress({});
}
