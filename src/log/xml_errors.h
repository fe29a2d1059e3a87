#pragma once

#include <stdexcept>
#include <string>

namespace vesk {

// A file that cannot be opened or is not well-formed; what() is the parser's reason.
class XmlReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A well-formed file that lacks something the reader needs (an id, a task name, a process).
class LogFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws XmlReadError when the path cannot be opened as a file (missing, unreadable, a folder).
void check_readable_file(const std::string& path);

// "line 3: reason" from a libxml2 error, or the fallback when there is none.
std::string xml_error_text(const void* xml_error, const std::string& fallback);

// True for text made only of XML white space, which never counts as a child node.
bool is_xml_blank(const char* text);

}  // namespace vesk
