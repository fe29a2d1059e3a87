#pragma once
// Conversion modules: external programs, listed in "conv.txt", that turn other logs into XML
// workflow logs.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/util_functions.h"

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

// ' "input"  "xml"  dtd  YES' (or NO): what a module is shown to receive.
std::string conversion_parameters(const std::string& input, const std::string& xml,
                                  const std::string& dtd_url, bool external_dtd);
// The same as the four arguments the module really receives, after the module's own options.
ProgramRun conversion_run(const std::string& input, const std::string& xml,
                          const std::string& dtd_url, bool external_dtd,
                          const std::vector<std::string>& module_options = {});

// conv.txt next to the program, else in the install's data folder; the first that exists (the
// one next to the program when neither does).
std::filesystem::path conversion_list_path(const std::filesystem::path& program_folder);
// A module's program: relative to the program's folder, else in the install's module folder.
std::filesystem::path module_program_path(const std::filesystem::path& program_folder,
                                          const ConversionModule& module);

}  // namespace vesk
