#include "discovery/process_tree.h"

#include <algorithm>
#include <limits>

namespace vesk {

ProcessTree ProcessTree::activity(std::int32_t id) {
    ProcessTree tree;
    tree.kind_ = Kind::activity;
    tree.activity_ = id;
    return tree;
}

// A silent step adds nothing to a sequence or a parallel block, and a second one nothing to a
// choice: they are dropped, so that parts mined to nothing leave no X( tau, tau ) behind.
ProcessTree ProcessTree::node(Kind kind, std::vector<ProcessTree> children) {
    ProcessTree tree;
    tree.kind_ = kind;
    const bool associative =
        kind == Kind::sequence || kind == Kind::choice || kind == Kind::parallel;
    bool has_silent = false;
    const auto add = [&](ProcessTree child) {
        if (associative && child.kind_ == Kind::silent) {
            if (kind == Kind::choice && !has_silent) tree.children_.push_back(std::move(child));
            has_silent = true;
        } else {
            tree.children_.push_back(std::move(child));
        }
    };
    for (ProcessTree& child : children) {
        if (associative && child.kind_ == kind) {
            for (ProcessTree& grandchild : child.children_)
                add(std::move(grandchild));
        } else {
            add(std::move(child));
        }
    }
    if (associative && tree.children_.empty()) return silent();
    if (associative && tree.children_.size() == 1) return std::move(tree.children_.front());
    if (kind == Kind::choice || kind == Kind::parallel)
        std::stable_sort(tree.children_.begin(), tree.children_.end(),
                         [](const ProcessTree& a, const ProcessTree& b) {
                             return a.first_activity() < b.first_activity();
                         });
    return tree;
}

ProcessTree ProcessTree::flower(const std::vector<std::int32_t>& activities) {
    std::vector<ProcessTree> children{silent()};
    for (const std::int32_t a : activities)
        children.push_back(activity(a));
    return node(Kind::loop, std::move(children));
}

std::int32_t ProcessTree::first_activity() const {
    if (kind_ == Kind::activity) return activity_;
    std::int32_t first = std::numeric_limits<std::int32_t>::max();
    for (const ProcessTree& child : children_)
        first = std::min(first, child.first_activity());
    return first;
}

namespace {

void append_name(std::string& out, const std::string& name) {
    out += '\'';
    for (const char c : name) {
        if (c == '\'' || c == '\\') out += '\\';
        out += c;
    }
    out += '\'';
}

const char* operator_text(ProcessTree::Kind kind) {
    switch (kind) {
        case ProcessTree::Kind::sequence:
            return "->";
        case ProcessTree::Kind::choice:
            return "X";
        case ProcessTree::Kind::parallel:
            return "+";
        default:
            return "*";
    }
}

void append_tree(std::string& out, const ProcessTree& tree, const std::vector<std::string>& names) {
    if (tree.kind() == ProcessTree::Kind::silent) {
        out += "tau";
        return;
    }
    if (tree.kind() == ProcessTree::Kind::activity) {
        const auto id = static_cast<std::size_t>(tree.activity_id());
        append_name(out, id < names.size() ? names[id] : "?");
        return;
    }
    out += operator_text(tree.kind());
    out += "( ";
    bool first = true;
    for (const ProcessTree& child : tree.children()) {
        if (!first) out += ", ";
        first = false;
        append_tree(out, child, names);
    }
    out += " )";
}

}  // namespace

std::string tree_text(const ProcessTree& tree, const std::vector<std::string>& names) {
    std::string out;
    append_tree(out, tree, names);
    return out;
}

}  // namespace vesk
