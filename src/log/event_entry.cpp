#include "log/event_entry.h"

#include <algorithm>

#include "base/int32_checked.h"
#include "log/event_log_formats.h"
#include "log/iso_timestamp.h"

namespace vesk {

void NoteTaker::unmapped(std::string_view transition) {
    notes_.unmapped_transitions = checked_add(notes_.unmapped_transitions, 1);
    auto& seen = notes_.unmapped_spellings;
    if (seen.size() < 5 && std::find(seen.begin(), seen.end(), transition) == seen.end())
        seen.emplace_back(transition);
}

void NoteTaker::missing_timestamp() {
    notes_.missing_timestamps = checked_add(notes_.missing_timestamps, 1);
}

void NoteTaker::bad_timestamp(std::string_view text) {
    if (notes_.bad_timestamps == 0) notes_.first_bad_timestamp = std::string(text);
    notes_.bad_timestamps = checked_add(notes_.bad_timestamps, 1);
}

void fill_entry(LogEntryFields& entry, std::string name,
                const std::optional<std::string>& transition,
                const std::optional<std::string>& timestamp, const EventLogOptions& options,
                NoteTaker& notes) {
    entry.task_name = std::move(name);
    entry.event_kind.reset();
    if (transition) {
        entry.event_kind = standard_event_kind(*transition);
        if (!entry.event_kind) {
            if (options.lifecycle_into_name) {
                entry.task_name += "+" + *transition;
                entry.event_kind = "complete";
            } else {
                notes.unmapped(*transition);
            }
        }
    }
    entry.date.reset();
    entry.time.reset();
    if (!timestamp) {
        notes.missing_timestamp();
        return;
    }
    if (const auto stamp = log_timestamp(*timestamp, options.local_time)) {
        entry.date = stamp->date;
        entry.time = stamp->time;
    } else {
        notes.bad_timestamp(*timestamp);
    }
}

bool is_attribute_element(std::string_view name) {
    return name == "string" || name == "date" || name == "int" || name == "float" ||
           name == "boolean" || name == "id" || name == "list" || name == "container";
}

}  // namespace vesk
