#pragma once
// The csv conversion module's work apart from its program, so that tests and the fuzzer call it:
// lines "case,task,event,date,time" (date DD-MM-YYYY, time HH:MM[:SS]; a first line starting
// with "case" is a header) become an XML workflow log with one process. Lines of a case need not
// be adjacent; their order within the case is kept.

#include <istream>
#include <stdexcept>
#include <string>

namespace vesk::tools {

// Input that would give a log the reader cannot read; what() names the line and column.
class CsvInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole XML workflow log for the lines of `in`; `input_name` becomes the process's
// description. Throws CsvInputError.
std::string csv_to_workflow_log(std::istream& in, const std::string& input_name,
                                const std::string& dtd_url);

}  // namespace vesk::tools
