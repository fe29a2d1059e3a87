#pragma once
// Who does the work: per resource its events, cases and activities; which activities each
// resource does; who hands work to whom within a case, and who works in the same cases.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/vesk_loglist.h"

namespace vesk {

inline constexpr const char* kDefaultResourceKey = "org:resource";

struct ResourceFigures {
    std::string resource;
    std::int64_t events = 0;
    std::int64_t cases = 0;
    std::int64_t activities = 0;
};

// Two events of a case, one after the other among those that carry a resource, by different
// resources.
struct Handover {
    std::string from;
    std::string to;
    std::int64_t count = 0;
    double median_minutes = 0;
};

struct WorkingTogether {
    std::string a;  // a before b in byte order
    std::string b;
    std::int64_t cases = 0;
};

struct ActivityResource {
    std::string activity;
    std::string resource;
    std::int64_t events = 0;
};

struct ResourceViews {
    std::vector<ResourceFigures> resources;  // most events first
    std::vector<Handover> handovers;         // most frequent first
    std::vector<WorkingTogether> together;   // most cases first
    std::vector<ActivityResource>
        activity_resources;  // by activity as first met, most events first
    std::int64_t events = 0;
    std::int64_t events_without_resource = 0;
};

// Throws AttributeConditionError when the log's events have no attribute of that key.
ResourceViews resource_views(const Tloglist& lines, std::string_view resource_key);

}  // namespace vesk
