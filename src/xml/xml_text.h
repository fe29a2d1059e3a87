#pragma once
// Text that goes into an XML file the readers must read back: checked for what XML 1.0
// forbids, and escaped.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vesk {

struct XmlTextProblem {
    std::size_t offset;  // bytes from the start of the text
    std::string what;    // "control character U+0001", "malformed UTF-8", ...
};

// The first place where the text is not valid UTF-8 or holds a character XML 1.0 does not
// allow (controls other than tab, line feed and carriage return; U+FFFE and U+FFFF).
std::optional<XmlTextProblem> xml_text_problem(std::string_view text);

// &, <, > and " as references; the relations file leaves ">" as it is, which XML allows.
std::string xml_escaped(std::string_view text, bool escape_greater_than = true);

}  // namespace vesk
