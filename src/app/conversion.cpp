#include "app/conversion.h"

#include <fstream>

#include "app/text_util.h"

namespace vesk {

namespace {

std::string trimmed(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

}  // namespace

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

}  // namespace vesk
