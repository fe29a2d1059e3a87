#pragma once
// A log as the inductive construction sees it: the distinct traces of activity ids, each with the
// number of cases that followed it.

#include <cstdint>
#include <string>
#include <vector>

#include "log/vesk_loglist.h"

namespace vesk {

struct Trace {
    std::vector<std::int32_t> events;
    std::int64_t count = 0;
    friend bool operator==(const Trace&, const Trace&) = default;
};

using TraceLog = std::vector<Trace>;

struct VariantLog {
    // Activity names by id, in the order of their first line.
    std::vector<std::string> names;
    TraceLog traces;
};

// The cases of the lines (contiguous, as a log holds them), their events named by the lines'
// task-event names.
VariantLog variants_of(const Tloglist& lines);
// Equal traces added up, in the order of their first appearance.
TraceLog merged(TraceLog traces);
// The cases of the log.
std::int64_t case_total(const TraceLog& log);

}  // namespace vesk
