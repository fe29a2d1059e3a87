#pragma once
// The search for the pairs of task sets that become places of the alpha construction.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "mining/vesk_task.h"
#include "net/name_bits.h"
#include "net/node_memo.h"
#include "net/task_table.h"

namespace vesk {

class PairSearch {
public:
    // once: a node met again is not searched again (see search); for the construction, to
    // which a pair found twice is the same place.
    PairSearch(const Ttasklist& tasks, bool once)
        : table_(tasks),
          once_(once),
          no_exclusions_(table_.name_count()),
          memo_(table_.name_count()) {
        for (int t = 0; t < table_.list_size(); ++t)
            all_.push_back(t);
    }

    // Hands each pair found to on_pair as it is found, input and output side as task numbers
    // (see task): a search may find millions, which are not kept.
    using PairHandler = std::function<void(const Side&, const Side&)>;
    void search(const TTaskArray& a, const TTaskArray& b, std::int32_t start_a,
                std::int32_t start_b, const PairHandler& on_pair) {
        Side na, nb;
        for (Ttask* t : a)
            na.push_back(table_.number_of(t));
        for (Ttask* t : b)
            nb.push_back(table_.number_of(t));
        rows_.make_room(table_.task_count());
        counts_ = Counts(table_.list_size(), table_.name_count());
        for (const int x : na)
            counts_.enter_input(rows_, table_, x);
        for (const int y : nb)
            counts_.enter_output(rows_, table_, y);
        on_pair_ = &on_pair;
        search(na, nb, start_a, start_b);
        on_pair_ = nullptr;
        memo_.clear();
    }

    Ttask* task(int n) const { return table_.task(n); }

private:
    // Finds the pairs (a', b') that extend (a, b) maximally, from the given start positions
    // on; returns the names of their output sides, which the caller excludes from further
    // extension of the side it extended.
    //
    // What a node finds depends on its two sides only (its exclusions are its own), and the
    // search meets many nodes more than once: adding x to one side and then y to the other
    // gives the node that adding y and then x gives. Met again, a node would find the same
    // pairs again, so with `once_` it only returns the names it returned the first time.
    NameBits search(Side& a, Side& b, std::int32_t start_a, std::int32_t start_b) {
        bool maximal = true;
        NameBits outputs(table_.name_count());
        // Excluded names, as bits: the lists of excluded tasks grow long with repetitions.
        NameBits excluded_a(table_.name_count()), excluded_b(table_.name_count());
        // Only tasks that cause the first output task can join the input side, and only tasks
        // caused by the first input task the output side: walking those two lists in position
        // order tries what trying every task would, in the same order.
        const std::vector<int>& inputs =
            b.empty() ? all_ : rows_.list(rows_.causes_list, table_, b[0], 1);
        const std::vector<int>& outputs_ =
            a.empty() ? all_ : rows_.list(rows_.caused_by_list, table_, a[0], 2);
        auto next_in = std::lower_bound(inputs.begin(), inputs.end(), start_a);
        auto next_out = std::lower_bound(outputs_.begin(), outputs_.end(), start_b);
        while (next_in != inputs.end() || next_out != outputs_.end()) {
            const int i =
                next_out == outputs_.end() || (next_in != inputs.end() && *next_in <= *next_out)
                    ? *next_in
                    : *next_out;
            const bool try_input = next_in != inputs.end() && *next_in == i;
            const bool try_output = next_out != outputs_.end() && *next_out == i;
            if (try_input) ++next_in;
            if (try_output) ++next_out;
            const int t = i;
            if (try_input && extends_input(t, a, b, excluded_a)) {
                const NameBits found = with_input(a, b, t, start_b);
                excluded_a.add_all(found);
                outputs.add_all(found);
                maximal = false;
            }
            if (try_output && extends_output(t, a, b, excluded_b)) {
                const NameBits found = with_output(a, b, t, start_a);
                excluded_b.add_all(found);
                outputs.add_all(found);
                maximal = false;
            }
        }
        if (maximal) take_pair(a, b, outputs);
        // Memory stays bounded: past the limit a node met again is searched again.
        if (once_ && memo_.size() < kRemembered) memo_.insert(a, b, outputs);
        return outputs;
    }

    // t joins the input side at position t (the search goes on after it); the output names
    // found below, or those found when the node was met before.
    NameBits with_input(Side& a, Side& b, int t, std::int32_t start_b) {
        a.push_back(t);
        NameBits found;
        if (!searched(a, b, found)) {
            counts_.enter_input(rows_, table_, t);
            std::optional<NameBits> passed = passes_over(a, b, t + 1, start_b);
            found = passed ? std::move(*passed) : search(a, b, t + 1, start_b);
            counts_.leave_input(rows_, table_, t);
        }
        a.pop_back();
        return found;
    }

