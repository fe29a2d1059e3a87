#pragma once
// The process map window: the map of the last Build relations drawn by dot, two sliders that
// keep the most frequent activities and paths, the shading by frequency or by time, a view that
// zooms and pans, Save picture, and the variants, most frequent first. A thin view over
// ProcessMapLogic; dot lays the map out on another thread while the window stays responsive.

#include <QFutureWatcher>
#include <QWidget>

#include "ui/modal_dialogs.h"
#include "ui/process_map_logic.h"

class MapPictureView;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSlider;
class QSplitter;

class Tvesk_process_map_form : public QWidget {
    Q_OBJECT
public:
    Tvesk_process_map_form(vesk::ProcessMapLogic& logic, vesk::ModalDialogs& dialogs);
    ~Tvesk_process_map_form() override;

    // Draws the map at the sliders and shows the window in front.
    void open();
    // Draws again when the logic holds another map than the one shown.
    void follow();
    // The controls after the logic's state.
    void show_state();
    // A drawing is being made.
    bool drawing() const;

private:
    QLayout* control_row();
    void redraw();
    void start_drawing();
    void drawing_done();
    void save_picture();
    QSlider* slider(const char* name);

    vesk::ProcessMapLogic& logic_;
    vesk::ModalDialogs& dialogs_;
    QLabel *summary_, *shown_, *problem_, *activities_value_, *paths_value_;
    QSlider *activities_, *paths_;
    QComboBox* shading_;
    // "activities", or an event attribute whose values name the nodes.
    QComboBox* nodes_;
    QPushButton* save_;
    QProgressBar* busy_;
    MapPictureView* picture_;
    QSplitter* split_;
    QListWidget* variants_;
    QFutureWatcher<vesk::MapDrawing> drawing_;
    // The sliders moved while a drawing was being made: one more when it is done.
    bool redraw_waiting_ = false;
    // A drawing was started and not yet taken in.
    bool drawing_started_ = false;
    std::uint64_t drawn_generation_ = 0;
};
