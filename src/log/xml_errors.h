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

// libxml2 parser options: never the network; the DTD and external entities only when asked.
int xml_parse_options(bool resolve_externals);

// True for text made only of XML white space, which never counts as a child node.
bool is_xml_blank(const char* text);

}  // namespace vesk
