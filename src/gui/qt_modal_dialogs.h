#pragma once
// The dialogs a user answers, as Qt shows them.

#include <QWidget>
#include <optional>
#include <string>

#include "ui/modal_dialogs.h"

class Tvesk_out_form;

// "XML files|*.xml *.XML|Other files|*" as a Qt file-dialog filter:
// "XML files (*.xml *.XML);;Other files (*)".
QString qt_file_filter(const std::string& filter);

class QtModalDialogs : public vesk::ModalDialogs {
public:
    QtModalDialogs(QWidget* owner, Tvesk_out_form& folder) : owner_(owner), folder_(folder) {}
    std::optional<std::string> open_file(const std::string& filter,
                                         const std::string& folder) override;
    std::optional<std::string> save_file(const std::string& filter,
                                         const std::string& suggested) override;
    void warning(const std::string& text) override;
    void information(const std::string& text) override;
    void error(const std::string& text) override;
    std::optional<std::string> input(const std::string& caption,
                                     const std::string& prompt) override;
    std::optional<std::string> choose_folder(const std::string& current) override;

    // The modal window in front, else the active window, else the main window.
    QWidget* message_parent() const;

private:
    QWidget* owner_;
    Tvesk_out_form& folder_;
};
