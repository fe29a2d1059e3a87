#include "gui/capped_text.h"

#include <QResizeEvent>
#include <algorithm>

CappedText::CappedText(QWidget* parent, const char* name, int most_lines)
    : QScrollArea(parent), label_(new QLabel(this)), most_lines_(most_lines) {
    label_->setObjectName(name);
    label_->setWordWrap(true);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidget(label_);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CappedText::set_text(const QString& text) {
    label_->setText(text);
    fit();
}

void CappedText::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    if (event->size().width() != event->oldSize().width()) fit();
}

void CappedText::fit() {
    const int cap = most_lines_ * label_->fontMetrics().lineSpacing();
    // Beyond the cap the scroll bar narrows the text, which then only needs more.
    const int needed = std::max(label_->heightForWidth(viewport()->width()), 0);
    setFixedHeight(std::min(needed, cap) + 2 * frameWidth());
}
