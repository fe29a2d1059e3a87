#include "net/vesk_redisc_build.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vesk {

namespace {

// The tasks the search looks at, numbered: the task list first, in order, then tasks that only
// its relation lists name. Relations are compared by name, as the construction compares them,
// and answered from tables: the search asks the same questions very often.
class TaskTable {
public:
    explicit TaskTable(const Ttasklist& list) : list_size_(list.count()) {
        for (Ttask* task : list)
            number(task);
        // Every task a relation list names, and the ones their lists name, get a number too.
        for (std::size_t i = 0; i < tasks_.size(); ++i) {
            Ttask* task = tasks_[i];
            for (Ttasklist* related :
                 {&task->causal_successors(), &task->causal_predecessors(), &task->parallel()})
                for (Ttask* other : *related)
                    number(other);
        }
        std::unordered_map<std::string, int> name_ids;
        for (const Ttask* task : tasks_)
            name_id_.push_back(name_ids.try_emplace(task->name(), name_ids.size()).first->second);
        const std::size_t names = name_ids.size();
        name_count_ = names;
        for (Ttask* task : tasks_) {
            successors_.push_back(bits(task->causal_successors(), names));
            predecessors_.push_back(bits(task->causal_predecessors(), names));
            parallel_.push_back(bits(task->parallel(), names));
        }
    }

    std::int32_t list_size() const { return list_size_; }
    std::size_t task_count() const { return tasks_.size(); }
    std::size_t name_count() const { return name_count_; }
    std::size_t name_index(int n) const { return name_of(n); }
    int number_of(Ttask* task) { return number(task); }
    Ttask* task(int n) const { return tasks_[static_cast<std::size_t>(n)]; }
    bool same(int a, int b) const { return name_id_[at(a)] == name_id_[at(b)]; }
    bool causes(int a, int b) const { return successors_[at(a)][name_of(b)]; }
    bool caused_by(int a, int b) const { return predecessors_[at(a)][name_of(b)]; }
    bool related(int a, int b) const {
        return causes(a, b) || caused_by(a, b) || parallel_[at(a)][name_of(b)] || causes(b, a) ||
               caused_by(b, a) || parallel_[at(b)][name_of(a)];
    }

private:
    static std::size_t at(int n) { return static_cast<std::size_t>(n); }
    std::size_t name_of(int n) const { return static_cast<std::size_t>(name_id_[at(n)]); }

    int number(Ttask* task) {
        const auto [it, added] = numbers_.try_emplace(task, static_cast<int>(tasks_.size()));
        if (added) tasks_.push_back(task);
        return it->second;
    }

    std::vector<char> bits(const Ttasklist& list, std::size_t names) const {
        std::vector<char> set(names, 0);
        for (const Ttask* task : list)
            set[name_of(numbers_.at(task))] = 1;
        return set;
    }

    std::int32_t list_size_;
    std::size_t name_count_ = 0;
    std::vector<Ttask*> tasks_;
    std::unordered_map<const Ttask*, int> numbers_;
    std::vector<int> name_id_;
    std::vector<std::vector<char>> successors_, predecessors_, parallel_;
};

using Side = std::vector<int>;

// A set of task names as bits, held inline up to 512 names: the search makes and drops
// millions of them.
class NameBits {
public:
    explicit NameBits(std::size_t names = 0) : size_((names + 63) / 64) {
        if (size_ > kInline) heap_.assign(size_, 0);
    }
    NameBits(std::size_t names, const std::uint64_t* words) : NameBits(names) {
        std::copy(words, words + size_, data());
    }
    void append_to(std::vector<std::uint64_t>& out) const {
        out.insert(out.end(), data(), data() + size_);
    }
    void add(std::size_t name) { data()[name / 64] |= std::uint64_t{1} << (name % 64); }
    bool has(std::size_t name) const { return (data()[name / 64] >> (name % 64)) & 1; }
    bool within(const NameBits& other) const {
        const std::uint64_t* words = data();
        const std::uint64_t* more = other.data();
        for (std::size_t w = 0; w < size_; ++w)
            if ((words[w] & ~more[w]) != 0) return false;
        return true;
    }
    void add_all(const NameBits& other) {
        std::uint64_t* words = data();
        const std::uint64_t* more = other.data();
        for (std::size_t w = 0; w < size_; ++w)
            words[w] |= more[w];
    }

private:
    static constexpr std::size_t kInline = 8;
    std::uint64_t* data() { return size_ > kInline ? heap_.data() : inline_.data(); }
    const std::uint64_t* data() const { return size_ > kInline ? heap_.data() : inline_.data(); }

