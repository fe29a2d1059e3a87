#pragma once
// Files an export produces, built in memory in the order they are written.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vesk {

struct ExportFile {
    std::filesystem::path path;
    std::string content;
};

using ExportFiles = std::vector<ExportFile>;

// Writes each file whole (temporary file, then rename), in order; throws FileWriteError naming
// the first file that could not be written, the files before it stay.
// Returns the paths written.
std::vector<std::filesystem::path> write_export_files(const ExportFiles& files);

// Appends a line ended by carriage return and line feed.
inline void add_line(std::string& text, const std::string& line) {
    text.append(line).append("\r\n");
}

}  // namespace vesk
