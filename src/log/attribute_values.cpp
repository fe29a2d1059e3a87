#include "log/attribute_values.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "base/text_util.h"

namespace vesk {

const char* attribute_type_name(AttributeType type) {
    switch (type) {
        case AttributeType::text:
            return "string";
        case AttributeType::integer:
            return "int";
        case AttributeType::real:
            return "float";
        case AttributeType::date:
            return "date";
        case AttributeType::boolean:
            return "boolean";
        case AttributeType::untyped:
            break;
    }
    return "untyped";
}

const char* attribute_level_name(AttributeLevel level) {
    return level == AttributeLevel::case_level ? "case" : "event";
}

bool is_line_key(std::string_view key) {
    return key == "concept:name" || key == "lifecycle:transition" || key == "time:timestamp" ||
           key == "start_timestamp";
}

std::optional<double> number_of_text(std::string_view text) {
    if (text.empty() || text.size() > 64) return std::nullopt;
    const char first = text.front();
    if (first != '-' && first != '+' && first != '.' && (first < '0' || first > '9'))
        return std::nullopt;
    // strtod takes hexadecimal and "inf"; the first character has ruled those out but "0x1p3".
    if (text.find_first_of("xX") != std::string_view::npos) return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<bool> boolean_of_text(std::string_view text) {
    const std::string lower = ascii_lower(text);
    if (lower == "true") return true;
    if (lower == "false") return false;
    return std::nullopt;
}

}  // namespace vesk
