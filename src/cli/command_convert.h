#pragma once

#include "cli/command.h"

namespace vesk::cli {

// Runs a conversion module of conv.txt on a log of another system.
class ConvertCommand : public Command {
public:
    std::string name() const override { return "convert"; }
    std::string summary() const override { return "convert a log into an XML workflow log"; }
    std::string usage() const override;
    int run(const std::vector<std::string>& args, Streams io) const override;
};

}  // namespace vesk::cli