    std::size_t size_;
    std::array<std::uint64_t, kInline> inline_{};
    std::vector<std::uint64_t> heap_;
};

// The nodes of a search with the names each returned, in flat arrays: a search meets millions
// of nodes, and a map of vectors spends more time allocating than searching. A node is named
// by its two sides: where the last task of a side was added fixes where the search goes on.
class NodeMemo {
public:
    explicit NodeMemo(std::size_t names) : names_(names) {}

    std::size_t size() const { return count_; }

    // The names the node returned, or false when it is not here.
    bool find(const Side& a, const Side& b, NameBits& names) const {
        if (slots_.empty()) return false;
        const std::uint64_t h = hash(a, b);
        for (std::size_t at = h & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[at];
            if (slot.value == kEmpty) return false;
            if (slot.hash == h && same(slot, a, b)) {
                names = NameBits(names_, values_.data() + slot.value * words());
                return true;
            }
        }
    }

    void insert(const Side& a, const Side& b, const NameBits& names) {
        if ((count_ + 1) * 2 > slots_.size()) grow();
        place(hash(a, b), static_cast<std::uint32_t>(keys_.size()),
              static_cast<std::uint32_t>(values_.size() / std::max<std::size_t>(words(), 1)),
              static_cast<std::uint16_t>(a.size()), static_cast<std::uint16_t>(b.size()));
        keys_.insert(keys_.end(), a.begin(), a.end());
        keys_.insert(keys_.end(), b.begin(), b.end());
        names.append_to(values_);
        ++count_;
    }

    void clear() {
        slots_.clear();
        keys_.clear();
        values_.clear();
        count_ = 0;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t key = 0;
        std::uint32_t value = kEmpty;
        std::uint16_t a_size = 0, b_size = 0;
    };

    std::size_t words() const { return (names_ + 63) / 64; }

    static std::uint64_t hash(const Side& a, const Side& b) {
        std::uint64_t h = 0xCBF29CE484222325ull;
        for (const int n : a)
            h = (h ^ static_cast<std::uint64_t>(n + 1)) * 0x100000001B3ull;
        h = (h ^ 0xFFFF) * 0x100000001B3ull;
        for (const int n : b)
            h = (h ^ static_cast<std::uint64_t>(n + 1)) * 0x100000001B3ull;
        return h ^ (h >> 29);
    }

    bool same(const Slot& slot, const Side& a, const Side& b) const {
        if (slot.a_size != a.size() || slot.b_size != b.size()) return false;
        const int* key = keys_.data() + slot.key;
        return std::equal(a.begin(), a.end(), key) &&
               std::equal(b.begin(), b.end(), key + a.size());
    }

    void place(std::uint64_t h, std::uint32_t key, std::uint32_t value, std::uint16_t a_size,
               std::uint16_t b_size) {
        std::size_t at = h & (slots_.size() - 1);
        while (slots_[at].value != kEmpty)
            at = (at + 1) & (slots_.size() - 1);
        slots_[at] = {h, key, value, a_size, b_size};
    }

    void grow() {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(std::max<std::size_t>(1024, old.size() * 2), Slot{});
        for (const Slot& slot : old)
            if (slot.value != kEmpty)
                place(slot.hash, slot.key, slot.value, slot.a_size, slot.b_size);
    }

