#pragma once
// Conversion modules: external programs, listed in "conv.txt", that turn other logs into XML
// workflow logs.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

struct ConversionModule {
    std::string name;
    std::string program;  // relative to the program's folder
};

struct ConversionList {
    std::vector<ConversionModule> modules;
    // Why reading stopped early (a missing file, a line without "|"); the modules before stay.
    std::optional<std::string> error;
};

// Lines starting with two backslashes are comments; every other line is "name | program", split
// at its last "|", both parts trimmed.
ConversionList read_conversion_list(const std::filesystem::path& file);

// The input file name without its last four characters, followed by ".xml".
std::string derived_xml_file_name(const std::string& log_file_name);

// ' "input"  "xml"  dtd  YES' (or NO): what a module receives.
std::string conversion_parameters(const std::string& input, const std::string& xml,
                                  const std::string& dtd_url, bool external_dtd);

}  // namespace vesk
