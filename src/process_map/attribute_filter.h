#pragma once
// The attribute steps of the case filter: events kept by their attributes, cases kept by
// theirs or by their events'.

#include <cstdint>
#include <vector>

#include "attributes/attribute_condition.h"
#include "log/vesk_loglist.h"

namespace vesk {

using ConditionGroups = std::vector<std::vector<AttributeCondition>>;

struct EventRemoval {
    std::int64_t events = 0;
    // Cases that had events and were left with none.
    std::int64_t emptied_cases = 0;
};

// Keeps the lines that satisfy every group, with their attributes, and works out the loop
// information of what is left again. Throws AttributeConditionError.
EventRemoval keep_events_where(Tloglist& lines, const ConditionGroups& groups);

// For every case (in order), whether it satisfies every group: its case conditions hold and,
// where a group has event conditions, one of its events satisfies them all.
// Throws AttributeConditionError.
std::vector<bool> cases_where(const Tloglist& lines, const ConditionGroups& groups);

}  // namespace vesk
