#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <stdexcept>

#include "formats/bpmn_model.h"

namespace vesk {

namespace {

constexpr double kPointsPerInch = 72.0;  // dot's inches to the diagram's pixels

const char* dot_shape(BpmnNode::Kind kind) {
    switch (kind) {
        case BpmnNode::Kind::task:
            return "box";
        case BpmnNode::Kind::exclusive:
        case BpmnNode::Kind::parallel:
            return "diamond";
        case BpmnNode::Kind::start:
        case BpmnNode::Kind::end:
            break;
    }
    return "circle";
}

std::int32_t node_of(const std::string& name, std::size_t count) {
    if (name.size() < 2 || name[0] != 'n') return -1;
    try {
        const std::size_t index = std::stoul(name.substr(1));
        return index < count ? static_cast<std::int32_t>(index) : -1;
    } catch (const std::exception&) {
        return -1;
    }
}

// dot ends an edge where its arrowhead begins: the diagram's edge goes on to the point where
// the line towards the target's centre meets the target's box.
BpmnPoint onto_box(const BpmnPoint& from, const BpmnBounds& box) {
    const double cx = box.x + box.width / 2, cy = box.y + box.height / 2;
    const double dx = cx - from.x, dy = cy - from.y;
    double t = 1;
    if (dx != 0) t = std::min(t, std::abs((std::abs(dx) - box.width / 2) / dx));
    if (dy != 0) t = std::min(t, std::abs((std::abs(dy) - box.height / 2) / dy));
    return {from.x + std::clamp(t, 0.0, 1.0) * dx, from.y + std::clamp(t, 0.0, 1.0) * dy};
}

[[noreturn]] void malformed(const std::string& what) {
    throw std::runtime_error("dot's layout of the BPMN diagram cannot be read: " + what);
}

}  // namespace

std::string bpmn_layout_dot(const BpmnModel& model) {
    std::ostringstream out;
    out << "digraph bpmn {\n  rankdir=LR;\n  nodesep=0.4;\n  ranksep=0.5;\n"
           "  node [label=\"\", fixedsize=true];\n";
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        const BpmnBounds size = bpmn_size(model.nodes[i].kind);
        out << "  n" << i << " [shape=" << dot_shape(model.nodes[i].kind)
            << ", width=" << size.width / kPointsPerInch
            << ", height=" << size.height / kPointsPerInch << "];\n";
    }
    for (const BpmnFlow& flow : model.flows)
        out << "  n" << flow.source << " -> n" << flow.target << ";\n";
    out << "}\n";
    return out.str();
}

BpmnLayout bpmn_layout_of_plain(const BpmnModel& model, std::string_view plain) {
    BpmnLayout layout;
    layout.shapes.assign(model.nodes.size(), BpmnBounds{-1, -1, 0, 0});
    layout.edges.resize(model.flows.size());
    std::map<std::pair<std::int32_t, std::int32_t>, std::size_t> flow_index;
    for (std::size_t i = 0; i < model.flows.size(); ++i)
        flow_index[{model.flows[i].source, model.flows[i].target}] = i;
    std::istringstream lines{std::string(plain)};
    double height = -1;
    const auto y_of = [&height](double y) { return (height - y) * kPointsPerInch; };
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "graph") {
            double scale = 0, width = 0;
            if (!(words >> scale >> width >> height)) malformed("the graph line");
        } else if (kind == "node") {
            std::string name;
            double x = 0, y = 0, w = 0, h = 0;
            if (!(words >> name >> x >> y >> w >> h) || height < 0) malformed("a node line");
            const std::int32_t node = node_of(name, model.nodes.size());
            if (node < 0) malformed("an unknown node " + name);
            const BpmnBounds size = bpmn_size(model.nodes[static_cast<std::size_t>(node)].kind);
            layout.shapes[static_cast<std::size_t>(node)] = {x * kPointsPerInch - size.width / 2,
                                                             y_of(y) - size.height / 2, size.width,
                                                             size.height};
        } else if (kind == "edge") {
            std::string tail, head;
            std::size_t count = 0;
            if (!(words >> tail >> head >> count) || height < 0) malformed("an edge line");
            const auto found = flow_index.find(
                {node_of(tail, model.nodes.size()), node_of(head, model.nodes.size())});
            if (found == flow_index.end()) malformed("an unknown edge " + tail + " -> " + head);
            std::vector<BpmnPoint> points;
            // The spline's control points; every third lies on the curve.
            for (std::size_t k = 0; k < count; ++k) {
                double x = 0, y = 0;
                if (!(words >> x >> y)) malformed("an edge's points");
                if (k % 3 == 0) points.push_back({x * kPointsPerInch, y_of(y)});
            }
            if (points.size() < 2) malformed("an edge of fewer than two points");
            layout.edges[found->second] = std::move(points);
        }
    }
    for (const BpmnBounds& shape : layout.shapes)
        if (shape.width == 0) malformed("a node without a place");
    for (std::size_t i = 0; i < layout.edges.size(); ++i) {
        auto& points = layout.edges[i];
        if (points.empty()) malformed("an edge without a course");
        const BpmnPoint tip =
            onto_box(points.back(), layout.shapes[static_cast<std::size_t>(model.flows[i].target)]);
        if (std::abs(tip.x - points.back().x) + std::abs(tip.y - points.back().y) > 0.5)
            points.push_back(tip);
    }
    return layout;
}

