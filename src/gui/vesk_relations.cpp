#include "gui/vesk_relations.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "gui/choice_list_widget.h"
#include "gui/forwarded_dialogs.h"
#include "gui/named_widgets.h"
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

    auto* layout = new QVBoxLayout(this);
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

    auto* bottom = new QHBoxLayout;
    auto* check = new QGroupBox("Check the shown Petrinet for errors", this);
    check->setObjectName("GroupBox2");
    auto* grid = new QGridLayout(check);
    auto* open_xml = named_button(check, "open_XML", "Open XML log");
    available_processes_ = new QComboBox(check);
    available_processes_->setObjectName("Available_processes");
    auto* replay = named_button(check, "Replay_process_button", "Replay selected process");
    erroneous_sets_ = new QComboBox(check);
    erroneous_sets_->setObjectName("Erroneous_sets");
    auto* edit_set = named_button(check, "Edit_erroneous_relations_button", "Edit selected set");
    auto* make_petrinet = named_button(check, "Make_Petrinet_button", "Make Petrinet (alpha)");
    make_petrinet_2_ = named_button(check, "Make_Petrinet_2_button", "Make Petrinet (new)");
    split_short_loops_ = new QCheckBox("Split up short loops", check);
    split_short_loops_->setObjectName("split_short_loops_check");
    combine_places_ = new QCheckBox("Combine places", check);
    combine_places_->setObjectName("combine_places_check");
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
    auto* zoom_row = new QHBoxLayout;
    auto* zoom_out = named_button(check, "Zoom_out_button", "-");
    auto* zoom_normal = named_button(check, "zoom_normal_button", "100%");
    auto* zoom_in = named_button(check, "zoom_in_button", "+");
    for (QPushButton* b : {zoom_out, zoom_normal, zoom_in}) {
        b->setToolTip("Ctrl + mouse wheel, Ctrl+-, Ctrl+0, Ctrl++");
        zoom_row->addWidget(b);
    }
    auto* close_button = named_button(check, "Close_button", "Close");
    zoom_row->addStretch();
    zoom_row->addWidget(close_button);
    grid->addLayout(zoom_row, 3, 0, 1, 4);
    bottom->addWidget(check, 0);

    auto* figures = new QGroupBox(this);
    figures->setObjectName("GroupBox1");
    auto* figures_layout = new QVBoxLayout(figures);
    time_info_ = new QTableWidget(5, 4, figures);
    time_info_->setObjectName("Time_info");
    time_info_->setHorizontalHeaderLabels(
        {"Sync. time", "Waiting time", "Sojourn time", "Global flow time"});
    time_info_->setVerticalHeaderLabels(
        {"# Observations", "Mean", "Variance", "Minimum", "Maximum"});
    time_info_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    time_info_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    time_info_->horizontalHeader()->setStretchLastSection(true);
    time_info_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    figures_layout->addWidget(time_info_);
    bottom->addWidget(figures, 1);
    layout->addLayout(bottom);

    connect(open_xml, &QPushButton::clicked, this, [this] { run([this] { logic_->open_xml(); }); });
    connect(replay, &QPushButton::clicked, this,
            [this] { run([this] { logic_->replay_process(); }); });
    connect(edit_set, &QPushButton::clicked, this,
            [this] { run([this] { logic_->edit_erroneous_set(); }); });
    connect(make_petrinet, &QPushButton::clicked, this,
            [this] { run([this] { logic_->make_petrinet(); }); });
    connect(make_petrinet_2_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->make_petrinet_2(); }); });
    connect(zoom_in, &QPushButton::clicked, this, [this] { run([this] { logic_->zoom_in(); }); });
    connect(zoom_out, &QPushButton::clicked, this, [this] { run([this] { logic_->zoom_out(); }); });
    connect(zoom_normal, &QPushButton::clicked, this,
            [this] { run([this] { logic_->zoom_normal(); }); });
    connect(close_button, &QPushButton::clicked, this, &QWidget::close);

    const auto shortcut = [this](const QKeySequence& keys, auto command) {
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
    round_trip_.show();
}

