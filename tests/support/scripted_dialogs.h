#pragma once
// Dialogs answered from queues, with every message kept, for tests of window commands.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/modal_dialogs.h"

namespace vesk::testing {

template <typename Base = ModalDialogs>
class Scripted : public Base {
public:
    std::deque<std::optional<std::string>> files, saved, folders, inputs;
    std::vector<std::string> warnings, informations, errors;
    std::string opened_in;

    std::optional<std::string> open_file(const std::string&, const std::string& folder) override {
        opened_in = folder;
        return next(files);
    }
    std::optional<std::string> save_file(const std::string&, const std::string&) override {
        return next(saved);
    }
    std::optional<std::string> choose_folder(const std::string&) override { return next(folders); }
    std::optional<std::string> input(const std::string&, const std::string& prompt) override {
        prompts.push_back(prompt);
        return next(inputs);
    }
    void warning(const std::string& text) override { warnings.push_back(text); }
    void information(const std::string& text) override { informations.push_back(text); }
    void error(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> prompts;

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace vesk::testing
