#include "log/attribute_gatherer.h"

#include <algorithm>

namespace vesk {

void AttributeGatherer::case_attribute(std::string_view key, std::string_view value,
                                       AttributeType type) {
    if (choice_.wants(key)) case_.push_back({std::string(key), std::string(value), type});
}

void AttributeGatherer::event_attribute(std::string_view key, std::string_view value,
                                        AttributeType type) {
    if (!is_line_key(key) && choice_.wants(key))
        event_.push_back({std::string(key), std::string(value), type});
}

void AttributeGatherer::nested(std::string_view key) {
    if (!choice_.wants(key)) return;
    auto& keys = notes_.skipped_nested_keys;
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.emplace_back(key);
}

void AttributeGatherer::fill(LogEntryFields& entry) {
    entry.case_only = false;
    if (!active()) return;
    entry.attributes = event_;
    entry.case_attributes.clear();
    std::swap(entry.case_attributes, case_);
}

AttributeType xes_attribute_type(std::string_view element) {
    if (element == "int") return AttributeType::integer;
    if (element == "float") return AttributeType::real;
    if (element == "date") return AttributeType::date;
    if (element == "boolean") return AttributeType::boolean;
    return AttributeType::text;
}

}  // namespace vesk
