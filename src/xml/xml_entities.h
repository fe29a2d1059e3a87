#pragma once
// What a parse may load besides the file itself. Internal entities are always expanded (so the
// streaming and the document reader give the same text), with libxml2's limits against
// expansion bombs in force. With resolve_externals the DTD that the DOCTYPE names is loaded,
// when it is a local file named relative to the document; every other external entity, and
// every network address, is refused.

#include <string>
#include <vector>

namespace vesk {

// libxml2 parser options; installs the entity loader on first use.
int xml_parse_options(bool resolve_externals);
// Sets up the XML library and our entity loader; call it on the calling thread before parsing
// on another one.
void prepare_xml_parsing();

// While it lives, lets the loader open `document` once and collects what the loader refused on
// this thread (for a warning).
class EntityRefusals {
public:
    explicit EntityRefusals(std::string document);
    ~EntityRefusals();
    EntityRefusals(const EntityRefusals&) = delete;
    EntityRefusals& operator=(const EntityRefusals&) = delete;

    const std::vector<std::string>& refused() const { return refused_; }
    // Called by the loader.
    static void note(const std::string& what);
    bool admit_document(const std::string& url);

private:
    std::string document_;
    bool document_admitted_ = false;
    std::vector<std::string> refused_;
    EntityRefusals* previous_;
};

// "refused to load the external entity file:///etc/passwd" for each, joined by "; ".
std::string refusal_text(const std::vector<std::string>& refused);

}  // namespace vesk
