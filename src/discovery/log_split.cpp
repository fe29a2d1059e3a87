#include "discovery/log_split.h"

#include <algorithm>

namespace vesk {

namespace {

using PartOf = std::vector<std::int32_t>;

std::int32_t part(const PartOf& part_of, std::int32_t activity) {
    return part_of[static_cast<std::size_t>(activity)];
}

PartOf parts_of(const Cut& cut, std::int32_t universe) {
    PartOf part_of(static_cast<std::size_t>(universe), -1);
    for (std::size_t p = 0; p < cut.parts.size(); ++p)
        for (const std::int32_t a : cut.parts[p])
            part_of[static_cast<std::size_t>(a)] = static_cast<std::int32_t>(p);
    return part_of;
}

// The part that holds most of the trace's events (the first of those); activities outside the
// cut do not count.
std::int32_t chosen_part(const Trace& trace, const PartOf& part_of, std::size_t parts) {
    std::vector<std::int64_t> counts(parts, 0);
    for (const std::int32_t a : trace.events)
        if (part(part_of, a) >= 0) ++counts[static_cast<std::size_t>(part(part_of, a))];
    return static_cast<std::int32_t>(std::max_element(counts.begin(), counts.end()) -
                                     counts.begin());
}

// The trace goes whole to the part that holds most of its events, without the others' events.
void split_choice(const Trace& trace, const PartOf& part_of, std::vector<TraceLog>& logs) {
    const std::int32_t chosen = chosen_part(trace, part_of, logs.size());
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

std::vector<std::vector<bool>> sequence_presence(const TraceLog& log, const Cut& cut,
                                                 std::int32_t universe) {
    const PartOf part_of = parts_of(cut, universe);
    std::vector<std::vector<bool>> presence;
    presence.reserve(log.size());
    for (const Trace& trace : log) {
        std::vector<TraceLog> pieces(cut.parts.size());
        split_sequence(trace, part_of, pieces);
        std::vector<bool> present;
        for (const TraceLog& piece : pieces)
            present.push_back(!piece.front().events.empty());
        presence.push_back(std::move(present));
    }
    return presence;
}

Cut keep_choice_activities(const TraceLog& log, Cut cut, std::int32_t universe,
                           std::int64_t min_events) {
    const auto ids = static_cast<std::size_t>(universe);
    for (bool moved = true; moved && cut.parts.size() > 1;) {
        moved = false;
        const PartOf part_of = parts_of(cut, universe);
        std::vector<std::int64_t> kept(ids, 0), total(ids, 0);
        // Per activity, where its dropped events' cases went.
        std::vector<std::vector<std::int64_t>> went(ids);
        for (const Trace& trace : log) {
            const std::int32_t chosen = chosen_part(trace, part_of, cut.parts.size());
            for (const std::int32_t a : trace.events) {
                const auto at = static_cast<std::size_t>(a);
                if (part(part_of, a) < 0) continue;
                total[at] += trace.count;
                if (part(part_of, a) == chosen) {
                    kept[at] += trace.count;
                    continue;
                }
                went[at].resize(cut.parts.size(), 0);
                went[at][static_cast<std::size_t>(chosen)] += trace.count;
            }
        }
        for (std::size_t a = 0; a < ids; ++a) {
            if (kept[a] > 0 || total[a] < min_events || total[a] == 0) continue;
            const auto to = std::max_element(went[a].begin(), went[a].end()) - went[a].begin();
            auto& from = cut.parts[static_cast<std::size_t>(part_of[a])];
            from.erase(std::find(from.begin(), from.end(), static_cast<std::int32_t>(a)));
            auto& into = cut.parts[static_cast<std::size_t>(to)];
            into.insert(std::upper_bound(into.begin(), into.end(), static_cast<std::int32_t>(a)),
                        static_cast<std::int32_t>(a));
            moved = true;
            break;  // the cases go elsewhere once the parts change
        }
        std::erase_if(cut.parts, [](const auto& p) { return p.empty(); });
    }
    if (cut.parts.size() < 2) return Cut{};
    return cut;
}

std::vector<TraceLog> split_log(const TraceLog& log, const Cut& cut, std::int32_t universe) {
    const PartOf part_of = parts_of(cut, universe);
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
