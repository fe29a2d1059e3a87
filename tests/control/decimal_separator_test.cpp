// Every figure the controller writes or lists takes the controller's decimal separator, and
// nothing else: not the process's locale.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <locale>
#include <map>
#include <regex>
#include <sstream>

#include "base/number_format.h"
#include "control/export_petrinet.h"
#include "support/example_run.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

struct CommaPunctuation : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

std::locale comma_locale() {
    return std::locale(std::locale::classic(), new CommaPunctuation);
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The exported files and the listings of process 1 of the example log, by name.
std::map<std::string, std::string> written_with(char separator,
                                                const std::filesystem::path& folder) {
    Tvesk_util controller(separator);
    test::mine_example(controller, "1");
    std::vector<std::filesystem::path> written;
    ExportRequest request;
    request.folder = folder;
    request.base = "example 1 ";
    export_petrinet(controller, request, written);
    written.push_back(controller.write_relations(folder, "relations", "WF_relations.dtd"));
    std::map<std::string, std::string> files;
    for (const auto& path : written)
        if (path.extension() != ".pnml")  // PNML holds no figures, only its own version
            files[path.filename().string()] = read_file(path);
    std::vector<std::string> lines;
    controller.timing_text(lines);
    controller.relations_text(lines);
    for (const std::string& line : lines)
        files["listing"] += line + "\n";
    // The XML declaration's version and the fitness line (the summary's, with a point for
    // scripts) are no figures of the net.
    for (auto& [name, text] : files)
        text = std::regex_replace(text, std::regex("(^|\n)(<\\?xml|Fitness:)[^\n]*"), "$1");
    return files;
}

TEST(DecimalSeparator, TheLocaleIsReadFromALocaleObject) {
    EXPECT_EQ(decimal_separator_of(std::locale::classic()), '.');
    EXPECT_EQ(decimal_separator_of(comma_locale()), ',');
}

// The point files with every decimal point between digits made a comma are the comma files:
// the separator is all that differs, and figures are really written.
TEST(DecimalSeparator, WritersAndListingsTakeTheControllersSeparatorOnly) {
    test::TempDir point_folder, comma_folder;
    const auto point = written_with('.', point_folder.path());
    const auto comma = written_with(',', comma_folder.path());
    ASSERT_EQ(point.size(), comma.size());
    const std::regex decimal_point("([0-9])\\.([0-9])");
    std::size_t figures = 0;
    for (const auto& [name, text] : point) {
        figures += static_cast<std::size_t>(std::distance(
            std::sregex_iterator(text.begin(), text.end(), decimal_point), std::sregex_iterator()));
        EXPECT_EQ(std::regex_replace(text, decimal_point, "$1,$2"), comma.at(name)) << name;
    }
    EXPECT_GT(figures, 50u);
}

// A program that changes its global locale (as a window toolkit may) writes the same files.
TEST(DecimalSeparator, TheGlobalLocaleChangesNothing) {
    test::TempDir before_folder, after_folder;
    const auto before = written_with('.', before_folder.path());
    const std::locale previous = std::locale::global(comma_locale());
    const auto after = written_with('.', after_folder.path());
    std::locale::global(previous);
    EXPECT_EQ(before, after);
}

}  // namespace
}  // namespace vesk
