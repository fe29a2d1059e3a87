#pragma once
// Numbers as the written files show them, with the decimal separator of the user's locale.

#include <string>

namespace vesk {

// The decimal separator of the user's locale (from the environment), "." when it has none.
char locale_decimal_separator();

// Shortest general form with up to `digits` significant digits: 1, 0.5, 0.333333333333333;
// exponent form ("1E-6", "1.5E20") below 0.00001 or from 10^digits on.
std::string format_general(double value, char separator, int digits = 15);

// Parses a decimal integer with an optional sign; empty when the text is anything else or does
// not fit 32 bits.
bool parse_int32(const std::string& text, int& value);

}  // namespace vesk
