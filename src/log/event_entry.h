#pragma once
// What the XES and MXML readers share: an event's raw name, lifecycle transition and timestamp
// become an audit trail entry, and what could not be placed is counted for the warnings.

#include <optional>
#include <string>
#include <string_view>

#include "log/xml_log_stream.h"

namespace vesk {

// Counts and spellings of what the mapping could not place, for the warnings.
class NoteTaker {
public:
    explicit NoteTaker(FormatNotes& notes) : notes_(notes) { notes_.event_log = true; }

    void unmapped(std::string_view transition);
    void missing_timestamp();
    void bad_timestamp(std::string_view text);

private:
    FormatNotes& notes_;
};

// Turns the raw name, transition and timestamp of one event into an entry.
void fill_entry(LogEntryFields& entry, std::string name,
                const std::optional<std::string>& transition,
                const std::optional<std::string>& timestamp, const EventLogOptions& options,
                NoteTaker& notes);

// The XES elements that carry one attribute (key and value).
bool is_attribute_element(std::string_view name);

}  // namespace vesk
