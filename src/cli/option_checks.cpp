#include "cli/option_checks.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace vesk::cli {

namespace {

// Whole numbers as written, without a trailing ".000000".
std::string number_text(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

}  // namespace

CLI::Validator whole_number_from(long long least) {
    const std::string expected = "a whole number from " + std::to_string(least);
    return CLI::Validator(
        [least, expected](std::string& text) -> std::string {
            long long value = 0;
            const char* end = text.data() + text.size();
            const auto [stop, error] = std::from_chars(text.data(), end, value);
            if (text.empty() || error != std::errc() || stop != end || value < least)
                return "expected " + expected + ", not \"" + text + "\"";
            return {};
        },
        "N");
}

CLI::Validator number_from_to(double least, double most) {
    const std::string expected = "a number from " + number_text(least) + " to " + number_text(most);
    return CLI::Validator(
        [least, most, expected](std::string& text) -> std::string {
            double value = 0;
            const char* end = text.data() + text.size();
            const auto [stop, error] = std::from_chars(text.data(), end, value);
            if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) ||
                value < least || value > most)
                return "expected " + expected + ", not \"" + text + "\"";
            return {};
        },
        "NUMBER");
}

CLI::Validator word_or_number(const std::string& word, double least, double most) {
    const CLI::Validator number = number_from_to(least, most);
    return CLI::Validator(
        [word, number](std::string& text) -> std::string {
            if (text == word) return {};
            std::string message = number(text);
            if (!message.empty()) message.replace(0, 9, "expected " + word + " or ");
            return message;
        },
        word + "|NUMBER");
}

CLI::Validator not_empty(const std::string& what) {
    return CLI::Validator(
        [what](std::string& text) -> std::string {
            return text.empty() ? "expected " + what + ", not an empty value" : std::string();
        },
        "");
}

}  // namespace vesk::cli
