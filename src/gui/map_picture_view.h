#pragma once
// A drawing in a view that zooms and pans: the wheel zooms about the pointer, dragging pans,
// zoom_by and fit for the window's buttons. A new drawing keeps the zoom the user chose; until
// the user zooms, the drawing follows the view's size, fitted.

#include <QGraphicsView>
#include <memory>

class QGraphicsSvgItem;
class QSvgRenderer;

class MapPictureView : public QGraphicsView {
    Q_OBJECT
public:
    explicit MapPictureView(QWidget* parent);
    ~MapPictureView() override;

    // Shows the SVG file; false (and nothing shown) when it cannot be read.
    bool show_svg(const QString& path);
    void clear_picture();
    bool has_picture() const { return item_ != nullptr; }
    void zoom_by(double factor);
    void fit();
    // The drawing's scale on the screen: 1 is its natural size.
    double zoom() const { return transform().m11(); }

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<QSvgRenderer> renderer_;
    QGraphicsSvgItem* item_ = nullptr;
    // Fitted to the view until the user zooms.
    bool following_size_ = true;
};
