#include "xml/document_start.h"

#include <libxml/xmlreader.h>

#include <memory>
#include <string_view>

#include "xml/guarded_input.h"
#include "xml/xml_entities.h"
#include "xml/xml_errors.h"

namespace vesk {

namespace {

std::string_view view(const xmlChar* text) {
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

struct ReaderFree {
    void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};

}  // namespace

DocumentStart read_document_start(const std::string& path) {
    DocumentStart start;
    EntityRefusals refusals(path);
    const QuietLibxmlMessages quiet;
    std::optional<GuardedInput> input;
    try {
        input.emplace(path);
    } catch (const XmlReadError&) {
        return start;
    }
    std::unique_ptr<xmlTextReader, ReaderFree> reader(
        xmlReaderForIO(&GuardedInput::read, &GuardedInput::close, &*input, path.c_str(), nullptr,
                       xml_parse_options(false)));
    if (!reader) return start;
    xmlTextReaderSetStructuredErrorHandler(
        reader.get(),
        [](void* found, xmlErrorPtr error) {
            auto& reason = *static_cast<std::optional<std::string>*>(found);
            if (!reason && error != nullptr && error->level >= XML_ERR_ERROR)
                reason = xml_error_text(error, "not well-formed");
        },
        &start.error);
    while (xmlTextReaderRead(reader.get()) == 1) {
        if (xmlTextReaderNodeType(reader.get()) != XML_READER_TYPE_ELEMENT) continue;
        const std::string_view name = view(xmlTextReaderConstLocalName(reader.get()));
        if (!start.root.empty()) {
            start.first_child = std::string(name);
            break;
        }
        start.root = name;
        start.root_namespace = view(xmlTextReaderConstNamespaceUri(reader.get()));
        xmlChar* version = xmlTextReaderGetAttribute(reader.get(), BAD_CAST "xes.version");
        start.has_xes_version = version != nullptr;
        xmlFree(version);
        if (xmlTextReaderIsEmptyElement(reader.get()) == 1) break;
    }
    if (input->fault()) start.error = input->fault();
    return start;
}

}  // namespace vesk
