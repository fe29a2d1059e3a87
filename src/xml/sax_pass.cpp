#include "xml/sax_pass.h"

#include <algorithm>

#include <libxml/parserInternals.h>

#include <cstring>
#include <memory>

#include "xml/guarded_input.h"
#include "xml/xml_entities.h"
#include "xml/xml_errors.h"

namespace vesk {

static_assert(kMaxXmlTextLength == XML_MAX_TEXT_LENGTH);

namespace {

std::string_view xml_view(const xmlChar* text) {
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

}  // namespace

std::optional<std::string_view> XmlAttributes::get(std::string_view name) const {
    for (int i = 0; i < count_; ++i) {
        const xmlChar** a = raw_ + 5 * i;
        if (xml_view(a[0]) == name)
            return std::string_view(reinterpret_cast<const char*>(a[3]),
                                    static_cast<std::size_t>(a[4] - a[3]));
    }
    return std::nullopt;
}

struct SaxPass::Callbacks {
    static SaxPass& pass(void*) { return *running(); }

    template <typename Call>
    static void guarded(SaxPass& p, Call&& call) {
        if (p.failure_) return;
        try {
            call();
        } catch (...) {
            p.failure_ = std::current_exception();
            if (p.ctxt_ != nullptr) xmlStopParser(p.ctxt_);
        }
    }

    static void on_start(void* user, const xmlChar* localname, const xmlChar*, const xmlChar*, int,
                         const xmlChar**, int count, int, const xmlChar** attributes) {
        SaxPass& p = pass(user);
        const int depth = p.depth_++;
        guarded(p, [&] { p.start(xml_view(localname), depth, XmlAttributes(attributes, count)); });
    }

    static void on_end(void* user, const xmlChar* localname, const xmlChar*, const xmlChar*) {
        SaxPass& p = pass(user);
        const int depth = --p.depth_;
        guarded(p, [&] { p.end(xml_view(localname), depth); });
    }

    static std::string_view chunk(const xmlChar* text, int length) {
        return {reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)};
    }

    static void on_text(void* user, const xmlChar* text, int length) {
        SaxPass& p = pass(user);
        guarded(p, [&] { p.text(chunk(text, length)); });
    }

    static void on_cdata(void* user, const xmlChar* text, int length) {
        SaxPass& p = pass(user);
        guarded(p, [&] { p.cdata(chunk(text, length)); });
    }

    static void on_comment(void* user, const xmlChar*) {
        SaxPass& p = pass(user);
        // Outside the document element (depth 0) nothing is a child of anything read.
        if (p.depth_ > 0) guarded(p, [&] { p.other_node(); });
    }

    static void on_instruction(void* user, const xmlChar*, const xmlChar*) {
        SaxPass& p = pass(user);
        if (p.depth_ > 0) guarded(p, [&] { p.other_node(); });
    }

    // What the error callback is handed differs between libxml2's error paths: the pass being
    // run on this thread is known without it.
    static void on_error(void*, xmlErrorPtr error) {
        if (error == nullptr || error->level != XML_ERR_FATAL || running() == nullptr) return;
        SaxPass& p = *running();
        if (!p.fatal_.empty()) return;
        p.fatal_ = xml_error_text(error, "parse error");
        p.fatal_first_ = p.failure_ == nullptr;
    }

    static SaxPass*& running() {
        static thread_local SaxPass* pass = nullptr;
        return pass;
    }
};

std::vector<std::string> SaxPass::run() {
    EntityRefusals refusals(path_);
    const QuietLibxmlMessages quiet;
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    xmlSAXVersion(&handler, 2);
    handler.startElementNs = &Callbacks::on_start;
    handler.endElementNs = &Callbacks::on_end;
    handler.characters = &Callbacks::on_text;
    // Blanks between elements are text like any other: the readers decide what they mean.
    handler.ignorableWhitespace = &Callbacks::on_text;
    handler.cdataBlock = &Callbacks::on_cdata;
    handler.comment = &Callbacks::on_comment;
    handler.processingInstruction = &Callbacks::on_instruction;
    handler.serror = &Callbacks::on_error;
    handler.error = nullptr;
    handler.warning = nullptr;
    GuardedInput input(path_);
    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(xmlNewParserCtxt(),
                                                                      &xmlFreeParserCtxt);
    if (!ctxt) throw std::bad_alloc();
    // The default SAX2 callbacks that stay (the document, the DTD, entities) need the parser
    // context as their user data; ours find the pass as the one running on this thread.
    std::memcpy(ctxt->sax, &handler, sizeof handler);
    ctxt_ = ctxt.get();
    SaxPass* const outer = Callbacks::running();
    Callbacks::running() = this;
    // The document node the default callbacks made (for the DTD and entities) is ours.
    xmlFreeDoc(xmlCtxtReadIO(ctxt.get(), &GuardedInput::read, &GuardedInput::close, &input,
                             path_.c_str(), nullptr, xml_parse_options(resolve_externals_)));
    Callbacks::running() = outer;
    ctxt_ = nullptr;
    xmlFreeDoc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    // What stopped the input comes first: the parser's complaint is only its symptom.
    if (input.fault()) throw XmlReadError(*input.fault());
    const auto fail = [](const std::string& reason) { throw XmlReadError(reason); };
    // The first fault is the one to report: what a reader threw after a parse error only
    // follows from it.
    if (!fatal_.empty() && fatal_first_) fail(fatal_);
    if (failure_) std::rethrow_exception(failure_);
    if (!fatal_.empty()) fail(fatal_);
    if (!ctxt->wellFormed) fail(xml_error_text(xmlCtxtGetLastError(ctxt.get()), "not well-formed"));
    finish();
    return refusals.refused();
}

void SaxPass::keep_text(std::string& kept, std::string_view text) const {
    if (kept.size() + text.size() > kMaxXmlTextLength)
        throw XmlReadError("line " + std::to_string(line()) +
                           ": huge text node: a field is longer than " +
                           std::to_string(kMaxXmlTextLength) + " bytes");
    kept.append(text);
}

std::int64_t SaxPass::bytes_parsed() const {
    return ctxt_ != nullptr ? std::max<std::int64_t>(0, xmlByteConsumed(ctxt_)) : 0;
}

int SaxPass::line() const {
    return ctxt_ != nullptr ? xmlSAX2GetLineNumber(ctxt_) : 0;
}

}  // namespace vesk
