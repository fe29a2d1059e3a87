#include "net/vesk_redisc_build.h"

#include <algorithm>
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
using Excluded = std::vector<char>;

class PairSearch {
public:
    explicit PairSearch(const Ttasklist& tasks) : table_(tasks) {}

    void search(TTaskArray& a, TTaskArray& b, Ttasktuplearray& result, std::int32_t start_a,
                std::int32_t start_b) {
        Side na, nb;
        for (Ttask* t : a)
            na.push_back(table_.number_of(t));
        for (Ttask* t : b)
            nb.push_back(table_.number_of(t));
        std::vector<std::array<Side, 2>> found;
        search(na, nb, found, start_a, start_b);
        for (const auto& [input, output] : found) {
            TtaskTuple pair;
            for (int n : input)
                pair[0].push_back(table_.task(n));
            for (int n : output)
                pair[1].push_back(table_.task(n));
            result.push_back(std::move(pair));
        }
    }

private:
    void search(Side& a, Side& b, std::vector<std::array<Side, 2>>& result, std::int32_t start_a,
                std::int32_t start_b) {
        bool maximal = true;
        // Excluded names, as flags: the lists of excluded tasks grow long with repetitions.
        Excluded excluded_a(table_.name_count(), 0), excluded_b(table_.name_count(), 0);
        for (std::int32_t i = std::min(start_a, start_b); i < table_.list_size(); ++i) {
            const int t = i;
            if (i >= start_a && extends_input(t, a, b, excluded_a)) {
                a.push_back(t);
                descend(result, excluded_a, [&] { search(a, b, result, i + 1, start_b); });
                a.pop_back();
                maximal = false;
            }
            if (i >= start_b && extends_output(t, a, b, excluded_b)) {
                b.push_back(t);
                descend(result, excluded_b, [&] { search(a, b, result, start_a, i + 1); });
                b.pop_back();
                maximal = false;
            }
        }
        if (maximal) result.push_back({a, b});
    }

    bool holds(const Side& side, int t) const {
        return std::any_of(side.begin(), side.end(), [&](int n) { return table_.same(n, t); });
    }

    bool extends_input(int t, const Side& a, const Side& b, const Excluded& excluded) const {
        if (holds(a, t) || excluded[table_.name_index(t)]) return false;
        for (int x : a)
            if (table_.related(t, x)) return false;
        for (int y : b)
            if (!table_.causes(t, y)) return false;
        return true;
    }

    bool extends_output(int t, const Side& a, const Side& b, const Excluded& excluded) const {
        if (holds(b, t) || excluded[table_.name_index(t)]) return false;
        for (int y : b)
            if (table_.related(t, y)) return false;
        for (int x : a)
            if (!table_.caused_by(t, x)) return false;
        return true;
    }

    // Runs the deeper search and excludes the output sides of the pairs it found.
    template <typename Deeper>
    void descend(std::vector<std::array<Side, 2>>& result, Excluded& excluded,
                 Deeper deeper) const {
        const std::size_t before = result.size();
        deeper();
        for (std::size_t k = before; k < result.size(); ++k)
            for (const int n : result[k][1])
                excluded[table_.name_index(n)] = 1;
    }