    NameBits with_output(Side& a, Side& b, int t, std::int32_t start_a) {
        b.push_back(t);
        NameBits found;
        if (!searched(a, b, found)) {
            counts_.enter_output(rows_, table_, t);
            std::optional<NameBits> passed = passes_over(a, b, start_a, t + 1);
            found = passed ? std::move(*passed) : search(a, b, start_a, t + 1);
            counts_.leave_output(rows_, table_, t);
        }
        b.pop_back();
        return found;
    }

    // A pair no task extends: handed on, and its output names returned with the node's.
    void take_pair(const Side& a, const Side& b, NameBits& outputs) {
        (*on_pair_)(a, b);
        for (const int n : b)
            outputs.add(table_.name_index(n));
        if (once_) {
            recent_[next_recent_ % recent_.size()] = {bits_of(a), bits_of(b)};
            ++next_recent_;
        }
    }

    // Whether the subtree at (a, b), whose counts are entered, can be left out without changing
    // the places or what the node returns; if so, what it returns.
    //
    // Every pair below takes its input tasks from a and the tasks that could join a now, its
    // output tasks likewise: the conditions only get stricter further down. If a pair found
    // before (one of the last few) holds both bounds, no pair below gives a place of its own, as
    // each lies within that pair's place.
    //
    // What the subtree returns is exactly the names of b and of every task that could join b
    // now (the output bound): every node returns at least its own output names, a task that
    // could join b is either tried below or excluded because a sibling returned it, and
    // nothing below can reach an output task outside the bound. So the bound itself is the
    // account of what the skipped subtree adds to the exclusions.
    std::optional<NameBits> passes_over(const Side& a, const Side& b, std::int32_t start_a,
                                        std::int32_t start_b) {
        if (!once_ || next_recent_ == 0 || a.empty() || b.empty()) return std::nullopt;
        // The recent pairs that still hold both bounds; most nodes lose them all early.
        std::uint32_t holding = 0;
        const std::size_t known = std::min(next_recent_, recent_.size());
        NameBits bound_a = bits_of(a);
        NameBits bound_b = bits_of(b);
        for (std::size_t k = 0; k < known; ++k)
            if (bound_a.within(recent_[k][0]) && bound_b.within(recent_[k][1]))
                holding |= std::uint32_t{1} << k;
        const auto keep_holding = [&](std::size_t name, int side) {
            for (std::size_t k = 0; k < known; ++k)
                if (!recent_[k][static_cast<std::size_t>(side)].has(name))
                    holding &= ~(std::uint32_t{1} << k);
            return holding != 0;
        };
        const std::vector<int>& outputs = rows_.list(rows_.caused_by_list, table_, a[0], 2);
        for (auto it = std::lower_bound(outputs.begin(), outputs.end(), start_b);
             it != outputs.end() && holding != 0; ++it) {
            if (!extends_output(*it, a, b, no_exclusions_)) continue;
            const std::size_t name = table_.name_index(*it);
            if (!keep_holding(name, 1)) return std::nullopt;
            bound_b.add(name);
        }
        const std::vector<int>& inputs = rows_.list(rows_.causes_list, table_, b[0], 1);
        for (auto it = std::lower_bound(inputs.begin(), inputs.end(), start_a);
             it != inputs.end() && holding != 0; ++it)
            if (extends_input(*it, a, b, no_exclusions_) &&
                !keep_holding(table_.name_index(*it), 0))
                return std::nullopt;
        if (holding == 0) return std::nullopt;
        return bound_b;
    }

    NameBits bits_of(const Side& side) const {
        NameBits bits(table_.name_count());
        for (const int n : side)
            bits.add(table_.name_index(n));
        return bits;
    }

    // Whether the node was searched before; then `names` receives what it returned.
    bool searched(const Side& a, const Side& b, NameBits& names) const {
        return once_ && memo_.find(a, b, names);
    }

    // The conditions on a task of the list joining a side, from counts kept as the sides grow
    // and shrink: it is not on the side by name, relates to none of the side's tasks, and
    // causes (or is caused by) every task of the other side.
    bool extends_input(int t, const Side&, const Side& b, const NameBits& excluded) const {
        const std::size_t name = table_.name_index(t);
        const std::size_t at = static_cast<std::size_t>(t);
        return counts_.input_names[name] == 0 && !excluded.has(name) &&
               counts_.related_to_input[at] == 0 &&
               static_cast<std::size_t>(counts_.causes_output[at]) == b.size();
    }