namespace {

// The flows that close a cycle, found from the start by a depth-first walk.
std::vector<bool> backward_flows(const BpmnModel& model) {
    const std::size_t n = model.nodes.size();
    std::vector<std::vector<std::size_t>> outgoing(n);
    for (std::size_t i = 0; i < model.flows.size(); ++i)
        outgoing[static_cast<std::size_t>(model.flows[i].source)].push_back(i);
    std::vector<bool> backward(model.flows.size(), false);
    enum class State : std::uint8_t { unseen, open, done };
    std::vector<State> state(n, State::unseen);
    // An explicit stack: trees may nest deeper than the call stack allows.
    std::vector<std::pair<std::size_t, std::size_t>> stack;
    for (std::size_t root = 0; root < n; ++root) {
        if (state[root] != State::unseen) continue;
        stack.push_back({root, 0});
        state[root] = State::open;
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            if (next == outgoing[node].size()) {
                state[node] = State::done;
                stack.pop_back();
                continue;
            }
            const std::size_t flow = outgoing[node][next++];
            const auto target = static_cast<std::size_t>(model.flows[flow].target);
            if (state[target] == State::open) {
                backward[flow] = true;
            } else if (state[target] == State::unseen) {
                state[target] = State::open;
                stack.push_back({target, 0});
            }
        }
    }
    return backward;
}

}  // namespace

BpmnLayout bpmn_layered_layout(const BpmnModel& model) {
    const std::size_t n = model.nodes.size();
    const std::vector<bool> backward = backward_flows(model);
    // Longest path from the start over the forward flows, by relaxing in topological order.
    std::vector<std::size_t> incoming(n, 0);
    std::vector<std::vector<std::size_t>> next(n);
    for (std::size_t i = 0; i < model.flows.size(); ++i) {
        if (backward[i]) continue;
        ++incoming[static_cast<std::size_t>(model.flows[i].target)];
        next[static_cast<std::size_t>(model.flows[i].source)].push_back(
            static_cast<std::size_t>(model.flows[i].target));
    }
    std::vector<std::size_t> column(n, 0), ready;
    for (std::size_t i = 0; i < n; ++i)
        if (incoming[i] == 0) ready.push_back(i);
    while (!ready.empty()) {
        const std::size_t node = ready.back();
        ready.pop_back();
        for (const std::size_t target : next[node]) {
            column[target] = std::max(column[target], column[node] + 1);
            if (--incoming[target] == 0) ready.push_back(target);
        }
    }
    constexpr double kColumnWidth = 160, kRowHeight = 120, kMargin = 40;
    std::map<std::size_t, int> rows_used;
    BpmnLayout layout;
    for (std::size_t i = 0; i < n; ++i) {
        const BpmnBounds size = bpmn_size(model.nodes[i].kind);
        const int row = rows_used[column[i]]++;
        const double centre_x = kMargin + 50 + kColumnWidth * static_cast<double>(column[i]);
        const double centre_y = kMargin + 40 + kRowHeight * row;
        layout.shapes.push_back(
            {centre_x - size.width / 2, centre_y - size.height / 2, size.width, size.height});
    }
    for (const BpmnFlow& flow : model.flows) {
        const BpmnBounds& from = layout.shapes[static_cast<std::size_t>(flow.source)];
        const BpmnBounds& to = layout.shapes[static_cast<std::size_t>(flow.target)];
        layout.edges.push_back(
            {{from.x + from.width, from.y + from.height / 2}, {to.x, to.y + to.height / 2}});
    }
    return layout;
}

}  // namespace vesk
