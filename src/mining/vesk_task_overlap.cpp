#include "mining/vesk_task_overlap.h"

#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vesk {

namespace {

// A log line seen as (activity, event type name).
struct LineView {
    std::string_view activity;
    std::string_view event;
    std::int32_t case_number;
};

std::vector<LineView> line_views(const Tloglist& log) {
    std::vector<LineView> views;
    views.reserve(log.size());
    for (const Tlog_line& line : log) {
        const std::string_view event = event_type_name(line.event_type());
        const std::string_view name = log.name(line);
        const std::size_t activity_length =
            name.size() >= event.size() + 1 ? name.size() - event.size() - 1 : 0;
        views.push_back({name.substr(0, activity_length), event, line.case_number()});
    }
    return views;
}

struct TaskParts {
    Ttask* task;
    std::string activity;
    std::string event;
};

class OverlapFinder {
public:
    OverlapFinder(const Ttasklist& tasks, std::string_view start, std::string_view stop)
        : start_(start), stop_(stop) {
        for (Ttask* task : tasks) {
            TstringTuple parts = task->split_name();
            tasks_.push_back({task, std::move(parts.activity), std::move(parts.event)});
        }
    }

    // Makes every task of activity x parallel to every task of activity y.
    void overlap(std::string_view x, std::string_view y) {
        if (x == y) return;
        // A second call for the same two activities finds them parallel already.
        const auto key = x < y ? std::pair{std::string(x), std::string(y)}
                               : std::pair{std::string(y), std::string(x)};
        if (!done_.insert(key).second) return;
        for (const TaskParts& t : tasks_) {
            if (t.activity != x) continue;
            for (const TaskParts& u : tasks_) {
                if (u.activity != y) continue;
                if (t.task->parallel().find_by_name(u.task->name()) != nullptr) continue;
                make_parallel(t.task, u.task);
                if (t.event == u.event && (t.event == start_ || t.event == stop_))
                    pairs_.push_back({t.task, u.task});
            }
        }
    }

    const std::vector<std::pair<Ttask*, Ttask*>>& pairs() const { return pairs_; }
    const std::string& event_of(const Ttask* task) const {
        for (const TaskParts& t : tasks_)
            if (t.task == task) return t.event;
        static const std::string none;
        return none;
    }

private:
    static void make_parallel(Ttask* t, Ttask* u) {
        t->causal_successors().remove(u);
        t->causal_predecessors().remove(u);
        u->causal_successors().remove(t);
        u->causal_predecessors().remove(t);
        t->parallel().add(u);
        u->parallel().add(t);
    }

