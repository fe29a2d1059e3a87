#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vesk::cli {

// Runs vesk-cli with the arguments after the program name; returns the exit code. Never
// throws: every failure becomes a message on `err`.
int run_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vesk::cli
