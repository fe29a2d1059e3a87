#include "xml/xml_text.h"

#include <cstdio>

namespace vesk {

namespace {

std::string code_point_text(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

}  // namespace

std::optional<XmlTextProblem> xml_text_problem(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t c = 0;
        if (byte < 0x80) {
            length = 1;
            c = byte;
        } else if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2;
            c = byte & 0x1F;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3;
            c = byte & 0x0F;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4;
            c = byte & 0x07;
        } else {
            return XmlTextProblem{i, "malformed UTF-8"};
        }
        if (i + length > text.size()) return XmlTextProblem{i, "malformed UTF-8"};
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return XmlTextProblem{i, "malformed UTF-8"};
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8 either.
        const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
        if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            return XmlTextProblem{i, "malformed UTF-8"};
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xFFFE || c == 0xFFFF)
            return XmlTextProblem{
                i, "the character " + code_point_text(c) + ", which XML does not allow"};
        i += length;
    }
    return std::nullopt;
}

std::string xml_escaped(std::string_view text, bool escape_greater_than) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                if (escape_greater_than)
                    out += "&gt;";
                else
                    out += c;
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace vesk
