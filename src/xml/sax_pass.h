#pragma once
// One SAX2 pass over an XML file: libxml2 parses, the subclass sees element starts and ends,
// text, CDATA sections, comments and processing instructions as they go by. No tree is built.
// Errors thrown by the subclass are kept and raised after libxml2 has returned, never thrown
// through it.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _xmlParserCtxt;

namespace vesk {

// The longest text node the document model accepts; a pass that keeps text holds it to the same
// bound.
inline constexpr std::size_t kMaxXmlTextLength = 10000000;

// The attributes of the element being started, as the parser hands them over: five pointers
// per attribute (libxml2's characters are unsigned char).
class XmlAttributes {
public:
    XmlAttributes() = default;
    XmlAttributes(const unsigned char** raw, int count) : raw_(raw), count_(count) {}

    // The value of the attribute with this local name.
    std::optional<std::string_view> get(std::string_view name) const;

private:
    const unsigned char** raw_ = nullptr;
    int count_ = 0;
};

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

protected:
    // depth: 0 for the document element.
    virtual void start(std::string_view name, int depth, const XmlAttributes& attributes) = 0;
    virtual void end(std::string_view name, int depth) = 0;
    virtual void text(std::string_view) {}
    virtual void cdata(std::string_view content) { text(content); }
    // A comment or processing instruction.
    virtual void other_node() {}
    virtual void finish() {}
    // The bytes of the document parsed so far (after decompression); 0 outside run().
    std::int64_t bytes_parsed() const;

    // Appends text a reader keeps, held to the bound of one text node: throws XmlReadError
    // past it, so that a file of blanks cannot fill the memory.
    void keep_text(std::string& kept, std::string_view text) const;

    // Elements open now: the depth that a text node has here.
    int depth() const { return depth_; }
    int line() const;
    const std::string& path() const { return path_; }

private:
    // The parser's callbacks, which reach the members below.
    struct Callbacks;
    friend struct Callbacks;

    std::string path_;
    bool resolve_externals_;
    struct _xmlParserCtxt* ctxt_ = nullptr;
    int depth_ = 0;
    std::exception_ptr failure_;
    std::string fatal_;
    // Whether the parse error came before anything a reader threw.
    bool fatal_first_ = false;
};

}  // namespace vesk
