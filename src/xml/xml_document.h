#pragma once
// A loaded XML document with the small set of node operations the relations reader needs.
// Meant for small files: the whole tree is held in memory while the document is active.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_errors.h"

struct _xmlDoc;
struct _xmlNode;

namespace vesk {

// A view of one node of an active document; it must not outlive the document's activation.
class XmlNode {
public:
    explicit XmlNode(_xmlNode* node) : node_(node) {}

    // Element name, or "#comment", "#text", "#cdata-section" and the like for other nodes.
    std::string name() const;
    bool is_element() const;
    // Children in document order; blank text between elements is not a child.
    std::vector<XmlNode> children() const;
    std::int32_t child_count() const;
    // Throws std::out_of_range outside 0..count-1.
    XmlNode child(std::int32_t index) const;
    std::optional<XmlNode> find_child(std::string_view name) const;
    // Throws LogFormatError when there is no child element of that name.
    XmlNode child_by_name(std::string_view name) const;
    bool has_attribute(std::string_view name) const;
    std::optional<std::string> attribute(std::string_view name) const;
    // Throws LogFormatError when the attribute is absent.
    std::string required_attribute(std::string_view name) const;
    // The concatenated text of all descendants.
    std::string text() const;

private:
    _xmlNode* node_;
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Remembers the file and options and loads it; throws XmlReadError when it cannot be read.
    void load(const std::string& path, bool resolve_externals);
    // Drops the tree; activate() loads the file anew from disk.
    void deactivate();
    void activate();
    bool is_active() const { return doc_ != nullptr; }
    const std::string& path() const { return path_; }
    bool resolve_externals() const { return resolve_externals_; }
    // The parser option for the next load or activation.
    void set_resolve_externals(bool resolve) { resolve_externals_ = resolve; }

    // External entities the last activation refused to load.
    const std::vector<std::string>& refused_entities() const { return refused_; }

    // Throws std::logic_error while inactive.
    XmlNode document_element() const;

private:
    struct Free {
        void operator()(_xmlDoc* doc) const;
    };
    std::unique_ptr<_xmlDoc, Free> doc_;
    std::string path_;
    bool resolve_externals_ = false;
    std::vector<std::string> refused_;
};

}  // namespace vesk
