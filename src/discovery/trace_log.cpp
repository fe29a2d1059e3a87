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
    // Ids in order of first appearance in these lines, by the list's name id.
    std::vector<std::int32_t> ids(static_cast<std::size_t>(lines.name_count()), -1);
    TraceCollector collector;
    std::vector<std::int32_t> events;
    std::int32_t current_case = -1;
    bool any = false;
    for (const Tlog_line& line : lines) {
        if (any && line.case_number() != current_case) collector.add(std::move(events), 1);
        if (!any || line.case_number() != current_case) events.clear();
        any = true;
        current_case = line.case_number();
        std::int32_t& id = ids[static_cast<std::size_t>(line.name_id())];
        if (id < 0) {
            id = static_cast<std::int32_t>(result.names.size());
            result.names.push_back(lines.name(line));
        }
        events.push_back(id);
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
