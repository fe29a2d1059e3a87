#pragma once
// The start of an XML file, read without parsing the rest: enough to tell the log formats apart.

#include <optional>
#include <string>

namespace vesk {

struct DocumentStart {
    // The document element's local name; empty when the file could not be read that far.
    std::string root;
    std::string root_namespace;
    // The document element carries an xes.version attribute.
    bool has_xes_version = false;
    // The local name of the document element's first child element, when it has one.
    std::optional<std::string> first_child;
    // The parser's reason ("line 1: ...") when the file is not well-formed before the
    // document element ends; a file that cannot be opened has none.
    std::optional<std::string> error;
};

// Reads no further than the first child element; a file that is not XML gives an empty root.
DocumentStart read_document_start(const std::string& path);

}  // namespace vesk
