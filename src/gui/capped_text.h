#pragma once
// A word-wrapped text as high as its lines, up to a number of lines, and scrolled beyond: a long
// text (the noise grid, a list of activities left out) neither pushes the picture above it away
// nor is cut off where the window is short.

#include <QLabel>
#include <QScrollArea>

class CappedText : public QScrollArea {
public:
    // The label inside takes `name` (its text and colour are the label's).
    CappedText(QWidget* parent, const char* name, int most_lines);

    QLabel& label() { return *label_; }
    void set_text(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The height of the text at the present width, no more than the most lines.
    void fit();

    QLabel* label_;
    int most_lines_;
};
