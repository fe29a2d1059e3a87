// The written formats, one folder per case under tests/data/formats. A case's `args` holds
// vesk-cli's arguments, one a line, where {case} stands for the case's folder, {example} for
// the example log and {out} for a scratch folder. Every file of the case's `expected` folder
// equals, byte for byte, the file of that name the run wrote into {out}; `expected/stdout` is
// what it printed. The run must succeed.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

const std::filesystem::path kCases = std::filesystem::path(VESK_TEST_DATA) / "formats";

std::vector<std::string> case_names() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kCases))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string replaced(std::string text, const std::string& key, const std::string& value) {
    for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
    return text;
}

std::vector<std::string> case_args(const std::filesystem::path& folder,
                                   const std::filesystem::path& out) {
    std::ifstream in(folder / "args");
    std::vector<std::string> args;
    for (std::string line; std::getline(in, line);) {
        line = replaced(line, "{case}", folder.string());
        line = replaced(line, "{example}", VESK_EXAMPLE_LOG);
        args.push_back(replaced(line, "{out}", out.string()));
    }
    return args;
}

class FormatCase : public ::testing::TestWithParam<std::string> {};

TEST_P(FormatCase, WritesTheExpectedFiles) {
    const std::filesystem::path folder = kCases / GetParam();
    test::TempDir out;
    const test::CliResult run = test::run_cli(case_args(folder, out.path()));
    ASSERT_EQ(run.code, 0) << run.err;
    std::size_t compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "expected")) {
        const std::string name = entry.path().filename().string();
        const std::string written = name == "stdout" ? run.out : test::read_file(out.path() / name);
        EXPECT_EQ(written, test::read_file(entry.path())) << name;
        ++compared;
    }
    EXPECT_GT(compared, 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatCase, ::testing::ValuesIn(case_names()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vesk
