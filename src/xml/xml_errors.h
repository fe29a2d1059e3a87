#pragma once

#include <string>
#include <string_view>

#include "base/read_errors.h"

namespace vesk {

// Throws XmlReadError when the path cannot be opened as a file (missing, unreadable, a folder).
void check_readable_file(const std::string& path);

// "line 3: reason" from a libxml2 error, or the fallback when there is none.
std::string xml_error_text(const void* xml_error, const std::string& fallback);

// While it lives, libxml2's messages that reach no parser (the I/O errors of a damaged
// compressed file, say) are dropped instead of printed raw on stderr: the readers report every
// failure themselves, once, in their own words.
class QuietLibxmlMessages {
public:
    QuietLibxmlMessages();
    ~QuietLibxmlMessages();
    QuietLibxmlMessages(const QuietLibxmlMessages&) = delete;
    QuietLibxmlMessages& operator=(const QuietLibxmlMessages&) = delete;

private:
    void* saved_function_;
    void* saved_context_;
};

// True for text made only of XML white space, which never counts as a child node.
bool is_xml_blank(std::string_view text);

}  // namespace vesk
