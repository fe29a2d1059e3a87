#include "control/conversion.h"

#include <fstream>

#include "base/build_info.h"
#include "base/text_util.h"

namespace vesk {

ConversionList read_conversion_list(const std::filesystem::path& file) {
    ConversionList list;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        list.error = "The conversion module list " + file.string() + " cannot be read.";
        return list;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("\\\\", 0) == 0) continue;
        const auto bar = line.rfind('|');
        if (bar == std::string::npos) {
            list.error = file.string() + ", line " + std::to_string(number) +
                         ": a module line reads \"name | program\"";
            return list;
        }
        list.modules.push_back({trimmed(line.substr(0, bar)), trimmed(line.substr(bar + 1))});
    }
    return list;
}

std::string derived_xml_file_name(const std::string& log_file_name) {
    return (log_file_name.size() > 4 ? log_file_name.substr(0, log_file_name.size() - 4) : "") +
           ".xml";
}

std::string conversion_parameters(const std::string& input, const std::string& xml,
                                  const std::string& dtd_url, bool external_dtd) {
    return " \"" + input + "\"  \"" + xml + "\"  " + dtd_url + "  " + (external_dtd ? "YES" : "NO");
}

ProgramRun conversion_run(const std::string& input, const std::string& xml,
                          const std::string& dtd_url, bool external_dtd,
                          const std::vector<std::string>& module_options) {
    ProgramRun run{conversion_parameters(input, xml, dtd_url, external_dtd), module_options};
    for (const std::string& argument : {file_argument(input), file_argument(xml), dtd_url,
                                        std::string(external_dtd ? "YES" : "NO")})
        run.arguments.push_back(argument);
    return run;
}

std::filesystem::path conversion_list_path(const std::filesystem::path& program_folder) {
    const auto local = program_folder / "conv.txt";
    std::error_code error;
    if (std::filesystem::exists(local, error)) return local;
    const auto installed = installed_data_folder(program_folder) / "conv.txt";
    return std::filesystem::exists(installed, error) ? installed : local;
}

std::filesystem::path module_program_path(const std::filesystem::path& program_folder,
                                          const ConversionModule& module) {
    const auto local = program_folder / module.program;
    std::error_code error;
    if (std::filesystem::exists(local, error)) return local;
    const auto installed = program_folder.parent_path() / VESK_MODULES_FROM_BIN / module.program;
    return std::filesystem::exists(installed, error) ? installed : local;
}

}  // namespace vesk
