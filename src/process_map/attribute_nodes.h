#pragma once
// The log seen by another attribute than the activity: each event named by its value of an
// event attribute (by org:resource, the map becomes the handover of work).

#include <cstdint>
#include <string_view>

#include "log/vesk_loglist.h"

namespace vesk {

struct RelabelledLog {
    // One complete line per event that carries the attribute, named by its value, with the
    // event's case, date and time; cases keep their numbers.
    Tloglist lines;
    std::int64_t events_without_value = 0;
};

// Throws AttributeConditionError when the log has no event attribute of that key.
RelabelledLog lines_by_attribute(const Tloglist& lines, std::string_view key);

}  // namespace vesk
