#pragma once
// The help window: one section of help.txt in a fixed-pitch text area.

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;

class Tvesk_helpform : public QDialog {
    Q_OBJECT
public:
    explicit Tvesk_helpform(QWidget* owner = nullptr);
    // Shows the lines under "Help on: " + topic, modal to the owner.
    void show_help(const std::vector<std::string>& lines, const QString& caption);
    QString text() const;

private:
    QPlainTextEdit* help_text_;
};
