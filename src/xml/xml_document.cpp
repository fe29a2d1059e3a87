#include "xml/xml_document.h"

#include "xml/guarded_input.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "xml/xml_entities.h"

namespace vesk {

namespace {

const char* chars(const xmlChar* text) {
    return reinterpret_cast<const char*>(text);
}

bool counts_as_child(const xmlNode* node) {
    if (node->type == XML_TEXT_NODE)
        return node->content != nullptr && !is_xml_blank(chars(node->content));
    return node->type != XML_DTD_NODE;
}

bool has_name(const xmlNode* node, std::string_view name) {
    return node->type == XML_ELEMENT_NODE && node->name != nullptr && chars(node->name) == name;
}

struct ParserContextFree {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

// Keeps libxml2 from printing to stderr; the context keeps the last error for the report.
void silent_error(void*, xmlErrorPtr) {}

}  // namespace

std::string XmlNode::name() const {
    switch (node_->type) {
        case XML_TEXT_NODE:
            return "#text";
        case XML_CDATA_SECTION_NODE:
            return "#cdata-section";
        case XML_COMMENT_NODE:
            return "#comment";
        default:
            return node_->name != nullptr ? chars(node_->name) : "";
    }
}

bool XmlNode::is_element() const {
    return node_->type == XML_ELEMENT_NODE;
}

std::vector<XmlNode> XmlNode::children() const {
    std::vector<XmlNode> result;
    for (xmlNode* child = node_->children; child != nullptr; child = child->next)
        if (counts_as_child(child)) result.emplace_back(child);
    return result;
}

std::int32_t XmlNode::child_count() const {
    return static_cast<std::int32_t>(children().size());
}

XmlNode XmlNode::child(std::int32_t index) const {
    const auto all = children();
    if (index < 0 || static_cast<std::size_t>(index) >= all.size())
        throw std::out_of_range("Child index out of range: " + std::to_string(index));
    return all[static_cast<std::size_t>(index)];
}

std::optional<XmlNode> XmlNode::find_child(std::string_view name) const {
    for (xmlNode* child = node_->children; child != nullptr; child = child->next)
        if (has_name(child, name)) return XmlNode(child);
    return std::nullopt;
}

XmlNode XmlNode::child_by_name(std::string_view name) const {
    auto found = find_child(name);
    if (!found)
        throw LogFormatError("Element \"" + this->name() + "\" has no child \"" +
                             std::string(name) + "\".");
    return *found;
}

bool XmlNode::has_attribute(std::string_view name) const {
    return attribute(name).has_value();
}

std::optional<std::string> XmlNode::attribute(std::string_view name) const {
    if (!is_element()) return std::nullopt;
    const std::string key(name);
    xmlChar* value = xmlGetProp(node_, BAD_CAST key.c_str());
    if (value == nullptr) return std::nullopt;
    std::string result(chars(value));
    xmlFree(value);
    return result;
}

std::string XmlNode::required_attribute(std::string_view name) const {
    auto value = attribute(name);
    if (!value)
        throw LogFormatError("Element \"" + this->name() + "\" has no attribute \"" +
                             std::string(name) + "\".");
    return *value;
}

std::string XmlNode::text() const {
    xmlChar* content = xmlNodeGetContent(node_);
    if (content == nullptr) return {};
    std::string result(chars(content));
    xmlFree(content);
    return result;
}

void XmlDocument::Free::operator()(_xmlDoc* doc) const {
    xmlFreeDoc(doc);
}

XmlDocument::XmlDocument() = default;
XmlDocument::~XmlDocument() = default;

void XmlDocument::load(const std::string& path, bool resolve_externals) {
    doc_.reset();
    path_ = path;
    resolve_externals_ = resolve_externals;
    activate();
}

void XmlDocument::deactivate() {
    doc_.reset();
}

void XmlDocument::activate() {
    doc_.reset();
    check_readable_file(path_);

    std::unique_ptr<xmlParserCtxt, ParserContextFree> ctxt(xmlNewParserCtxt());
    if (!ctxt) throw std::bad_alloc();
    xmlSetStructuredErrorFunc(nullptr, &silent_error);
    const QuietLibxmlMessages quiet;
    EntityRefusals refusals(path_);
    GuardedInput input(path_);
    xmlDoc* doc = xmlCtxtReadIO(ctxt.get(), &GuardedInput::read, &GuardedInput::close, &input,
                                path_.c_str(), nullptr, xml_parse_options(resolve_externals_));
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (doc == nullptr || !ctxt->wellFormed) {
        xmlFreeDoc(doc);
        throw XmlReadError(input.fault().value_or(
            xml_error_text(xmlCtxtGetLastError(ctxt.get()), "not well-formed")));
    }
    refused_ = refusals.refused();
    doc_.reset(doc);
}

XmlNode XmlDocument::document_element() const {
    if (!doc_) throw std::logic_error("The XML document is not active.");
    xmlNode* root = xmlDocGetRootElement(doc_.get());
    if (root == nullptr) throw LogFormatError("The XML document has no document element.");
    return XmlNode(root);
}

}  // namespace vesk
