#include "discovery/trace_log.h"

#include <unordered_map>

namespace vesk {

namespace {

struct EventsHash {
    std::size_t operator()(const std::vector<std::int32_t>& events) const noexcept {
        std::uint64_t hash = 1469598103934665603ULL;
        for (const std::int32_t id : events) {
            hash ^= static_cast<std::uint32_t>(id);
            hash *= 1099511628211ULL;
        }
        return static_cast<std::size_t>(hash);
    }
};

// Collects traces, adding up the equal ones.
class TraceCollector {
public:
    void add(std::vector<std::int32_t> events, std::int64_t count) {
        const auto [found, added] = index_.try_emplace(events, log_.size());
        if (added)
            log_.push_back(Trace{std::move(events), count});
        else
            log_[found->second].count += count;
    }
    TraceLog take() { return std::move(log_); }

private:
    std::unordered_map<std::vector<std::int32_t>, std::size_t, EventsHash> index_;
    TraceLog log_;
};

}  // namespace

VariantLog variants_of(const Tloglist& lines) {
    VariantLog result;
    std::unordered_map<std::string, std::int32_t> ids;
    TraceCollector collector;
    std::vector<std::int32_t> events;
    std::int32_t current_case = -1;
    bool any = false;
    for (const Tlog_line& line : lines) {
        if (any && line.case_number() != current_case) collector.add(std::move(events), 1);
        if (!any || line.case_number() != current_case) events.clear();
        any = true;
        current_case = line.case_number();
        const auto [found, added] =
            ids.try_emplace(line.name(), static_cast<std::int32_t>(result.names.size()));
        if (added) result.names.push_back(line.name());
        events.push_back(found->second);
    }
    if (any) collector.add(std::move(events), 1);
    result.traces = collector.take();
    return result;
}

TraceLog merged(TraceLog traces) {
    TraceCollector collector;
    for (Trace& trace : traces)
        if (trace.count > 0) collector.add(std::move(trace.events), trace.count);
    return collector.take();
}

std::int64_t case_total(const TraceLog& log) {
    std::int64_t total = 0;
    for (const Trace& trace : log)
        total += trace.count;
    return total;
}

}  // namespace vesk
