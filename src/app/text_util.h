#pragma once
// Small text helpers shared by the readers of line-based files.

#include <string>
#include <string_view>

namespace vesk {

// The text without leading and trailing blanks and control characters.
inline std::string trimmed(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return std::string(text.substr(first, last - first));
}

}  // namespace vesk
