#include "log/sax_pass.h"

#include <libxml/parserInternals.h>

#include <cstring>
#include <memory>

#include "log/xml_entities.h"
#include "log/xml_errors.h"
#include "log/xml_log_stream.h"

namespace vesk {

std::vector<std::string> SaxPass::run() {
    EntityRefusals refusals(path_);
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    xmlSAXVersion(&handler, 2);
    handler.startElementNs = &SaxPass::on_start;
    handler.endElementNs = &SaxPass::on_end;
    handler.characters = &SaxPass::on_text;
    // Blanks between elements are text like any other: the readers decide what they mean.
    handler.ignorableWhitespace = &SaxPass::on_text;
    handler.cdataBlock = &SaxPass::on_cdata;
    handler.comment = &SaxPass::on_comment;
    handler.processingInstruction = &SaxPass::on_instruction;
    handler.serror = &SaxPass::on_error;
    handler.error = nullptr;
    handler.warning = nullptr;
    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(
        xmlCreateURLParserCtxt(path_.c_str(), 0), &xmlFreeParserCtxt);
    if (!ctxt) throw XmlReadError(path_ + ": cannot be opened");
    std::memcpy(ctxt->sax, &handler, sizeof handler);
    // The default SAX2 callbacks that stay (the document, the DTD, entities) need the parser
    // context as their user data; ours find the pass through it.
    ctxt->_private = this;
    xmlCtxtUseOptions(ctxt.get(), xml_parse_options(resolve_externals_));
    ctxt_ = ctxt.get();
    SaxPass* const outer = running();
    running() = this;
    xmlParseDocument(ctxt.get());
    running() = outer;
    ctxt_ = nullptr;
    // The document node the default callbacks made (for the DTD and entities) is ours.
    xmlFreeDoc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    if (failure_) std::rethrow_exception(failure_);
    if (!fatal_.empty()) throw XmlReadError(fatal_);
    if (!ctxt->wellFormed)
        throw XmlReadError(xml_error_text(xmlCtxtGetLastError(ctxt.get()), "not well-formed"));
    finish();
    return refusals.refused();
}

std::optional<std::string_view> SaxPass::attribute(const xmlChar** attributes, int count,
                                                   std::string_view name) {
    for (int i = 0; i < count; ++i) {
        const xmlChar** a = attributes + 5 * i;
        if (xml_view(a[0]) == name)
            return std::string_view(reinterpret_cast<const char*>(a[3]),
                                    static_cast<std::size_t>(a[4] - a[3]));
    }
    return std::nullopt;
}

int SaxPass::line() const {
    return ctxt_ != nullptr ? xmlSAX2GetLineNumber(ctxt_) : 0;
}

SaxPass& SaxPass::pass(void* context) {
    return *static_cast<SaxPass*>(static_cast<xmlParserCtxt*>(context)->_private);
}

template <typename Call>
void SaxPass::guarded(Call&& call) {
    if (failure_) return;
    try {
        call();
    } catch (...) {
        failure_ = std::current_exception();
        if (ctxt_ != nullptr) xmlStopParser(ctxt_);
    }
}

void SaxPass::on_start(void* user, const xmlChar* localname, const xmlChar*, const xmlChar*, int,
                       const xmlChar**, int count, int, const xmlChar** attributes) {
    SaxPass& p = pass(user);
    const int depth = p.depth_++;
    p.guarded([&] { p.start(xml_view(localname), depth, attributes, count); });
}

void SaxPass::on_end(void* user, const xmlChar* localname, const xmlChar*, const xmlChar*) {
    SaxPass& p = pass(user);
    const int depth = --p.depth_;
    p.guarded([&] { p.end(xml_view(localname), depth); });
}

void SaxPass::on_text(void* user, const xmlChar* text, int length) {
    SaxPass& p = pass(user);
    p.guarded([&] {
        p.text(std::string_view(reinterpret_cast<const char*>(text),
                                static_cast<std::size_t>(length)));
    });
}

void SaxPass::on_cdata(void* user, const xmlChar* text, int length) {
    SaxPass& p = pass(user);
    p.guarded([&] {
        p.cdata(std::string_view(reinterpret_cast<const char*>(text),
                                 static_cast<std::size_t>(length)));
    });
}

void SaxPass::on_comment(void* user, const xmlChar*) {
    SaxPass& p = pass(user);
    // Outside the document element (depth 0) nothing is a child of anything read.
    if (p.depth_ > 0) p.guarded([&] { p.other_node(); });
}

void SaxPass::on_instruction(void* user, const xmlChar*, const xmlChar*) {
    SaxPass& p = pass(user);
    if (p.depth_ > 0) p.guarded([&] { p.other_node(); });
}

// What the error callback is handed differs between libxml2's error paths: the pass being run
// on this thread is known without it.
void SaxPass::on_error(void*, xmlErrorPtr error) {
    if (error == nullptr || error->level != XML_ERR_FATAL || running() == nullptr) return;
    SaxPass& p = *running();
    if (p.fatal_.empty()) p.fatal_ = xml_error_text(error, "parse error");
}

SaxPass*& SaxPass::running() {
    static thread_local SaxPass* pass = nullptr;
    return pass;
}

}  // namespace vesk