    TaskTable table_;
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
// substring exactly when it equals one of the tokens, so the places that hold a token are
// listed under it, and only those (and the places whose names break the pattern) are checked.
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
        if (in.empty() || !all_simple(in_parts) || !all_simple(out_parts)) {
            for (std::size_t p = 0; p < inputs_.size(); ++p)
                if (holds(p, in, in_parts, out, out_parts)) return static_cast<std::int32_t>(p);
            return -1;
        }
        // The shortest list of places that hold one of the input parts.
        const std::vector<std::int32_t>* candidates = nullptr;
        for (const std::string_view part : in_parts) {
            const auto it = by_input_token_.find(std::string(part));
            if (it == by_input_token_.end()) {
                candidates = &none_;
                break;
            }
            if (candidates == nullptr || it->second.size() < candidates->size())
                candidates = &it->second;
        }
        // Those and the irregular places, in place order.
        auto c = candidates->begin();
        auto i = irregular_.begin();
        while (c != candidates->end() || i != irregular_.end()) {
            const bool take_c = i == irregular_.end() || (c != candidates->end() && *c < *i);
            const std::int32_t p = take_c ? *c++ : *i++;
            if (holds(static_cast<std::size_t>(p), in, in_parts, out, out_parts)) return p;
        }
        return -1;
    }

    void add(std::string_view inputs, std::string_view outputs) {
        const auto p = static_cast<std::int32_t>(inputs_.size());
        inputs_.push_back(folded(inputs));
        outputs_.push_back(folded(outputs));
        const auto in_tokens = tokens_of(inputs_.back());
        const auto out_tokens = tokens_of(outputs_.back());
        const bool regular = std::all_of(in_tokens.begin(), in_tokens.end(), simple_token) &&
                             std::all_of(out_tokens.begin(), out_tokens.end(), simple_token);
        if (!regular) {
            irregular_.push_back(p);
            return;
        }
        for (const std::string_view token : in_tokens) {
            auto& list = by_input_token_[std::string(token)];
            if (list.empty() || list.back() != p) list.push_back(p);
        }
    }

private:
    // An empty query side imposes nothing, as in Find_place.
    bool holds(std::size_t p, const std::string& in, const std::vector<std::string_view>& in_parts,
               const std::string& out, const std::vector<std::string_view>& out_parts) const {
        const auto contains = [](const std::string& set, const std::vector<std::string_view>& parts) {
            return std::all_of(parts.begin(), parts.end(), [&](std::string_view part) {
                return set.find(part) != std::string::npos;
            });
        };
        return (in.empty() || contains(inputs_[p], in_parts)) &&
               (out.empty() || contains(outputs_[p], out_parts));
    }

    std::vector<std::string> inputs_, outputs_;
    std::unordered_map<std::string, std::vector<std::int32_t>> by_input_token_;
    std::vector<std::int32_t> irregular_;
    const std::vector<std::int32_t> none_;
};

std::string set_of(const TTaskArray& side) {
    std::string set;
    for (const Ttask* task : side) {
        if (!set.empty()) set += "&";
        set += "*" + task->name() + "*";
    }
    return set;
}

void add_arcs(Tpetrinet& net) {
    for (const auto& transition : net.transitions()) {
        const std::string key = "*" + transition->name + "*";
        for (const auto& place : net.places()) {
            if (place->input_set.find(key) != std::string::npos)
                net.Add_output_arc(transition.get(), place.get(), 1.0);
            if (place->output_set.find(key) != std::string::npos)
                net.Add_input_arc(place.get(), transition.get(), 1.0);
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
    PairSearch(tasks).search(a, b, result, start_a, start_b);
}

void Build_net(Tpetrinet& net, const Ttasklist& tasks) {
    net.Clear();
    PairSearch search(tasks);
    // Places are only added here, so a pair tried once would find its place (or a larger one)
    // again: the search repeats pairs very often, and the lookup is the expensive part.
    std::unordered_set<std::string> tried;
    // The places of this net, all added here and unchanged until the loop ends.
    PlaceIndex places;
    for (Ttask* t : tasks) {
        net.Add_transition(t->name(), t);
        TTaskArray a = {t};
        Ttasktuplearray pairs;
        for (Ttask* s : t->causal_successors()) {
            TTaskArray b = {s};
            search.search(a, b, pairs, 0, 0);
        }
        for (const TtaskTuple& pair : pairs) {
            if (pair[0].empty() || pair[1].empty()) continue;
            std::string input = set_of(pair[0]);
            std::string output = set_of(pair[1]);
            if (!tried.insert(input + '\0' + output).second) continue;
            if (places.find(input, output) >= 0) continue;
            places.add(input, output);
            net.Add_new_place(std::move(input), std::move(output));
        }
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
