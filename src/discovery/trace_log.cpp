#include "discovery/trace_log.h"

#include <unordered_map>
#include <unordered_set>

#include "base/sequence_hash.h"

namespace vesk {

namespace {

// Collects traces, adding up the equal ones. The index holds positions in the log, so that a
// trace is stored once, not again as a key.
class TraceCollector {
public:
    TraceCollector() : index_(16, Hash{&log_}, Equal{&log_}) {}
    TraceCollector(const TraceCollector&) = delete;
    TraceCollector& operator=(const TraceCollector&) = delete;

    void add(std::vector<std::int32_t> events, std::int64_t count) {
        log_.push_back(Trace{std::move(events), count});
        const auto [found, added] = index_.insert(log_.size() - 1);
        if (added) return;
        log_[*found].count += count;
        log_.pop_back();
    }
    TraceLog take() {
        index_.clear();
        return std::move(log_);
    }

private:
    struct Hash {
        const TraceLog* log;
        std::size_t operator()(std::size_t at) const { return SequenceHash{}((*log)[at].events); }
    };
    struct Equal {
        const TraceLog* log;
        bool operator()(std::size_t a, std::size_t b) const {
            return (*log)[a].events == (*log)[b].events;
        }
    };
    TraceLog log_;
    std::unordered_set<std::size_t, Hash, Equal> index_;
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
