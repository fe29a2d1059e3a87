#pragma once
// Numbers as the written files show them, with the decimal separator of the user's locale.

#include <cstdint>
#include <locale>
#include <optional>
#include <string>

namespace vesk {

// The decimal separator of the user's locale (from the environment), "." when it has none.
// Read afresh at each call; the front ends ask once and hand it to the controller.
char locale_decimal_separator();

char decimal_separator_of(const std::locale& locale);

// Shortest general form with up to `digits` significant digits: 1, 0.5, 0.333333333333333;
// exponent form ("1E-6", "1.5E20") below 0.00001 or from 10^digits on.
std::string format_general(double value, char separator, int digits = 15);

// Fixed-point with four decimals: first rounded to `significant` significant digits, then to
// four decimals, halves away from zero at each step (7.53125 gives 7.5313). Timing figures use
// 14 significant digits, probabilities 4 (two thirds give 0.6667).
std::string format_fixed4(double value, char separator, int significant = 14);
inline std::string format_probability(double value, char separator) {
    return format_fixed4(value, separator, 4);
}

// A span of minutes in days from one day on, in hours from one hour on: what reads better beside
// the minutes themselves. Empty below an hour.
struct LargerTimeUnit {
    double value;
    const char* unit;  // "d" or "h"
};
std::optional<LargerTimeUnit> larger_time_unit(double minutes);

// "13,087": a count with its thousands grouped, the same in every locale.
std::string grouped_number(std::int64_t value);
// "82.4%" of 0.824: one decimal.
std::string percent_text(double share);

// Parses a decimal integer with an optional sign; empty when the text is anything else or does
// not fit 32 bits.
bool parse_int32(const std::string& text, int& value);

}  // namespace vesk
