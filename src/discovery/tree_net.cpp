#include "discovery/tree_net.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "discovery/draft_net.h"

namespace vesk {

namespace {

class NetWriter {
public:
    NetWriter(Tpetrinet& net, const DraftNet& draft, const std::vector<std::string>& names,
              const Ttasklist& tasks)
        : net_(net), draft_(draft), names_(names), tasks_(tasks) {}

    void write() {
        net_.Clear();
        net_.skip_rule = SkipRule::shortest_sequence;
        name_transitions();
        for (std::int32_t p = 0; p < draft_.place_count(); ++p)
            if (draft_.place_alive(p)) add_place(p);
        const auto& transitions = draft_.transitions();
        for (std::size_t t = 0; t < transitions.size(); ++t) {
            if (!transitions[t].alive) continue;
            Ttransition* transition = transition_of_[t];
            for (const std::int32_t p : transitions[t].inputs)
                net_.Add_new_arc(place_of_.at(p), transition, false, 1.0);
            for (const std::int32_t p : transitions[t].outputs)
                net_.Add_new_arc(place_of_.at(p), transition, true, 1.0);
        }
    }

private:
    void name_transitions() {
        const auto& transitions = draft_.transitions();
        transition_of_.assign(transitions.size(), nullptr);
        std::int32_t invisible = 0;
        for (std::size_t t = 0; t < transitions.size(); ++t) {
            if (!transitions[t].alive) continue;
            const std::int32_t activity = transitions[t].activity;
            std::string name;
            Ttask* task = nullptr;
            if (activity >= 0) {
                name = names_[static_cast<std::size_t>(activity)];
                task = tasks_.find_by_name(name);
            } else {
                // A log's own name may look like a generated one: the number moves on.
                do {
                    name = std::string(kSkipMarker) + std::to_string(invisible++) + "_normal";
                } while (net_.Find_transition(name) != nullptr);
            }
            transition_of_[t] = net_.Add_transition(name, task);
        }
    }

    // "*A*&*B*" of the transitions around the place; the start and end places as the alpha
    // construction writes them. A place around many transitions (the flower's, say) names the
    // first few and counts the rest: every file that names places repeats the name once per
    // arc, and a full list would make them grow with the square of the activities.
    std::string set_of(std::int32_t place, bool producers, const char* separator) const {
        constexpr int kNamedTransitions = 4;
        std::string set;
        int members = 0;
        const auto& transitions = draft_.transitions();
        for (std::size_t t = 0; t < transitions.size(); ++t) {
            if (!transitions[t].alive) continue;
            const auto& places = producers ? transitions[t].outputs : transitions[t].inputs;
            if (std::find(places.begin(), places.end(), place) == places.end()) continue;
            if (++members > kNamedTransitions) continue;
            if (!set.empty() || separator[0] == '_') set += separator;
            set += "*" + transition_of_[t]->name + "*";
        }
        if (members > kNamedTransitions)
            set += separator + std::string("*and ") + std::to_string(members - kNamedTransitions) +
                   " more*";
        return set;
    }

    void add_place(std::int32_t p) {
        std::string input = p == draft_.start() ? std::string(kStartSet)
                                                : set_of(p, true, p == draft_.end() ? "_" : "&");
        std::string output = p == draft_.end() ? std::string(kEndSet)
                                               : set_of(p, false, p == draft_.start() ? "_" : "&");
        // The writers tell places apart by their sets.
        for (int copy = 2; !used_.insert({input, output}).second; ++copy)
            output = output.substr(0, output.rfind("&#")) + "&#" + std::to_string(copy);
        place_of_[p] = net_.Add_new_place(std::move(input), std::move(output));
    }

    Tpetrinet& net_;
    const DraftNet& draft_;
    const std::vector<std::string>& names_;
    const Ttasklist& tasks_;
    std::vector<Ttransition*> transition_of_;
    std::map<std::int32_t, Tplace*> place_of_;
    std::set<std::pair<std::string, std::string>> used_;
};

}  // namespace

ProcessTree task_tree(const ProcessTree& tree, const VariantLog& log) {
    using Kind = ProcessTree::Kind;
    if (tree.kind() == Kind::silent) return tree;
    if (tree.kind() != Kind::activity) {
        std::vector<ProcessTree> children;
        for (const ProcessTree& child : tree.children())
            children.push_back(task_tree(child, log));
        return ProcessTree::node(tree.kind(), std::move(children));
    }
    const auto activity = static_cast<std::size_t>(tree.activity_id());
    const auto& tasks = log.tasks_of[activity];
    std::vector<ProcessTree> steps;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        ProcessTree step = ProcessTree::activity(tasks[i]);
        const bool lacking = tasks.size() == 2 &&
                             (i == 0 ? log.lone_completes[activity] : log.lone_starts[activity]);
        if (lacking)
            step = ProcessTree::node(Kind::choice, {std::move(step), ProcessTree::silent()});
        steps.push_back(std::move(step));
    }
    return ProcessTree::node(Kind::sequence, std::move(steps));
}

void build_tree_net(Tpetrinet& net, const ProcessTree& tree, const std::vector<std::string>& names,
                    const Ttasklist& tasks) {
    DraftNet draft(tree);
    draft.reduce();
    NetWriter(net, draft, names, tasks).write();
}

}  // namespace vesk