    std::size_t names_;
    std::vector<Slot> slots_;
    std::vector<int> keys_;
    std::vector<std::uint64_t> values_;
    std::size_t count_ = 0;
};

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
                a.push_back(t);
                NameBits before;
                const NameBits found = searched(a, b, before) ? before : [&] {
                    counts_.enter_input(rows_, table_, t);
                    NameBits deeper = passes_over(a, b, i + 1, start_b, excluded_a)
                                          ? NameBits(table_.name_count())
                                          : search(a, b, i + 1, start_b);
                    counts_.leave_input(rows_, table_, t);
                    return deeper;
                }();
                a.pop_back();
                excluded_a.add_all(found);
                outputs.add_all(found);
                maximal = false;
            }
            if (try_output && extends_output(t, a, b, excluded_b)) {
                b.push_back(t);
                NameBits before;
                const NameBits found = searched(a, b, before) ? before : [&] {
                    counts_.enter_output(rows_, table_, t);
                    NameBits deeper = passes_over(a, b, start_a, i + 1, excluded_b)
                                          ? NameBits(table_.name_count())
                                          : search(a, b, start_a, i + 1);
                    counts_.leave_output(rows_, table_, t);
                    return deeper;
                }();
                b.pop_back();
                excluded_b.add_all(found);
                outputs.add_all(found);
                maximal = false;
            }
        }
        if (maximal) {
            (*on_pair_)(a, b);
            for (const int n : b)
                outputs.add(table_.name_index(n));
            if (once_) {
                recent_[next_recent_ % recent_.size()] = {bits_of(a), bits_of(b)};
                ++next_recent_;
            }
        }
        // Memory stays bounded: past the limit a node met again is searched again.
        if (once_ && memo_.size() < kRemembered) memo_.insert(a, b, outputs);
        return outputs;
    }

    // Whether the subtree at (a, b), whose counts are entered, can be left out without changing
    // the places. Every pair below takes its input tasks from a and the tasks that could join
    // a now, its output tasks likewise: the conditions only get stricter further down. If a
    // pair found before (one of the last few) holds both bounds, no pair below gives a place
    // of its own, as each lies within that pair's place. If the output bound is excluded
    // already, what the subtree would add to the exclusions (and to what the node returns,
    // which holds the exclusions) changes nothing either.
    bool passes_over(const Side& a, const Side& b, std::int32_t start_a, std::int32_t start_b,
                     const NameBits& excluded) {
        if (!once_ || next_recent_ == 0 || a.empty() || b.empty()) return false;
        NameBits bound_b = bits_of(b);
        for (const int n : b)
            if (!excluded.has(table_.name_index(n))) return false;
        const std::vector<int>& outputs = rows_.list(rows_.caused_by_list, table_, a[0], 2);
        for (auto it = std::lower_bound(outputs.begin(), outputs.end(), start_b);
             it != outputs.end(); ++it) {
            if (!extends_output(*it, a, b, no_exclusions_)) continue;
            const std::size_t name = table_.name_index(*it);
            if (!excluded.has(name)) return false;
            bound_b.add(name);
        }
        NameBits bound_a = bits_of(a);
        const std::vector<int>& inputs = rows_.list(rows_.causes_list, table_, b[0], 1);
        for (auto it = std::lower_bound(inputs.begin(), inputs.end(), start_a); it != inputs.end();
             ++it)
            if (extends_input(*it, a, b, no_exclusions_)) bound_a.add(table_.name_index(*it));
        const std::size_t known = std::min(next_recent_, recent_.size());
        for (std::size_t k = 0; k < known; ++k)
            if (bound_a.within(recent_[k][0]) && bound_b.within(recent_[k][1])) return true;
        return false;
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
    std::size_t next_recent_ = 0;
    // The nodes of the running search with the names they returned.
    NodeMemo memo_;
};

char fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string folded(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = fold(c);
    return out;
}

// The parts of a set between its "&"s.
std::vector<std::string_view> tokens_of(std::string_view set) {
    std::vector<std::string_view> tokens;
    std::size_t begin = 0;
    for (std::size_t at = set.find('&'); at != std::string_view::npos; at = set.find('&', begin)) {
        tokens.push_back(set.substr(begin, at - begin));
        begin = at + 1;
    }
    tokens.push_back(set.substr(begin));
    return tokens;
}

// "*name*" with no other "*" in it.
bool simple_token(std::string_view token) {
    return token.size() >= 2 && token.front() == '*' && token.back() == '*' &&
           token.substr(1, token.size() - 2).find('*') == std::string_view::npos;
}

