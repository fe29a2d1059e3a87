#pragma once
// Trace logs written as letters: "abc" is a case a, b, c; activity ids follow the alphabet.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "discovery/process_tree.h"
#include "discovery/trace_log.h"

namespace vesk::test {

inline std::vector<std::string> letter_names() {
    std::vector<std::string> names;
    for (char c = 'a'; c <= 'z'; ++c)
        names.emplace_back(1, c);
    return names;
}

// {{"abc", 3}, {"ac", 1}}: three cases a b c and one a c.
inline TraceLog letters(const std::vector<std::pair<std::string, std::int64_t>>& cases) {
    TraceLog log;
    for (const auto& [text, count] : cases) {
        Trace trace{{}, count};
        for (const char c : text)
            trace.events.push_back(c - 'a');
        log.push_back(std::move(trace));
    }
    return log;
}

// The tree's text with the children of every choice and parallel block in text order, so that
// two trees that differ only in that order read the same.
inline std::string canonical_text(const ProcessTree& tree, const std::vector<std::string>& names) {
    using Kind = ProcessTree::Kind;
    if (tree.kind() == Kind::activity || tree.kind() == Kind::silent) return tree_text(tree, names);
    std::vector<std::string> children;
    for (const ProcessTree& child : tree.children())
        children.push_back(canonical_text(child, names));
    if (tree.kind() == Kind::choice || tree.kind() == Kind::parallel)
        std::sort(children.begin(), children.end());
    else if (tree.kind() == Kind::loop)
        std::sort(children.begin() + 1, children.end());
    const char* op = tree.kind() == Kind::sequence   ? "->"
                     : tree.kind() == Kind::choice   ? "X"
                     : tree.kind() == Kind::parallel ? "+"
                                                     : "*";
    std::string text = std::string(op) + "(";
    for (std::size_t i = 0; i < children.size(); ++i)
        text += (i == 0 ? " " : ", ") + children[i];
    return text + " )";
}

// A loop whose way back is a choice is the loop with each branch as a way back.
inline ProcessTree ways_back_apart(const ProcessTree& tree) {
    using Kind = ProcessTree::Kind;
    if (tree.children().empty()) return tree;
    std::vector<ProcessTree> children;
    for (std::size_t i = 0; i < tree.children().size(); ++i) {
        ProcessTree child = ways_back_apart(tree.children()[i]);
        if (tree.kind() == Kind::loop && i > 0 && child.kind() == Kind::choice)
            children.insert(children.end(), child.children().begin(), child.children().end());
        else
            children.push_back(std::move(child));
    }
    return ProcessTree::node(tree.kind(), std::move(children));
}

}  // namespace vesk::test
