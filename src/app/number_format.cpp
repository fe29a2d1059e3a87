#include "app/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale>

namespace vesk {

char locale_decimal_separator() {
    static const char separator = [] {
        try {
            return std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point();
        } catch (const std::exception&) {
            return '.';
        }
    }();
    return separator;
}

namespace {

std::string trim_fraction(std::string digits) {
    if (digits.find('.') == std::string::npos) return digits;
    while (digits.back() == '0')
        digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
    return digits;
}

void use_separator(std::string& text, char separator) {
    for (char& c : text)
        if (c == '.') c = separator;
}

}  // namespace

std::string format_general(double value, char separator, int digits) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";
    // The exponent after rounding to `digits` significant digits decides the form.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
    const std::string scientific = buffer;
    const auto e = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    std::string text;
    if (exponent < -5 || exponent >= digits) {
        text = trim_fraction(scientific.substr(0, e)) + "E" + std::to_string(exponent);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.*f", digits - 1 - exponent, value);
        text = trim_fraction(buffer);
    }
    use_separator(text, separator);
    return text;
}

bool parse_int32(const std::string& text, int& value) {
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && *begin == '-') return false;
    }
    if (begin == end) return false;
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end;
}

}  // namespace vesk