// Finds the place that Tpetrinet::Find_place finds among the places Build_net adds, without
// scanning them all: the first place whose input set holds every "&"-part of the inputs and
// whose output set every part of the outputs, letters compared case-blind.
//
// In a set made of simple tokens ("*A*&*B*", no "*" inside a name), a simple part occurs as a
// substring exactly when it equals one of the tokens. So such a place is kept as the numbers
// of its tokens, listed under each of them, and checked by comparing numbers; only places
// and queries whose names break the pattern are compared as text.
class PlaceIndex {
public:
    // -1 when there is none.
    std::int32_t find(std::string_view inputs, std::string_view outputs) const {
        const std::string in = folded(inputs);
        const std::string out = folded(outputs);
        const auto in_parts = tokens_of(in);
        const auto out_parts = tokens_of(out);
        const auto all_simple = [](const std::vector<std::string_view>& parts) {
            return std::all_of(parts.begin(), parts.end(), simple_token);
        };
        if (in.empty() || out.empty() || !all_simple(in_parts) || !all_simple(out_parts)) {
            for (std::size_t p = 0; p < places_.size(); ++p)
                if (holds_text(p, in, in_parts, out, out_parts))
                    return static_cast<std::int32_t>(p);
            return -1;
        }
        // A token no regular place has leaves the irregular places only.
        Bits in_bits, out_bits;
        bool known = true;
        const std::vector<std::int32_t>* candidates = nullptr;
        for (const std::string_view part : in_parts) {
            const auto id = token_ids_.find(std::string(part));
            if (id == token_ids_.end()) {
                known = false;
                break;
            }
            set(in_bits, id->second);
            const auto& list = by_input_token_[static_cast<std::size_t>(id->second)];
            if (candidates == nullptr || list.size() < candidates->size()) candidates = &list;
        }
        for (const std::string_view part : out_parts) {
            const auto id = known ? token_ids_.find(std::string(part)) : token_ids_.end();
            if (id == token_ids_.end()) {
                known = false;
                break;
            }
            set(out_bits, id->second);
            const auto& list = by_output_token_[static_cast<std::size_t>(id->second)];
            if (list.size() < candidates->size()) candidates = &list;
        }
        if (!known) candidates = &none_;
        // Those and the irregular places, in place order.
        auto c = candidates->begin();
        auto i = irregular_.begin();
        while (c != candidates->end() || i != irregular_.end()) {
            const bool take_c = i == irregular_.end() || (c != candidates->end() && *c < *i);
            const std::int32_t p = take_c ? *c++ : *i++;
            const auto& place = places_[static_cast<std::size_t>(p)];
            const bool holds =
                place.regular
                    ? within(in_bits, place.inputs) && within(out_bits, place.outputs)
                    : holds_text(static_cast<std::size_t>(p), in, in_parts, out, out_parts);
            if (holds) return p;
        }
        return -1;
    }

    void add(std::string_view inputs, std::string_view outputs) {
        const auto p = static_cast<std::int32_t>(places_.size());
        Place place{folded(inputs), folded(outputs), {}, {}, false};
        const auto in_tokens = tokens_of(place.input_text);
        const auto out_tokens = tokens_of(place.output_text);
        place.regular = std::all_of(in_tokens.begin(), in_tokens.end(), simple_token) &&
                        std::all_of(out_tokens.begin(), out_tokens.end(), simple_token);
        if (place.regular) {
            for (const std::string_view token : in_tokens) {
                const std::int32_t id = token_id(token);
                set(place.inputs, id);
                auto& list = by_input_token_[static_cast<std::size_t>(id)];
                if (list.empty() || list.back() != p) list.push_back(p);
            }
            for (const std::string_view token : out_tokens) {
                const std::int32_t id = token_id(token);
                set(place.outputs, id);
                auto& list = by_output_token_[static_cast<std::size_t>(id)];
                if (list.empty() || list.back() != p) list.push_back(p);
            }
        } else {
            irregular_.push_back(p);
        }
        places_.push_back(std::move(place));
    }

private:
    using Bits = std::vector<std::uint64_t>;
    struct Place {
        std::string input_text, output_text;
        Bits inputs, outputs;
        bool regular;
    };

    static void set(Bits& bits, std::int32_t id) {
        const auto word = static_cast<std::size_t>(id) / 64;
        if (bits.size() <= word) bits.resize(word + 1, 0);
        bits[word] |= std::uint64_t{1} << (static_cast<std::size_t>(id) % 64);
    }
    static bool within(const Bits& part, const Bits& whole) {
        for (std::size_t w = 0; w < part.size(); ++w)
            if ((part[w] & ~(w < whole.size() ? whole[w] : 0)) != 0) return false;
        return true;
    }

    std::int32_t token_id(std::string_view token) {
        const auto [it, added] = token_ids_.try_emplace(
            std::string(token), static_cast<std::int32_t>(token_ids_.size()));
        if (added) {
            by_input_token_.emplace_back();
            by_output_token_.emplace_back();
        }
        return it->second;
    }

    // An empty query side imposes nothing, as in Find_place.
    bool holds_text(std::size_t p, const std::string& in,
                    const std::vector<std::string_view>& in_parts, const std::string& out,
                    const std::vector<std::string_view>& out_parts) const {
        const auto contains = [](const std::string& set,
                                 const std::vector<std::string_view>& parts) {
            return std::all_of(parts.begin(), parts.end(), [&](std::string_view part) {
                return set.find(part) != std::string::npos;
            });
        };
        return (in.empty() || contains(places_[p].input_text, in_parts)) &&
               (out.empty() || contains(places_[p].output_text, out_parts));
    }

