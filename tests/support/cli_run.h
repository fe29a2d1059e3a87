#pragma once
// Running vesk-cli in-process, and reading the files it writes or is compared with.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

namespace vesk::test {

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

inline CliResult run_cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = cli::run_cli(args, out, err);
    return {code, out.str(), err.str()};
}

inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A file of tests/data, compared byte for byte.
inline std::string golden(const std::string& name) {
    return read_file(std::filesystem::path(VESK_TEST_DATA) / name);
}

}  // namespace vesk::test
