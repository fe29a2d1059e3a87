#pragma once
// The errors of reading an input file, caught by the front ends at the command.

#include <stdexcept>

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

}  // namespace vesk
