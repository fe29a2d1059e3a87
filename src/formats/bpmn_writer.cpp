#include <cstdio>

#include "base/build_info.h"
#include "formats/bpmn_model.h"
#include "formats/vesk_html_writer.h"

namespace vesk {

namespace {

const char* element_of(BpmnNode::Kind kind) {
    switch (kind) {
        case BpmnNode::Kind::start:
            return "startEvent";
        case BpmnNode::Kind::end:
            return "endEvent";
        case BpmnNode::Kind::task:
            return "task";
        case BpmnNode::Kind::exclusive:
            return "exclusiveGateway";
        case BpmnNode::Kind::parallel:
            break;
    }
    return "parallelGateway";
}

std::string node_id(const BpmnModel& model, std::size_t node) {
    return std::string(element_of(model.nodes[node].kind)) + "_" + std::to_string(node);
}

std::string flow_id(std::size_t flow) {
    return "flow_" + std::to_string(flow);
}

// Whole pixels are enough for a diagram, and they read the same in every locale.
std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

std::string direction(std::size_t in, std::size_t out) {
    if (in <= 1 && out > 1) return "Diverging";
    if (in > 1 && out <= 1) return "Converging";
    if (in > 1 && out > 1) return "Mixed";
    return "Unspecified";
}

std::string process_part(const BpmnModel& model, const std::string& process_name) {
    std::vector<std::vector<std::size_t>> incoming(model.nodes.size()),
        outgoing(model.nodes.size());
    for (std::size_t i = 0; i < model.flows.size(); ++i) {
        outgoing[static_cast<std::size_t>(model.flows[i].source)].push_back(i);
        incoming[static_cast<std::size_t>(model.flows[i].target)].push_back(i);
    }
    std::string out = "  <process id=\"process\" name=\"" + html_escaped(process_name) +
                      "\" isExecutable=\"false\">\n";
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        const BpmnNode& node = model.nodes[i];
        out += "    <" + std::string(element_of(node.kind)) + " id=\"" + node_id(model, i) + "\"";
        if (node.kind == BpmnNode::Kind::task) out += " name=\"" + html_escaped(node.name) + "\"";
        if (node.kind == BpmnNode::Kind::exclusive || node.kind == BpmnNode::Kind::parallel)
            out +=
                " gatewayDirection=\"" + direction(incoming[i].size(), outgoing[i].size()) + "\"";
        out += ">\n";
        for (const std::size_t flow : incoming[i])
            out += "      <incoming>" + flow_id(flow) + "</incoming>\n";
        for (const std::size_t flow : outgoing[i])
            out += "      <outgoing>" + flow_id(flow) + "</outgoing>\n";
        out += "    </" + std::string(element_of(node.kind)) + ">\n";
    }
    for (std::size_t i = 0; i < model.flows.size(); ++i)
        out += "    <sequenceFlow id=\"" + flow_id(i) + "\" sourceRef=\"" +
               node_id(model, static_cast<std::size_t>(model.flows[i].source)) + "\" targetRef=\"" +
               node_id(model, static_cast<std::size_t>(model.flows[i].target)) + "\"/>\n";
    return out + "  </process>\n";
}

std::string diagram_part(const BpmnModel& model, const BpmnLayout& layout) {
    std::string out =
        "  <bpmndi:BPMNDiagram id=\"diagram\">\n"
        "    <bpmndi:BPMNPlane id=\"plane\" bpmnElement=\"process\">\n";
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        const BpmnBounds& shape = layout.shapes.at(i);
        const std::string id = node_id(model, i);
        out += "      <bpmndi:BPMNShape id=\"" + id + "_di\" bpmnElement=\"" + id + "\">" +
               "<dc:Bounds x=\"" + number(shape.x) + "\" y=\"" + number(shape.y) + "\" width=\"" +
               number(shape.width) + "\" height=\"" + number(shape.height) +
               "\"/></bpmndi:BPMNShape>\n";
    }
    for (std::size_t i = 0; i < model.flows.size(); ++i) {
        out += "      <bpmndi:BPMNEdge id=\"" + flow_id(i) + "_di\" bpmnElement=\"" + flow_id(i) +
               "\">";
        for (const BpmnPoint& point : layout.edges.at(i))
            out += "<di:waypoint x=\"" + number(point.x) + "\" y=\"" + number(point.y) + "\"/>";
        out += "</bpmndi:BPMNEdge>\n";
    }
    return out + "    </bpmndi:BPMNPlane>\n  </bpmndi:BPMNDiagram>\n";
}

}  // namespace

std::string bpmn_text(const BpmnModel& model, const BpmnLayout& layout,
                      const std::string& process_name) {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<definitions xmlns=\"http://www.omg.org/spec/BPMN/20100524/MODEL\" "
               "xmlns:bpmndi=\"http://www.omg.org/spec/BPMN/20100524/DI\" "
               "xmlns:dc=\"http://www.omg.org/spec/DD/20100524/DC\" "
               "xmlns:di=\"http://www.omg.org/spec/DD/20100524/DI\" id=\"definitions\" "
               "targetNamespace=\"urn:vesk:bpmn\" exporter=\"Vesk\" exporterVersion=\"") +
           kVeskVersion + "\">\n" + process_part(model, process_name) +
           diagram_part(model, layout) + "</definitions>\n";
}

}  // namespace vesk
