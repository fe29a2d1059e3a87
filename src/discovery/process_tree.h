#pragma once
// A process tree: the blocks (sequence, exclusive choice, parallel, loop) that the inductive
// construction finds in a log, over activities named by their index.

#include <cstdint>
#include <string>
#include <vector>

namespace vesk {

class ProcessTree {
public:
    enum class Kind : std::uint8_t { activity, silent, sequence, choice, parallel, loop };

    static ProcessTree activity(std::int32_t id);
    static ProcessTree silent() { return ProcessTree(); }
    // Children of the same kind are taken in, since sequence, choice and parallel are
    // associative; the children of a choice or a parallel block are put in the order of their
    // first activity, silent steps last. A loop's first child is its body, the others are the
    // ways back to it. A block of one child is that child.
    static ProcessTree node(Kind kind, std::vector<ProcessTree> children);
    // Any of the activities, any number of times: *( tau, 'a', 'b', ... ).
    static ProcessTree flower(const std::vector<std::int32_t>& activities);

    Kind kind() const { return kind_; }
    // -1 unless an activity.
    std::int32_t activity_id() const { return activity_; }
    const std::vector<ProcessTree>& children() const { return children_; }
    // The smallest activity id in the tree; INT32_MAX for a tree of silent steps only.
    std::int32_t first_activity() const;
    friend bool operator==(const ProcessTree&, const ProcessTree&) = default;

private:
    Kind kind_ = Kind::silent;
    std::int32_t activity_ = -1;
    std::vector<ProcessTree> children_;
};

// "->( 'a', X( 'b', tau ), +( 'c', 'd' ), *( 'e', tau ) )"; names[id] names an activity, with
// "'" and "\" escaped by a "\".
std::string tree_text(const ProcessTree& tree, const std::vector<std::string>& names);

}  // namespace vesk
