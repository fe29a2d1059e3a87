#include "gui/qt_modal_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

#include "gui/vesk_out_folder.h"

QString qt_file_filter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    // The dialog matches the patterns it shows: they are shown once, after the text.
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i].trimmed() + " (" + parts[i + 1].trimmed() + ")";
    return filters.join(";;");
}

std::optional<std::string> QtModalDialogs::open_file(const std::string& filter,
                                                     const std::string& folder) {
    const QString chosen = QFileDialog::getOpenFileName(
        owner_, "Open", QString::fromStdString(folder), qt_file_filter(filter));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

std::optional<std::string> QtModalDialogs::save_file(const std::string& filter,
                                                     const std::string& suggested) {
    const QString chosen = QFileDialog::getSaveFileName(
        message_parent(), "Save", QString::fromStdString(suggested), qt_file_filter(filter));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

QWidget* QtModalDialogs::message_parent() const {
    // A message belongs to the window that raised it: parented to the main window, it opened
    // behind the relations editor (which stays on top) and that editor then took no clicks.
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return owner_;
}

void QtModalDialogs::warning(const std::string& text) {
    QMessageBox::warning(message_parent(), "Vesk", QString::fromStdString(text), QMessageBox::Ok);
}

void QtModalDialogs::information(const std::string& text) {
    QMessageBox::information(message_parent(), "Vesk", QString::fromStdString(text),
                             QMessageBox::Ok);
}

void QtModalDialogs::error(const std::string& text) {
    QMessageBox::critical(message_parent(), "Vesk", QString::fromStdString(text), QMessageBox::Ok);
}

std::optional<std::string> QtModalDialogs::input(const std::string& caption,
                                                 const std::string& prompt) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(QApplication::activeWindow(), QString::fromStdString(caption),
                              QString::fromStdString(prompt), QLineEdit::Normal, "", &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

std::optional<std::string> QtModalDialogs::choose_folder(const std::string& current) {
    // Placed beside the main window, never beyond the screen's right edge.
    const QRect screen = owner_->screen() != nullptr ? owner_->screen()->availableGeometry()
                                                     : QRect(0, 0, 1920, 1080);
    const int x = std::min(owner_->x() + owner_->width() + 5, screen.width() - folder_.width());
    folder_.move(x, owner_->y() + 40);
    return folder_.choose(current);
}