    bool extends_output(int t, const Side& a, const Side&, const NameBits& excluded) const {
        const std::size_t name = table_.name_index(t);
        const std::size_t at = static_cast<std::size_t>(t);
        return counts_.output_names[name] == 0 && !excluded.has(name) &&
               counts_.related_to_output[at] == 0 &&
               static_cast<std::size_t>(counts_.caused_by_input[at]) == a.size();
    }

    // For one task x, the tasks t of the list that relate to x, cause x, are caused by x; made
    // when first asked for.
    struct Rows {
        // The positions t with related(t, x), causes(t, x), caused_by(t, x), ascending.
        std::vector<std::vector<int>> related_list, causes_list, caused_by_list;
        const std::vector<int>& list(std::vector<std::vector<int>>& lists, const TaskTable& table,
                                     int x, int kind) {
            auto& list = lists[static_cast<std::size_t>(x)];
            const char bit = static_cast<char>(1 << kind);
            if (!(made[static_cast<std::size_t>(x)] & bit)) {
                made[static_cast<std::size_t>(x)] |= bit;
                for (int t = 0; t < table.list_size(); ++t)
                    if (kind == 0   ? table.related(t, x)
                        : kind == 1 ? table.causes(t, x)
                                    : table.caused_by(t, x))
                        list.push_back(t);
            }
            return list;
        }
        std::vector<char> made;

        // Room for every task numbered so far; the search holds references into the tables,
        // so they must not grow while it runs.
        void make_room(std::size_t tasks) {
            for (auto* lists : {&related_list, &causes_list, &caused_by_list})
                if (lists->size() < tasks) lists->resize(tasks);
            if (made.size() < tasks) made.resize(tasks, 0);
        }
    };

    // Per task of the list: how many tasks of each side it relates to, how many output tasks
    // it causes and how many input tasks cause it; per name: how often each side holds it.
    struct Counts {
        Counts() = default;
        Counts(std::int32_t tasks, std::size_t names)
            : related_to_input(static_cast<std::size_t>(tasks), 0),
              related_to_output(static_cast<std::size_t>(tasks), 0),
              causes_output(static_cast<std::size_t>(tasks), 0),
              caused_by_input(static_cast<std::size_t>(tasks), 0),
              input_names(names, 0),
              output_names(names, 0) {}

        void enter_input(Rows& rows, const TaskTable& table, int x) {
            change(rows, table, x, 1, true);
        }
        void leave_input(Rows& rows, const TaskTable& table, int x) {
            change(rows, table, x, -1, true);
        }
        void enter_output(Rows& rows, const TaskTable& table, int y) {
            change(rows, table, y, 1, false);
        }
        void leave_output(Rows& rows, const TaskTable& table, int y) {
            change(rows, table, y, -1, false);
        }

        std::vector<std::int32_t> related_to_input, related_to_output, causes_output,
            caused_by_input;
        std::vector<std::int32_t> input_names, output_names;

    private:
        // Only the tasks that relate to x, or cause it, or are caused by it, change.
        void change(Rows& rows, const TaskTable& table, int x, std::int32_t step, bool input) {
            (input ? input_names : output_names)[table.name_index(x)] += step;
            std::vector<std::int32_t>& related_count = input ? related_to_input : related_to_output;
            std::vector<std::int32_t>& other_count = input ? caused_by_input : causes_output;
            for (const int t : rows.list(rows.related_list, table, x, 0))
                related_count[static_cast<std::size_t>(t)] += step;
            for (const int t : input ? rows.list(rows.caused_by_list, table, x, 2)
                                     : rows.list(rows.causes_list, table, x, 1))
                other_count[static_cast<std::size_t>(t)] += step;
        }
    };

    static constexpr std::size_t kRemembered = std::size_t{1} << 20;

    TaskTable table_;
    bool once_;
    const PairHandler* on_pair_ = nullptr;
    Rows rows_;
    Counts counts_;
    std::vector<int> all_;
    NameBits no_exclusions_;
    // The last pairs found, input and output names.
    std::array<std::array<NameBits, 2>, 8> recent_;
    static_assert(std::tuple_size_v<decltype(recent_)> <= 32,
                  "passes_over keeps a bit per recent pair in 32 bits");
    std::size_t next_recent_ = 0;
    // The nodes of the running search with the names they returned.
    NodeMemo memo_;
};

}  // namespace vesk
