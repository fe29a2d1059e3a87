#pragma once
// The modal dialogs of a window's logic, handed on to the program's dialogs (the real ones, or
// a test's). A window adds only what is its own: status line, progress, the other windows.

#include <optional>
#include <string>

#include "ui/modal_dialogs.h"

template <typename Base>
class ForwardedDialogs : public Base {
public:
    explicit ForwardedDialogs(vesk::ModalDialogs*& modal) : modal_(modal) {}
    std::optional<std::string> open_file(const std::string& filter,
                                         const std::string& folder) override {
        return modal_->open_file(filter, folder);
    }
    std::optional<std::string> save_file(const std::string& filter,
                                         const std::string& suggested) override {
        return modal_->save_file(filter, suggested);
    }
    std::optional<std::string> choose_folder(const std::string& current) override {
        return modal_->choose_folder(current);
    }
    std::optional<std::string> input(const std::string& caption,
                                     const std::string& prompt) override {
        return modal_->input(caption, prompt);
    }
    void warning(const std::string& text) override { modal_->warning(text); }
    void information(const std::string& text) override { modal_->information(text); }
    void error(const std::string& text) override { modal_->error(text); }

private:
    vesk::ModalDialogs*& modal_;
};