    std::vector<Place> places_;
    std::unordered_map<std::string, std::int32_t> token_ids_;
    std::vector<std::vector<std::int32_t>> by_input_token_, by_output_token_;
    std::vector<std::int32_t> irregular_;
    const std::vector<std::int32_t> none_{};
};

// The net has no arcs yet and transition names are unique, so every arc made here is new.
void add_arcs(Tpetrinet& net) {
    for (const auto& transition : net.transitions()) {
        const std::string key = "*" + transition->name + "*";
        for (const auto& place : net.places()) {
            if (place->input_set.find(key) != std::string::npos)
                net.Add_new_arc(place.get(), transition.get(), true, 1.0);
            if (place->output_set.find(key) != std::string::npos)
                net.Add_new_arc(place.get(), transition.get(), false, 1.0);
        }
    }
}

void add_start_and_end(Tpetrinet& net, const Ttasklist& tasks) {
    Tplace* start = net.Add_place(std::string(kStartSet), "");
    Tplace* end = net.Add_place("", std::string(kEndSet));
    for (Ttask* task : tasks) {
        if (task->is_trace_start) {
            start->output_set += "_*" + task->name() + "*";
            net.Add_input_arc(start, net.Transition_of_task(task), 1.0);
        }
        if (task->is_trace_end) {
            end->input_set += "_*" + task->name() + "*";
            net.Add_output_arc(net.Transition_of_task(task), end, 1.0);
        }
    }
}

}  // namespace

void Search_pairs(const Ttasklist& tasks, TTaskArray& a, TTaskArray& b, Ttasktuplearray& result,
                  std::int32_t start_a, std::int32_t start_b) {
    PairSearch search(tasks, false);
    search.search(a, b, start_a, start_b, [&](const Side& input, const Side& output) {
        TtaskTuple pair;
        for (const int n : input)
            pair[0].push_back(search.task(n));
        for (const int n : output)
            pair[1].push_back(search.task(n));
        result.push_back(std::move(pair));
    });
}

// The pairs Build_net remembers having tried.
constexpr std::size_t kTriedPairs = std::size_t{1} << 20;

void Build_net(Tpetrinet& net, const Ttasklist& tasks) {
    net.Clear();
    PairSearch search(tasks, true);
    // Places are only added here, so a pair tried once would find its place (or a larger one)
    // again: the search repeats pairs very often, and the lookup is the expensive part.
    std::unordered_set<std::string> tried;
    // The places of this net, all added here and unchanged until the loop ends.
    PlaceIndex places;
    // Each pair becomes a place as it is found, in the order a list of the pairs would give:
    // the search does not look at the net, so nothing else changes.
    const auto set_text = [&search](const Side& side) {
        std::string set;
        for (const int n : side) {
            if (!set.empty()) set += "&";
            set += "*" + search.task(n)->name() + "*";
        }
        return set;
    };
    const PairSearch::PairHandler take = [&](const Side& a, const Side& b) {
        if (a.empty() || b.empty()) return;
        std::string input = set_text(a);
        std::string output = set_text(b);
        // A pair tried before would only find its place again; past the bound the lookup
        // finds it, so that memory stays bounded.
        if (tried.size() < kTriedPairs) {
            if (!tried.insert(input + '\0' + output).second) return;
        } else if (tried.count(input + '\0' + output) != 0) {
            return;
        }
        if (places.find(input, output) >= 0) return;
        places.add(input, output);
        net.Add_new_place(std::move(input), std::move(output));
    };
    for (Ttask* t : tasks) {
        net.Add_transition(t->name(), t);
        const TTaskArray a = {t};
        for (Ttask* s : t->causal_successors())
            search.search(a, {s}, 0, 0, take);
    }
    add_arcs(net);
    add_start_and_end(net, tasks);
}

void Add_loop_tasks(Tpetrinet& net, const Ttasklist& loop_tasks) {
    for (Ttask* t : loop_tasks) {
        Ttransition* loop = net.Add_transition(t->name(), t);
        for (const Ttask* p : t->causal_predecessors()) {
            for (const Ttask* s : t->causal_successors()) {
                const Tplacelist between =
                    net.Places_between(net.Transition_of_task(p), net.Transition_of_task(s), true);
                for (Tplace* q : between) {
                    if (!net.Find_arc(loop, q, false)) net.Add_input_arc(q, loop, 1.0);
                    if (!net.Find_arc(loop, q, true)) net.Add_output_arc(loop, q, 1.0);
                }
            }
        }
    }
}

}  // namespace vesk