    std::string_view start_;
    std::string_view stop_;
    std::vector<TaskParts> tasks_;
    std::set<std::pair<std::string, std::string>> done_;
    std::vector<std::pair<Ttask*, Ttask*>> pairs_;
};

// Phase 1 over one case [begin, end).
void find_overlaps(const std::vector<LineView>& lines, std::size_t begin, std::size_t end,
                   std::string_view start, std::string_view stop, OverlapFinder& finder) {
    // Per activity: the first start line and the last stop line of the case.
    std::unordered_map<std::string_view, std::size_t> first_start;
    std::unordered_map<std::string_view, std::size_t> last_stop;
    for (std::size_t k = begin; k < end; ++k) {
        if (lines[k].event == start) first_start.try_emplace(lines[k].activity, k);
        if (lines[k].event == stop) last_stop[lines[k].activity] = k;
    }
    const auto started_before = [&](std::string_view activity, std::size_t k) {
        const auto it = first_start.find(activity);
        return it != first_start.end() && it->second < k;
    };
    const auto stopped_after = [&](std::string_view activity, std::size_t k) {
        const auto it = last_stop.find(activity);
        return it != last_stop.end() && it->second > k;
    };

    for (std::size_t i = begin; i < end; ++i) {
        if (lines[i].event != start) continue;
        const std::string_view x = lines[i].activity;
        std::size_t p = end;
        for (std::size_t j = i + 1; j < end; ++j) {
            if (lines[j].activity != x) continue;
            if (lines[j].event == stop) {
                p = j;
                break;
            }
            if (lines[j].event == start) i = j;  // the interval starts at the last start
        }
        if (p == end) continue;
        for (std::size_t k = i + 1; k < p; ++k) {
            const std::string_view y = lines[k].activity;
            if (y == x) continue;
            if ((lines[k].event == start && stopped_after(y, k)) ||
                (lines[k].event == stop && started_before(y, k)))
                finder.overlap(x, y);
        }
    }
}

struct Link {
    Ttask* from;
    Ttask* to;
};

// Phase 2 for one pair: walks the log and looks, from the later of the two, back for the task
// that causes the partner (start events) or forward for the task it causes (stop events).
void connect_pair(Ttask* t, Ttask* u, bool forward, const Tloglist& log,
                  const std::unordered_map<std::string_view, Ttask*>& task_of,
                  std::vector<Link>& links) {
    const std::int64_t d = forward ? 1 : -1;
    const std::int64_t n = static_cast<std::int64_t>(log.size());
    std::int64_t pt = -1, pu = -1;
    std::int32_t current_case = 0;
    bool have_case = false;
    const auto in_case = [&](std::int64_t pos) {
        return pos >= 0 && pos < n &&
               log[static_cast<std::size_t>(pos)].case_number() == current_case;
    };
    for (std::int64_t pos = forward ? 0 : n - 1; pos >= 0 && pos < n; pos += d) {
        const Tlog_line& line = log[static_cast<std::size_t>(pos)];
        if (!have_case || line.case_number() != current_case) {
            current_case = line.case_number();
            have_case = true;
            pt = pu = -1;
        }
        if (log.name(line) == t->name()) pt = pos;
        if (log.name(line) == u->name()) pu = pos;
        if (pt < 0 || pu < 0) continue;

        const bool anchor_is_t = d * pu <= pt;
        Ttask* x = anchor_is_t ? t : u;
        Ttask* y = anchor_is_t ? u : t;
        Ttasklist& stop_list =
            anchor_is_t || !forward ? x->causal_successors() : x->causal_predecessors();
        for (std::int64_t at = (anchor_is_t ? pt : pu) - d; in_case(at); at -= d) {
            const auto found = task_of.find(log.name(log[static_cast<std::size_t>(at)]));
            if (found == task_of.end()) continue;
            Ttask* k = found->second;
            if (stop_list.contains(k)) break;
            if (x->is_related(*k)) continue;
            Ttasklist& partner_side = forward ? k->causal_successors() : k->causal_predecessors();
            if (k != y && partner_side.contains(y)) {
                links.push_back(forward ? Link{k, x} : Link{x, k});
                break;
            }
        }
        pt = pu = -1;
    }
}

}  // namespace

void overlap_parallel(const Tloglist& log, const Ttasklist& tasks, const std::string& start_type,
                      const std::string& stop_type) {
    const std::vector<LineView> lines = line_views(log);
    OverlapFinder finder(tasks, start_type, stop_type);
    for (std::size_t begin = 0; begin < lines.size();) {
        std::size_t end = begin;
        while (end < lines.size() && lines[end].case_number == lines[begin].case_number)
            ++end;
        find_overlaps(lines, begin, end, start_type, stop_type, finder);
        begin = end;
    }

    std::unordered_map<std::string_view, Ttask*> task_of;
    for (Ttask* task : tasks)
        task_of.try_emplace(task->name(), task);
    std::vector<Link> links;
    for (const auto& [t, u] : finder.pairs())
        connect_pair(t, u, finder.event_of(t) == start_type, log, task_of, links);
    for (const Link& link : links) {
        link.from->causal_successors().add(link.to);
        link.to->causal_predecessors().add(link.from);
    }
}

}  // namespace vesk
