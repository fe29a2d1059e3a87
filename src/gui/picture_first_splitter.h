#pragma once

#include <QResizeEvent>
#include <QSplitter>

// The picture above, the figures below: a window made higher or lower changes the picture's
// height only (a plain splitter shares the change in proportion to the sizes).
class PictureFirstSplitter : public QSplitter {
public:
    explicit PictureFirstSplitter(QWidget* parent) : QSplitter(Qt::Vertical, parent) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        const QList<int> before = sizes();
        QSplitter::resizeEvent(event);
        const int change = event->size().height() - event->oldSize().height();
        if (!event->oldSize().isValid() || before.size() != 2 || before[0] + change < 0) return;
        setSizes({before[0] + change, before[1]});
    }
};
