#pragma once
// What an analyst asks of each attribute first: how many cases and events carry it, how many
// values it has, which are the most frequent, and the range of its numbers and dates.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "log/vesk_loglist.h"

namespace vesk {

struct ValueCount {
    std::string value;
    std::int64_t count = 0;
};

struct AttributeSummary {
    std::string key;
    AttributeLevel level = AttributeLevel::event_level;
    AttributeType type = AttributeType::text;
    // Cases that carry it (an event attribute: on at least one event); events that carry it (a
    // case attribute: the events of the cases that carry it).
    std::int64_t cases = 0;
    std::int64_t events = 0;
    std::int64_t distinct = 0;
    // The most frequent values, most frequent first, ties in order of first appearance; counted
    // in cases for a case attribute, in events for an event attribute.
    std::vector<ValueCount> top;
    // Numbers and dates (dates as minutes since 1970).
    std::optional<double> min, median, max;
};

// Every attribute the log's lines carry, case attributes first, each level in order of reading.
std::vector<AttributeSummary> summarize_attributes(const Tloglist& lines,
                                                   std::size_t top_count = 10);

}  // namespace vesk
