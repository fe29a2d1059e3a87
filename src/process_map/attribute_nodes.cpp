#include "process_map/attribute_nodes.h"

#include "attributes/attribute_condition.h"

namespace vesk {

RelabelledLog lines_by_attribute(const Tloglist& lines, std::string_view key) {
    const AttributeColumn* column = lines.attributes().find(key, AttributeLevel::event_level);
    if (column == nullptr) {
        const bool of_cases = lines.attributes().find(key, AttributeLevel::case_level) != nullptr;
        throw AttributeConditionError("\"" + std::string(key) + "\"" +
                                      (of_cases
                                           ? " is an attribute of the cases, not of their events"
                                           : ": the log's events have no such attribute"));
    }
    RelabelledLog result;
    // One name per value, as the lines are named: the value and the event type.
    std::vector<std::int32_t> ids;
    for (std::size_t row = 0; row < lines.size(); ++row) {
        if (!column->has(row)) {
            ++result.events_without_value;
            continue;
        }
        const std::int32_t code = column->code(row);
        std::int32_t id = -1;
        if (code >= 0 && static_cast<std::size_t>(code) < ids.size())
            id = ids[static_cast<std::size_t>(code)];
        if (id < 0) {
            id = result.lines.intern(column->text(row) + "_complete");
            if (code >= 0) {
                if (ids.size() <= static_cast<std::size_t>(code))
                    ids.resize(static_cast<std::size_t>(code) + 1, -1);
                ids[static_cast<std::size_t>(code)] = id;
            }
        }
        const Tlog_line& line = lines[row];
        Tlog_line& copy = result.lines.append(id, line.case_number());
        copy.set_event_type(EventType::complete);
        copy.set_date(line.date());
        copy.set_time(line.time());
    }
    return result;
}

}  // namespace vesk
