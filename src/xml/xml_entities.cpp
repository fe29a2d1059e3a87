#include "xml/xml_entities.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/uri.h>

#include <memory>
#include <mutex>
#include <string_view>

namespace vesk {

namespace {

thread_local EntityRefusals* current_refusals = nullptr;
xmlExternalEntityLoader default_loader = nullptr;

struct XmlCharFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

bool has_scheme(std::string_view name) {
    const auto colon = name.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    for (const char c : name.substr(0, colon))
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'))
            return false;
    return true;
}

// The one external file a parse may read: the document's own DTD, named by a relative path
// in the DOCTYPE, and only when the caller asked for the DTD.
bool is_own_dtd(const char* url, xmlParserCtxtPtr ctxt) {
    if (url == nullptr || ctxt == nullptr || (ctxt->options & XML_PARSE_DTDLOAD) == 0) return false;
    if (ctxt->myDoc == nullptr || ctxt->myDoc->intSubset == nullptr) return false;
    const xmlChar* system_id = ctxt->myDoc->intSubset->SystemID;
    if (system_id == nullptr) return false;
    const std::string_view name(reinterpret_cast<const char*>(system_id));
    if (name.empty() || name.front() == '/' || has_scheme(name)) return false;
    const xmlChar* base = ctxt->myDoc->URL;
    std::unique_ptr<xmlChar, XmlCharFree> resolved(xmlBuildURI(system_id, base));
    const std::string_view expected =
        resolved ? reinterpret_cast<const char*>(resolved.get()) : name;
    return expected == url;
}

// Opening the document itself also goes through the loader (the document reader opens it so),
// before anything is parsed; once, and only under the name the caller gave.
bool is_the_document(const char* url, xmlParserCtxtPtr ctxt) {
    if (current_refusals == nullptr || url == nullptr || ctxt == nullptr || ctxt->inputNr != 0)
        return false;
    return current_refusals->admit_document(url);
}

xmlParserInputPtr guarded_loader(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
    // Parses outside the readers (none of ours) keep libxml2's own behaviour.
    if (current_refusals == nullptr) return default_loader(url, id, ctxt);
    if (is_the_document(url, ctxt) || is_own_dtd(url, ctxt)) return default_loader(url, id, ctxt);
    EntityRefusals::note(url != nullptr ? url : id != nullptr ? id : "(unnamed)");
    return nullptr;
}

}  // namespace

void prepare_xml_parsing() {
    xmlInitParser();
    static std::once_flag installed;
    std::call_once(installed, [] {
        default_loader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(&guarded_loader);
    });
}

int xml_parse_options(bool resolve_externals) {
    prepare_xml_parsing();
    // NONET always: the loader refuses addresses anyway, NONET keeps libxml2 itself off the
    // network. NOENT substitutes entities; the loader decides which external ones load (none).
    // XML_PARSE_HUGE is never given, so the limits on text size and expansion stay.
    int options = XML_PARSE_NONET | XML_PARSE_NOENT;
    if (resolve_externals) options |= XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR;
    return options;
}

EntityRefusals::EntityRefusals(std::string document)
    : document_(std::move(document)), previous_(current_refusals) {
    current_refusals = this;
}

bool EntityRefusals::admit_document(const std::string& url) {
    if (document_admitted_ || url != document_) return false;
    document_admitted_ = true;
    return true;
}

EntityRefusals::~EntityRefusals() {
    current_refusals = previous_;
}

void EntityRefusals::note(const std::string& what) {
    if (current_refusals == nullptr) return;
    auto& list = current_refusals->refused_;
    for (const std::string& seen : list)
        if (seen == what) return;
    list.push_back(what);
}

std::string refusal_text(const std::vector<std::string>& refused) {
    std::string text;
    for (const std::string& what : refused) {
        if (!text.empty()) text += "; ";
        text += "refused to load the external entity " + what;
    }
    return text;
}

}  // namespace vesk
