#pragma once
// A process tree as a BPMN 2.0 process: tasks, exclusive and parallel gateways, one start and
// one end event, and the sequence flows between them, translated block by block. The diagram
// section needs a layout: dot's, read from its plain output, or a plain layered one.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/process_tree.h"

namespace vesk {

struct BpmnNode {
    enum class Kind : std::uint8_t { start, end, task, exclusive, parallel };
    Kind kind;
    std::string name;  // a task's label; empty otherwise
};

struct BpmnFlow {
    std::int32_t source;
    std::int32_t target;
    friend bool operator==(const BpmnFlow&, const BpmnFlow&) = default;
};

struct BpmnModel {
    std::vector<BpmnNode> nodes;  // the start event first, the end event second
    std::vector<BpmnFlow> flows;
};

// names[id] is an activity's name as the log has it ("send invoice_complete"); a task shows the
// activity alone, or "activity+event" where the tree has more than one event of the activity.
// A silent step becomes a flow; a loop is an exclusive gateway pair, its body from the first
// to the second, each way back from the second to the first.
BpmnModel bpmn_of(const ProcessTree& tree, const std::vector<std::string>& names);

struct BpmnPoint {
    double x;
    double y;
};
struct BpmnBounds {
    double x, y, width, height;
};
// Where each node and each flow is drawn, in pixels with y growing downwards.
struct BpmnLayout {
    std::vector<BpmnBounds> shapes;             // by node
    std::vector<std::vector<BpmnPoint>> edges;  // by flow, at least two points each
};

// The sizes editors use: 100 by 80 for a task, 36 for an event, 50 for a gateway.
BpmnBounds bpmn_size(BpmnNode::Kind kind);

// The dot text to lay the model out with (nodes "n0", "n1", ...; the sizes above, no labels).
std::string bpmn_layout_dot(const BpmnModel& model);
// The layout from dot's -Tplain output of that text. Throws std::runtime_error when the output
// does not place every node and every flow.
BpmnLayout bpmn_layout_of_plain(const BpmnModel& model, std::string_view plain);
// A layout without dot: each node one column right of its furthest predecessor on a path from
// the start (ways back ignored), stacked within the column.
BpmnLayout bpmn_layered_layout(const BpmnModel& model);

// The definitions document with its process and diagram.
std::string bpmn_text(const BpmnModel& model, const BpmnLayout& layout,
                      const std::string& process_name);

}  // namespace vesk
