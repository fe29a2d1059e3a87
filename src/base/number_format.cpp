#include "base/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale>

namespace vesk {

char decimal_separator_of(const std::locale& locale) {
    return std::use_facet<std::numpunct<char>>(locale).decimal_point();
}

char locale_decimal_separator() {
    try {
        return decimal_separator_of(std::locale(""));
    } catch (const std::exception&) {
        // The environment names a locale the system does not have.
        return '.';
    }
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

namespace {

// A non-negative decimal number as its digits and the position of the decimal point: the value
// is 0.d1d2d3... times 10^point.
struct Decimal {
    std::string digits;
    int point = 0;
};

// The exact decimal expansion of a finite double (every double has one).
Decimal exact_decimal(double magnitude) {
    char buffer[1100];
    std::snprintf(buffer, sizeof buffer, "%.1000e", magnitude);
    const std::string text = buffer;
    const auto e = text.find('e');
    Decimal d;
    d.digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.point = std::atoi(text.c_str() + e + 1) + 1;
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// Keeps `keep` digits (counted from the first digit), rounding half away from zero.
void round_digits(Decimal& d, int keep) {
    if (keep < 0) {
        d.digits = "0";
        d.point = 0;
        return;
    }
    if (static_cast<std::size_t>(keep) >= d.digits.size()) return;
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (!up) return;
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
        d.digits[static_cast<std::size_t>(i)] = '0';
        --i;
    }
    if (i >= 0) {
        ++d.digits[static_cast<std::size_t>(i)];
    } else {
        d.digits.insert(d.digits.begin(), '1');
        ++d.point;
    }
}

}  // namespace

std::string format_fixed4(double value, char separator, int significant) {
    if (!std::isfinite(value)) return format_general(value, separator);
    const bool negative = value < 0;
    Decimal d = exact_decimal(std::fabs(value));
    if (d.digits == "0") d.point = 1;
    round_digits(d, significant);
    round_digits(d, d.point + 4);
    // Lay the digits out around the point with exactly four decimals.
    std::string whole, fraction;
    for (int k = 0; k < d.point; ++k)
        whole += static_cast<std::size_t>(k) < d.digits.size()
                     ? d.digits[static_cast<std::size_t>(k)]
                     : '0';
    if (whole.empty()) whole = "0";
    for (int k = d.point; k < d.point + 4; ++k)
        fraction += k >= 0 && static_cast<std::size_t>(k) < d.digits.size()
                        ? d.digits[static_cast<std::size_t>(k)]
                        : '0';
    const bool zero = whole.find_first_not_of('0') == std::string::npos &&
                      fraction.find_first_not_of('0') == std::string::npos;
    return (negative && !zero ? "-" : "") + whole + separator + fraction;
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

std::string grouped_number(std::int64_t value) {
    const std::string digits = std::to_string(value < 0 ? -(value + 1) + 1ULL : value + 0ULL);
    std::string out = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::optional<LargerTimeUnit> larger_time_unit(double minutes) {
    const double magnitude = std::fabs(minutes);
    if (magnitude >= 1440.0) return LargerTimeUnit{minutes / 1440.0, "d"};
    if (magnitude >= 60.0) return LargerTimeUnit{minutes / 60.0, "h"};
    return std::nullopt;
}

std::string percent_text(double share) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", share * 100);
    return text;
}

}  // namespace vesk
