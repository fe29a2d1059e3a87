#pragma once
// Checks of option values that name the valid range in words and refuse what the stock checks
// let through: NaN, an empty value, trailing letters after a number.

#include <CLI/CLI.hpp>

#include <string>

namespace vesk::cli {

// A whole number from `least` on: "a whole number from 1, not \"3abc\"".
CLI::Validator whole_number_from(long long least);

// A number from `least` to `most`, both included; NaN and infinities are refused.
CLI::Validator number_from_to(double least, double most);

// One word, or a number from `least` to `most`: "expected auto or a number from 0 to 1".
CLI::Validator word_or_number(const std::string& word, double least, double most);

// Anything but an empty text.
CLI::Validator not_empty(const std::string& what);

}  // namespace vesk::cli
