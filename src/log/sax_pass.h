#pragma once
// One SAX2 pass over an XML file: libxml2 parses, the subclass sees element starts and ends,
// text, CDATA sections, comments and processing instructions as they go by. No tree is built.
// Errors thrown by the subclass are kept and raised after libxml2 has returned, never thrown
// through it.

#include <libxml/parser.h>

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

inline std::string_view xml_view(const xmlChar* text) {
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

class SaxPass {
public:
    SaxPass(std::string path, bool resolve_externals)
        : path_(std::move(path)), resolve_externals_(resolve_externals) {}
    virtual ~SaxPass() = default;
    SaxPass(const SaxPass&) = delete;
    SaxPass& operator=(const SaxPass&) = delete;

    // Returns the external entities refused on the way. Throws XmlReadError for a malformed
    // file, and what the subclass threw.
    std::vector<std::string> run();

    // The value of an attribute of the element being started.
    static std::optional<std::string_view> attribute(const xmlChar** attributes, int count,
                                                     std::string_view name);

protected:
    // depth: 0 for the document element. attributes: libxml2's five pointers per attribute.
    virtual void start(std::string_view name, int depth, const xmlChar** attributes, int count) = 0;
    virtual void end(std::string_view name, int depth) = 0;
    virtual void text(std::string_view) {}
    virtual void cdata(std::string_view content) { text(content); }
    // A comment or processing instruction.
    virtual void other_node() {}
    virtual void finish() {}

    // Elements open now: the depth that a text node has here.
    int depth() const { return depth_; }
    int line() const;
    const std::string& path() const { return path_; }

private:
    template <typename Call>
    void guarded(Call&& call);
    static SaxPass& pass(void* context);
    static void on_start(void* user, const xmlChar* localname, const xmlChar*, const xmlChar*, int,
                         const xmlChar**, int count, int, const xmlChar** attributes);
    static void on_end(void* user, const xmlChar* localname, const xmlChar*, const xmlChar*);
    static void on_text(void* user, const xmlChar* text, int length);
    static void on_cdata(void* user, const xmlChar* text, int length);
    static void on_comment(void* user, const xmlChar*);
    static void on_instruction(void* user, const xmlChar*, const xmlChar*);
    static void on_error(void*, xmlErrorPtr error);
    static SaxPass*& running();

    std::string path_;
    bool resolve_externals_;
    xmlParserCtxt* ctxt_ = nullptr;
    int depth_ = 0;
    std::exception_ptr failure_;
    std::string fatal_;
};

}  // namespace vesk
