#pragma once
// The process map window: the map of the last Build relations drawn by dot, two sliders that
// keep the most frequent activities and paths, the paths' shading by count or by mean time,
// and the variants, most frequent first. A thin view over ProcessMapLogic.

#include <QPixmap>
#include <QWidget>

#include "ui/process_map_logic.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QScrollArea;
class QSlider;
class QSplitter;

class Tvesk_process_map_form : public QWidget {
    Q_OBJECT
public:
    explicit Tvesk_process_map_form(vesk::ProcessMapLogic& logic);

    // Draws the map at the sliders and shows the window in front.
    void open();
    // Draws again when the logic holds another map than the one shown.
    void follow();
    // The controls after the logic's state.
    void show_state();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void redraw();
    // The drawing, scaled down to the view unless the user asked for its natural size.
    void show_picture();
    QSlider* slider(const char* name);

    vesk::ProcessMapLogic& logic_;
    QLabel *summary_, *shown_, *picture_, *activities_value_, *paths_value_;
    QSlider *activities_, *paths_;
    QCheckBox *by_time_, *fit_;
    QScrollArea* scroll_;
    QSplitter* split_;
    QPixmap drawing_;
    QListWidget* variants_;
    std::uint64_t drawn_generation_ = 0;
};
