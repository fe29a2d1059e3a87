#pragma once
// Small text helpers shared by the readers and the net's name lookups.

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>

namespace vesk {

// Hashes std::string and std::string_view alike, so that maps keyed by strings are searched with
// a view, without making a string.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>()(text);
    }
};

// Marks the names of invisible transitions in nets. A log's name holding it would make its task
// invisible, so the readers refuse such names with this check.
inline constexpr std::string_view kSkipMarker = "$#%skip#%$";

// Throws E naming `what` (an activity, a task) when the name holds the marker.
template <typename E>
void refuse_marker_in_name(std::string_view name, std::string_view what) {
    if (name.find(kSkipMarker) == std::string_view::npos) return;
    throw E("The " + std::string(what) + " name \"" + std::string(name) + "\" holds \"" +
            std::string(kSkipMarker) +
            "\", which this program uses to mark invisible steps in its nets: rename it in the "
            "file first.");
}

// The text without leading and trailing blanks and control characters.
inline std::string trimmed(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return std::string(text.substr(first, last - first));
}

// Text of a file for one line of a listing: control characters (line breaks, escape sequences
// that would drive a terminal) shown as \xHH.
inline std::string one_line(std::string_view text) {
    constexpr std::string_view kHex = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7f) {
            out += c;
        } else {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

// ASCII letters only: names compare the same whatever the user's locale.
inline char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string ascii_lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = ascii_lower(c);
    return out;
}

inline bool contains_ignoring_case(std::string_view haystack, std::string_view needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                       [](char a, char b) { return ascii_lower(a) == ascii_lower(b); }) !=
           haystack.end();
}

}  // namespace vesk