Tvesk_relations_inspector::~Tvesk_relations_inspector() = default;

void Tvesk_relations_inspector::Open_with_task_list(const std::string& log_file,
                                                    bool resolve_externals,
                                                    const std::string& process) {
    logic_->open_with_task_list(log_file, resolve_externals, process);
    round_trip_.show();
    show();
    raise();
}

void Tvesk_relations_inspector::Open_with_relations_file(const std::string& relations_file,
                                                         bool resolve_externals) {
    logic_->open_with_relations_file(relations_file, resolve_externals);
    round_trip_.show();
    show();
    raise();
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
}

void Tvesk_relations_inspector::show_controls() {
    const vesk::RelationsInspectorState& s = logic_->state();
    show_choice_list(available_processes_, s.available_processes);
    show_choice_list(erroneous_sets_, s.erroneous_sets);
    split_short_loops_->setChecked(s.split_short_loops);
    combine_places_->setChecked(s.combine_places);
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{make_petrinet_2_, split_short_loops_, combine_places_})
        hidden->setVisible(s.construction_controls_visible);
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
        }
    show_picture();
    picture_->setCursor(s.hand_pointer ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void Tvesk_relations_inspector::show_picture() {
    const vesk::RgbPicture* picture = logic_->state().picture.get();
    if (picture != shown_picture_) {
        shown_picture_ = picture;
        if (picture == nullptr) {
            picture_->setPixmap({});
            picture_->setText("Make Petrinet (alpha) draws the net here.");
            picture_->adjustSize();
        } else {
            const QImage image(picture->pixels.data(), picture->width, picture->height,
                               picture->width * 3, QImage::Format_RGB888);
            picture_->setPixmap(QPixmap::fromImage(image.copy()));
        }
    }
    if (picture != nullptr) picture_->resize(logic_->picture_width(), logic_->picture_height());
}

void Tvesk_relations_inspector::closeEvent(QCloseEvent* event) {
    if (logic_->state().visible) logic_->close();
    round_trip_.show();
    event->accept();
    emit closed();
}

bool Tvesk_relations_inspector::eventFilter(QObject* watched, QEvent* event) {
    const bool on_picture = watched == picture_;
    if (!on_picture && watched != scroll_box_->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (!(wheel->modifiers() & Qt::ControlModifier)) break;
            if (wheel->angleDelta().y() > 0)
                run([this] { logic_->zoom_in(); });
            else if (wheel->angleDelta().y() < 0)
                run([this] { logic_->zoom_out(); });
            return true;
        }
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) break;
            pressed_ = true;
            dragged_ = false;
            if (on_picture) {
                // The click is where the button went down, whatever moves came before.
                const QPoint at = mouse->position().toPoint();
                run([this, at] { logic_->mouse_move(at.x(), at.y()); });
            }
            drag_start_ = mouse->globalPosition().toPoint();
            scroll_start_ = {scroll_box_->horizontalScrollBar()->value(),
                             scroll_box_->verticalScrollBar()->value()};
            return true;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (pressed_) {
                const QPoint moved = mouse->globalPosition().toPoint() - drag_start_;
                if (moved.manhattanLength() >= QApplication::startDragDistance()) dragged_ = true;
                if (dragged_) {
                    scroll_box_->horizontalScrollBar()->setValue(scroll_start_.x() - moved.x());
                    scroll_box_->verticalScrollBar()->setValue(scroll_start_.y() - moved.y());
                    picture_->setCursor(Qt::ClosedHandCursor);
                    return true;
                }
            }
            if (on_picture) {
                const QPoint at = mouse->position().toPoint();
                run([this, at] { logic_->mouse_move(at.x(), at.y()); });
            }
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton || !pressed_) break;
            pressed_ = false;
            if (dragged_) {
                dragged_ = false;
                round_trip_.show();
                return true;
            }
            run([this] { logic_->click(); });
            return true;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}
