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

    void add(Trace trace) {
        log_.push_back(std::move(trace));
        const auto [found, added] = index_.insert(log_.size() - 1);
        if (added) return;
        log_[*found].count += log_.back().count;
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
            return (*log)[a].events == (*log)[b].events &&
                   (*log)[a].first_after == (*log)[b].first_after;
        }
    };
    TraceLog log_;
    std::unordered_set<std::size_t, Hash, Equal> index_;
};

}  // namespace

namespace {

// Only start and complete events, of both types: the log speaks of activity instances.
bool holds_instances(const Tloglist& lines) {
    bool starts = false, completes = false;
    for (const Tlog_line& line : lines) {
        const EventType type = line.event_type();
        if (type != EventType::start && type != EventType::complete) return false;
        (type == EventType::start ? starts : completes) = true;
    }
    return starts && completes;
}

// The name without its "_start" or "_complete".
std::string activity_name(const std::string& task_name, EventType type) {
    const std::string suffix = "_" + event_type_name(type);
    if (task_name.size() > suffix.size() && task_name.ends_with(suffix))
        return task_name.substr(0, task_name.size() - suffix.size());
    return task_name;
}

// Gives out activity (and task) ids in the order of their first line, and gathers the case.
class VariantReader {
public:
    VariantReader(const Tloglist& lines, bool instances)
        : lines_(lines),
          instances_(instances),
          activity_of_name_(static_cast<std::size_t>(lines.name_count()), -1),
          task_of_name_(activity_of_name_) {}

    VariantLog read() {
        std::int32_t current_case = -1;
        bool any = false;
        for (const Tlog_line& line : lines_) {
            if (any && line.case_number() != current_case) close_case();
            any = true;
            current_case = line.case_number();
            add(line);
        }
        if (any) close_case();
        result_.traces = collector_.take();
        if (!instances_) {
            result_.task_names.clear();
            result_.tasks_of.clear();
            result_.lone_starts.clear();
            result_.lone_completes.clear();
        }
        return std::move(result_);
    }

private:
    std::int32_t activity_of(const Tlog_line& line) {
        const auto name_id = static_cast<std::size_t>(line.name_id());
        std::int32_t& id = activity_of_name_[name_id];
        if (id >= 0) return id;
        const std::string& task = lines_.name(line);
        const std::string name = instances_ ? activity_name(task, line.event_type()) : task;
        const auto [found, added] =
            ids_by_name_.try_emplace(name, static_cast<std::int32_t>(result_.names.size()));
        id = found->second;
        if (added) {
            result_.names.push_back(name);
            result_.events.push_back(0);
            result_.tasks_of.emplace_back();
            result_.lone_starts.push_back(false);
            result_.lone_completes.push_back(false);
            open_.emplace_back();
        }
        task_of_name_[name_id] = static_cast<std::int32_t>(result_.task_names.size());
        result_.task_names.push_back(task);
        // The start task first.
        auto& tasks = result_.tasks_of[static_cast<std::size_t>(id)];
        tasks.insert(line.event_type() == EventType::start ? tasks.begin() : tasks.end(),
                     task_of_name_[name_id]);
        return id;
    }

    void add(const Tlog_line& line) {
        const std::int32_t activity = activity_of(line);
        ++result_.events[static_cast<std::size_t>(activity)];
        auto& open = open_[static_cast<std::size_t>(activity)];
        if (instances_ && line.event_type() == EventType::complete && !open.empty()) {
            // First in, first out: the oldest open start of the activity ends here.
            first_after_[open.front()] = static_cast<std::int32_t>(events_.size());
            open.erase(open.begin());
            return;
        }
        if (instances_ && line.event_type() == EventType::complete)
            result_.lone_completes[static_cast<std::size_t>(activity)] = true;
        if (instances_ && line.event_type() == EventType::start) {
            if (open.empty()) opened_.push_back(activity);
            open.push_back(events_.size());
        }
        events_.push_back(activity);
        first_after_.push_back(static_cast<std::int32_t>(events_.size()));
    }

    void close_case() {
        for (const std::int32_t activity : opened_) {
            auto& open = open_[static_cast<std::size_t>(activity)];
            if (!open.empty()) result_.lone_starts[static_cast<std::size_t>(activity)] = true;
            open.clear();
        }
        opened_.clear();
        bool overlaps = false;
        for (std::size_t i = 0; i < events_.size(); ++i)
            overlaps = overlaps || first_after_[i] != static_cast<std::int32_t>(i) + 1;
        if (!overlaps) first_after_.clear();
        collector_.add(Trace{std::move(events_), 1, std::move(first_after_)});
        events_.clear();
        first_after_.clear();
    }

    const Tloglist& lines_;
    bool instances_;
    std::vector<std::int32_t> activity_of_name_;
    std::vector<std::int32_t> task_of_name_;
    std::unordered_map<std::string, std::int32_t> ids_by_name_;
    VariantLog result_;
    TraceCollector collector_;
    std::vector<std::int32_t> events_;
    std::vector<std::int32_t> first_after_;
    // Per activity, the positions of its instances still waiting for their complete, and the
    // activities with such positions in this case.
    std::vector<std::vector<std::size_t>> open_;
    std::vector<std::int32_t> opened_;
};

}  // namespace

VariantLog variants_of(const Tloglist& lines) {
    return VariantReader(lines, holds_instances(lines)).read();
}

TraceLog merged(TraceLog traces) {
    TraceCollector collector;
    for (Trace& trace : traces)
        if (trace.count > 0) collector.add(std::move(trace));
    return collector.take();
}

std::int64_t case_total(const TraceLog& log) {
    std::int64_t total = 0;
    for (const Trace& trace : log)
        total += trace.count;
    return total;
}

}  // namespace vesk
