#include "formats/bpmn_model.h"

#include <algorithm>
#include <map>
#include <set>

namespace vesk {

namespace {

using Kind = BpmnNode::Kind;

// The part of the model one block became: where flows enter it and leave it. A block of silent
// steps only has no nodes, and the flow passes it by.
struct Fragment {
    std::int32_t entry = -1;
    std::int32_t exit = -1;
    bool empty() const { return entry < 0; }
};

class Translation {
public:
    explicit Translation(std::vector<std::string> labels) : labels_(std::move(labels)) {
        add(Kind::start);
        add(Kind::end);
    }

    BpmnModel take(const ProcessTree& tree) {
        const Fragment whole = translate(tree);
        if (whole.empty()) {
            connect(0, 1);
        } else {
            connect(0, whole.entry);
            connect(whole.exit, 1);
        }
        return std::move(model_);
    }

private:
    std::int32_t add(Kind kind, std::string name = {}) {
        model_.nodes.push_back({kind, std::move(name)});
        return static_cast<std::int32_t>(model_.nodes.size() - 1);
    }
    void connect(std::int32_t source, std::int32_t target) {
        const BpmnFlow flow{source, target};
        if (std::find(model_.flows.begin(), model_.flows.end(), flow) == model_.flows.end())
            model_.flows.push_back(flow);
    }

    Fragment translate(const ProcessTree& tree) {
        switch (tree.kind()) {
            case ProcessTree::Kind::activity: {
                const std::int32_t task = add(Kind::task, labels_.at(tree.activity_id()));
                return {task, task};
            }
            case ProcessTree::Kind::silent:
                return {};
            case ProcessTree::Kind::sequence:
                return sequence(tree);
            case ProcessTree::Kind::choice:
            case ProcessTree::Kind::parallel:
                return branches(tree);
            case ProcessTree::Kind::loop:
                return loop(tree);
        }
        return {};
    }

    Fragment sequence(const ProcessTree& tree) {
        Fragment whole;
        for (const ProcessTree& child : tree.children()) {
            const Fragment part = translate(child);
            if (part.empty()) continue;
            if (whole.empty())
                whole.entry = part.entry;
            else
                connect(whole.exit, part.entry);
            whole.exit = part.exit;
        }
        return whole;
    }

    Fragment branches(const ProcessTree& tree) {
        const bool choice = tree.kind() == ProcessTree::Kind::choice;
        std::vector<Fragment> parts;
        bool silent_branch = false;
        for (const ProcessTree& child : tree.children()) {
            const Fragment part = translate(child);
            if (part.empty())
                silent_branch = true;
            else
                parts.push_back(part);
        }
        // A silent branch beside parallel ones does nothing; beside choices it is a way past.
        if (parts.empty()) return {};
        if (parts.size() == 1 && !(choice && silent_branch)) return parts.front();
        const Kind gateway = choice ? Kind::exclusive : Kind::parallel;
        const std::int32_t split = add(gateway);
        const std::int32_t join = add(gateway);
        for (const Fragment& part : parts) {
            connect(split, part.entry);
            connect(part.exit, join);
        }
        if (choice && silent_branch) connect(split, join);
        return {split, join};
    }

    Fragment loop(const ProcessTree& tree) {
        const std::int32_t join = add(Kind::exclusive);
        const std::int32_t split = add(Kind::exclusive);
        const auto between = [this](std::int32_t from, const Fragment& part, std::int32_t to) {
            if (part.empty()) {
                connect(from, to);
            } else {
                connect(from, part.entry);
                connect(part.exit, to);
            }
        };
        const auto& children = tree.children();
        between(join, translate(children.front()), split);
        for (std::size_t i = 1; i < children.size(); ++i)
            between(split, translate(children[i]), join);
        return {join, split};
    }

    std::vector<std::string> labels_;
    BpmnModel model_;
};

void collect_activities(const ProcessTree& tree, std::set<std::int32_t>& ids) {
    if (tree.kind() == ProcessTree::Kind::activity) ids.insert(tree.activity_id());
    for (const ProcessTree& child : tree.children())
        collect_activities(child, ids);
}

std::vector<std::string> task_labels(const ProcessTree& tree,
                                     const std::vector<std::string>& names) {
    std::set<std::int32_t> ids;
    collect_activities(tree, ids);
    const auto split = [](const std::string& name) {
        const std::size_t cut = name.rfind('_');
        if (cut == std::string::npos || cut == 0)
            return std::pair<std::string, std::string>{name, ""};
        return std::pair<std::string, std::string>{name.substr(0, cut), name.substr(cut + 1)};
    };
    std::map<std::string, int> events_of;
    for (const std::int32_t id : ids)
        ++events_of[split(names.at(static_cast<std::size_t>(id))).first];
    std::vector<std::string> labels(names.size());
    for (const std::int32_t id : ids) {
        const auto [activity, event] = split(names[static_cast<std::size_t>(id)]);
        labels[static_cast<std::size_t>(id)] =
            events_of[activity] > 1 ? activity + "+" + event : activity;
    }
    return labels;
}

}  // namespace

BpmnModel bpmn_of(const ProcessTree& tree, const std::vector<std::string>& names) {
    return Translation(task_labels(tree, names)).take(tree);
}

BpmnBounds bpmn_size(BpmnNode::Kind kind) {
    switch (kind) {
        case Kind::task:
            return {0, 0, 100, 80};
        case Kind::exclusive:
        case Kind::parallel:
            return {0, 0, 50, 50};
        case Kind::start:
        case Kind::end:
            break;
    }
    return {0, 0, 36, 36};
}

}  // namespace vesk
