#pragma once
// Gathers the attributes of a case and of its current event as a reader's pass meets them, and
// hands them over with the entries: the case's with the first entry after them, the event's
// with each entry the event gives.

#include <string_view>
#include <vector>

#include "log/xml_log_stream.h"

namespace vesk {

class AttributeGatherer {
public:
    AttributeGatherer(const AttributeChoice& choice, FormatNotes& notes)
        : choice_(choice), notes_(notes) {}

    bool active() const { return choice_.any(); }

    void start_case() { case_.clear(); }
    void start_event() { event_.clear(); }
    void case_attribute(std::string_view key, std::string_view value, AttributeType type);
    void event_attribute(std::string_view key, std::string_view value, AttributeType type);
    // A list or container attribute, which is not read: its key goes into the notes once.
    void nested(std::string_view key);

    // Puts the event's attributes, and the case's not handed over yet, into the entry.
    void fill(LogEntryFields& entry);
    // Case attributes met after the case's last event.
    bool case_left() const { return !case_.empty(); }

private:
    const AttributeChoice& choice_;
    FormatNotes& notes_;
    std::vector<ReadAttribute> case_;
    std::vector<ReadAttribute> event_;
};

// The XES element name of an attribute as its type: string and id are text.
AttributeType xes_attribute_type(std::string_view element);

}  // namespace vesk
