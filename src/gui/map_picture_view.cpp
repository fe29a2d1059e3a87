#include "gui/map_picture_view.h"

#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QSvgRenderer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// Zooming stops where a drawing is a speck or a single label fills the view.
constexpr double kLeastZoom = 0.02;
constexpr double kMostZoom = 8;

}  // namespace

MapPictureView::MapPictureView(QWidget* parent) : QGraphicsView(parent) {
    setScene(new QGraphicsScene(this));
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                   QPainter::SmoothPixmapTransform);
    setBackgroundBrush(Qt::white);
}

MapPictureView::~MapPictureView() {
    // The item draws with the renderer: it goes first.
    delete item_;
}

bool MapPictureView::show_svg(const QString& path) {
    auto renderer = std::make_unique<QSvgRenderer>(path);
    if (!renderer->isValid()) {
        clear_picture();
        return false;
    }
    const bool first = item_ == nullptr;
    delete item_;
    renderer_ = std::move(renderer);
    item_ = new QGraphicsSvgItem;
    item_->setSharedRenderer(renderer_.get());
    scene()->addItem(item_);
    scene()->setSceneRect(item_->boundingRect());
    if (first || following_size_) fit();
    return true;
}

void MapPictureView::clear_picture() {
    delete item_;
    item_ = nullptr;
    renderer_.reset();
}

void MapPictureView::zoom_by(double factor) {
    const double wanted = std::clamp(zoom() * factor, kLeastZoom, kMostZoom);
    following_size_ = false;
    scale(wanted / zoom(), wanted / zoom());
}

void MapPictureView::fit() {
    following_size_ = true;
    if (item_ == nullptr || viewport()->width() < 2) return;
    resetTransform();
    fitInView(item_, Qt::KeepAspectRatio);
    // A small drawing is shown at its natural size, not blown up.
    if (zoom() > 1) resetTransform();
}

void MapPictureView::wheelEvent(QWheelEvent* event) {
    if (item_ == nullptr) return;
    zoom_by(std::pow(1.0015, event->angleDelta().y()));
    event->accept();
}

void MapPictureView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    if (following_size_) fit();
}

void MapPictureView::showEvent(QShowEvent* event) {
    QGraphicsView::showEvent(event);
    if (following_size_) fit();
}
