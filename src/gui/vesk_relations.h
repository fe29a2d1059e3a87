#pragma once
// The relations inspector: the drawn net with zoom, clicks on its transitions and places, the
// replay and the erroneous sets, over RelationsInspectorLogic.

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "gui/state_round_trip.h"
#include "ui/relations_inspector_logic.h"

class InspectorFigures;
class QCheckBox;
class QDoubleSpinBox;
class QComboBox;
class CappedText;
class QLabel;
class QPushButton;
class QScrollArea;
class QMouseEvent;
class QVBoxLayout;
class QWheelEvent;
class TVesk_relations_editor_form;

class Tvesk_relations_inspector : public QWidget {
    Q_OBJECT
public:
    // dialogs: the modal dialogs of the program (tests answer them); busy: the progress shown
    // in the main window during long steps.
    Tvesk_relations_inspector(vesk::Tvesk_util& controller, vesk::ModalDialogs*& dialogs,
                              TVesk_relations_editor_form& editor, vesk::InspectorDrawing drawing,
                              std::function<void(bool)> busy, QWidget* owner = nullptr);
    ~Tvesk_relations_inspector() override;

    vesk::RelationsInspectorLogic& logic() { return *logic_; }

    // The entries; each prepares the window and shows it, or throws.
    void Open_with_task_list(const std::string& log_file, bool resolve_externals,
                             const std::string& process);
    void Open_with_relations_file(const std::string& relations_file, bool resolve_externals);

    // Where a rectangle of the map lies in the picture control at the present zoom.
    QPoint control_position(const vesk::Trectangle& rectangle) const;
    // "Replaying: 20,000 of 84,000 cases" while a long step runs, with Cancel beside it; empty
    // hides both.
    void show_progress(const QString& text);
    // Cancel was clicked (or the window closed) during the step now running.
    bool cancel_asked() const { return cancel_asked_; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the window inside the screen's free area.
    void show_on_screen();
    class Dialogs;
    // A command while none runs: clicks and keys taken in the middle of a long step (the
    // window keeps painting then) are dropped.
    template <typename Command>
    void run(Command&& command) {
        if (working_) return;
        round_trip_.run(std::forward<Command>(command));
    }
    void set_working(bool working);
    using Command = void (vesk::RelationsInspectorLogic::*)();
    void build_picture(QVBoxLayout* layout);
    QWidget* build_check_group();
    // The zoom buttons, Fit, and Close.
    QLayout* zoom_row(QWidget* check);
    void add_shortcuts();
    // A button that runs a command of the logic.
    QPushButton* command_button(QWidget* parent, const char* name, const char* caption,
                                Command command);
    // The picture's mouse: Ctrl+wheel zooms, a drag pans, a click opens what it hits; true
    // when the event is used up.
    bool wheel_turned(const QWheelEvent& wheel);
    bool button_pressed(const QMouseEvent& mouse, bool on_picture);
    bool mouse_moved(const QMouseEvent& mouse, bool on_picture);
    bool button_released(const QMouseEvent& mouse);
    void read_controls();
    void show_controls();
    void show_picture();

    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<vesk::RelationsInspectorLogic> logic_;
    const vesk::RgbPicture* shown_picture_ = nullptr;
    std::optional<std::array<std::int32_t, 4>> shown_mark_;
    QSize shown_natural_size_;
    StateRoundTrip round_trip_{[this] { read_controls(); }, [this] { show_controls(); }};
    // Dragging the picture pans the scroll area; a press that does not move is a click.
    QPoint drag_start_;
    QPoint scroll_start_;
    bool pressed_ = false;
    bool dragged_ = false;

    bool working_ = false;
    bool cancel_asked_ = false;
    QPushButton* cancel_;
    QScrollArea* scroll_box_;
    QLabel* picture_;
    // What the structure check found after Make Petrinet.
    CappedText* structure_;
    InspectorFigures* figures_;
    // How far a long step (a replay) has come; hidden otherwise.
    QLabel* progress_;
    QComboBox *available_processes_, *erroneous_sets_;
    QPushButton* make_petrinet_2_;
    QCheckBox *split_short_loops_, *combine_places_;
    QDoubleSpinBox* noise_;
};
