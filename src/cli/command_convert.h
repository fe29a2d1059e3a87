#pragma once

#include <vector>

#include "cli/command.h"

namespace vesk::cli {

// Runs a conversion module of conv.txt on a log of another system.
class ConvertCommand : public Command {
public:
    std::string name() const override { return "convert"; }
    std::string summary() const override { return "convert a log into an XML workflow log"; }
    void declare(CLI::App& app) override;
    int run(Console& console) override;

private:
    std::string module_;
    std::string input_;
    std::string xml_;
    std::string dtd_;
    bool external_dtd_ = false;
    bool list_ = false;
    std::vector<std::string> module_options_;
};

}  // namespace vesk::cli
