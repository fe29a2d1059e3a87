#include "discovery/log_split.h"

#include <algorithm>

namespace vesk {

namespace {

using PartOf = std::vector<std::int32_t>;

std::int32_t part(const PartOf& part_of, std::int32_t activity) {
    return part_of[static_cast<std::size_t>(activity)];
}

// The trace goes whole to the part that holds most of its events, without the others' events.
void split_choice(const Trace& trace, const PartOf& part_of, std::vector<TraceLog>& logs) {
    std::vector<std::int64_t> counts(logs.size(), 0);
    for (const std::int32_t a : trace.events)
        ++counts[static_cast<std::size_t>(part(part_of, a))];
    const auto chosen =
        static_cast<std::int32_t>(std::max_element(counts.begin(), counts.end()) - counts.begin());
    logs[static_cast<std::size_t>(chosen)].push_back(projected(
        trace, 0, trace.events.size(), [&](std::int32_t a) { return part(part_of, a) == chosen; }));
}

// Each part takes a stretch of the trace, in the parts' order; every stretch ends where the
// fewest events are lost: events of the part after the end and of later parts before it.
void split_sequence(const Trace& trace, const PartOf& part_of, std::vector<TraceLog>& logs) {
    const auto& events = trace.events;
    std::size_t from = 0;
    for (std::size_t p = 0; p < logs.size(); ++p) {
        const auto here = static_cast<std::int32_t>(p);
        std::size_t end = events.size();
        if (p + 1 < logs.size()) {
            std::int64_t score = 0, best = 0;
            end = from;
            for (std::size_t i = from; i < events.size(); ++i) {
                const std::int32_t owner = part(part_of, events[i]);
                score += owner == here ? 1 : owner > here ? -1 : 0;
                if (score > best) {
                    best = score;
                    end = i + 1;
                }
            }
        }
        logs[p].push_back(
            projected(trace, from, end, [&](std::int32_t a) { return part(part_of, a) == here; }));
        from = end;
    }
}

void split_parallel(const Trace& trace, const PartOf& part_of, std::vector<TraceLog>& logs) {
    for (std::size_t p = 0; p < logs.size(); ++p)
        logs[p].push_back(projected(trace, 0, trace.events.size(), [&](std::int32_t a) {
            return part(part_of, a) == static_cast<std::int32_t>(p);
        }));
}

// Each run of events of one part is a trace of that part; a way back that starts or ends the
// trace, or follows another way back, goes around an empty body.
void split_loop(const Trace& trace, const PartOf& part_of, std::vector<TraceLog>& logs) {
    const auto all = [](std::int32_t) { return true; };
    const auto empty = Trace{{}, trace.count};
    std::int32_t previous = 0;
    std::size_t run_begin = 0;
    const auto close = [&](std::int32_t owner, std::size_t end) {
        logs[static_cast<std::size_t>(owner)].push_back(projected(trace, run_begin, end, all));
        run_begin = end;
    };
    for (std::size_t i = 0; i < trace.events.size(); ++i) {
        const std::int32_t owner = part(part_of, trace.events[i]);
        if (i == 0 && owner != 0) logs[0].push_back(empty);
        if (i > 0 && owner != previous) {
            close(previous, i);
            if (previous != 0 && owner != 0) logs[0].push_back(empty);
        }
        previous = owner;
    }
    close(previous, trace.events.size());
    if (previous != 0) logs[0].push_back(empty);
}

}  // namespace

std::vector<TraceLog> split_log(const TraceLog& log, const Cut& cut, std::int32_t universe) {
    PartOf part_of(static_cast<std::size_t>(universe), -1);
    for (std::size_t p = 0; p < cut.parts.size(); ++p)
        for (const std::int32_t a : cut.parts[p])
            part_of[static_cast<std::size_t>(a)] = static_cast<std::int32_t>(p);
    std::vector<TraceLog> logs(cut.parts.size());
    for (const Trace& trace : log) {
        switch (cut.kind) {
            case Cut::Kind::choice:
                split_choice(trace, part_of, logs);
                break;
            case Cut::Kind::sequence:
                split_sequence(trace, part_of, logs);
                break;
            case Cut::Kind::parallel:
                split_parallel(trace, part_of, logs);
                break;
            case Cut::Kind::loop:
                split_loop(trace, part_of, logs);
                break;
            case Cut::Kind::none:
                break;
        }
    }
    for (TraceLog& part_log : logs)
        part_log = merged(std::move(part_log));
    return logs;
}

}  // namespace vesk
