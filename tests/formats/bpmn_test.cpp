// The inductive construction's tree as BPMN: the blocks become the gateways and flows counted by
// hand, and the file vesk-cli writes obeys the structure rules other tools rely on.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "formats/bpmn_model.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "xml/xml_document.h"

namespace vesk {
namespace {

using Kind = ProcessTree::Kind;

ProcessTree leaf(std::int32_t id) {
    return ProcessTree::activity(id);
}

std::map<BpmnNode::Kind, int> kinds_of(const BpmnModel& model) {
    std::map<BpmnNode::Kind, int> kinds;
    for (const BpmnNode& node : model.nodes)
        ++kinds[node.kind];
    return kinds;
}

// ->( a, X( b, tau ), +( c, d ), *( e, tau ) ): start→a→split; split→b→join and split→join;
// join→psplit→c,d→pjoin→loop join→e→loop split→loop join and →end: 15 flows by hand.
TEST(Bpmn, BlocksBecomeGatewaysAndFlows) {
    const std::vector<std::string> names = {"a_complete", "b_complete", "c_complete", "d_complete",
                                            "e_complete"};
    const ProcessTree tree = ProcessTree::node(
        Kind::sequence, {leaf(0), ProcessTree::node(Kind::choice, {leaf(1), ProcessTree::silent()}),
                         ProcessTree::node(Kind::parallel, {leaf(2), leaf(3)}),
                         ProcessTree::node(Kind::loop, {leaf(4), ProcessTree::silent()})});
    const BpmnModel model = bpmn_of(tree, names);
    const auto kinds = kinds_of(model);
    EXPECT_EQ(kinds.at(BpmnNode::Kind::task), 5);
    EXPECT_EQ(kinds.at(BpmnNode::Kind::exclusive), 4);
    EXPECT_EQ(kinds.at(BpmnNode::Kind::parallel), 2);
    EXPECT_EQ(model.flows.size(), 15u);
    EXPECT_EQ(model.nodes[2].name, "a");

    // A tree of silent steps only is a flow from the start to the end; a silent branch beside
    // parallel ones is dropped; an activity with two events is named with each.
    EXPECT_EQ(bpmn_of(ProcessTree::silent(), names).flows, (std::vector<BpmnFlow>{{0, 1}}));
    const BpmnModel parallel =
        bpmn_of(ProcessTree::node(Kind::parallel, {leaf(0), ProcessTree::silent()}), names);
    EXPECT_EQ(parallel.nodes.size(), 3u);
    const BpmnModel lifecycle =
        bpmn_of(ProcessTree::node(Kind::sequence, {leaf(0), leaf(1)}), {"x_start", "x_complete"});
    EXPECT_EQ(lifecycle.nodes[2].name, "x+start");
    EXPECT_EQ(lifecycle.nodes[3].name, "x+complete");

    // Without dot every node still has its place, left of what follows it.
    const BpmnLayout layout = bpmn_layered_layout(model);
    ASSERT_EQ(layout.shapes.size(), model.nodes.size());
    EXPECT_LT(layout.shapes[0].x, layout.shapes[2].x);
    EXPECT_LT(layout.shapes[2].x, layout.shapes[1].x);
    EXPECT_THROW(bpmn_layout_of_plain(model, "graph 1 2 2\nnode n0 1 1 0.5 0.5\nstop\n"),
                 std::runtime_error);
}

struct ReadBack {
    std::map<std::string, std::string> kind_of;  // element id → element name
    std::map<std::string, std::string> task_names;
    std::vector<std::pair<std::string, std::string>> flows;
    std::set<std::string> shapes, edges;
};

ReadBack read_back(const std::string& path) {
    XmlDocument document;
    document.load(path, false);
    ReadBack read;
    const XmlNode root = document.document_element();
    for (const XmlNode& element : root.child_by_name("process").children()) {
        const std::string id = element.required_attribute("id");
        if (element.name() == "sequenceFlow") {
            read.flows.emplace_back(element.required_attribute("sourceRef"),
                                    element.required_attribute("targetRef"));
            read.kind_of[id] = "flow";
            continue;
        }
        read.kind_of[id] = element.name();
        if (element.name() == "task") read.task_names[id] = element.required_attribute("name");
    }
    const XmlNode plane = root.child_by_name("BPMNDiagram").child_by_name("BPMNPlane");
    for (const XmlNode& element : plane.children()) {
        const std::string target = element.required_attribute("bpmnElement");
        (element.name() == "BPMNShape" ? read.shapes : read.edges).insert(target);
        if (element.name() == "BPMNShape")
            EXPECT_TRUE(element.find_child("Bounds")) << target;
        else
            EXPECT_GE(element.child_count(), 2) << target;
    }
    return read;
}

// Every node lies on a path from the one start to the one end.
void expect_connected(const ReadBack& read) {
    std::map<std::string, std::vector<std::string>> forward, backward;
    for (const auto& [source, target] : read.flows) {
        ASSERT_TRUE(read.kind_of.contains(source) && read.kind_of.contains(target));
        forward[source].push_back(target);
        backward[target].push_back(source);
    }
    const auto reach = [](const std::string& from, auto& edges) {
        std::set<std::string> seen = {from};
        std::vector<std::string> todo = {from};
        while (!todo.empty()) {
            const std::string node = todo.back();
            todo.pop_back();
            for (const std::string& next : edges[node])
                if (seen.insert(next).second) todo.push_back(next);
        }
        return seen;
    };
    std::string start, end;
    for (const auto& [id, kind] : read.kind_of) {
        if (kind == "startEvent") start = id;
        if (kind == "endEvent") end = id;
    }
    const auto from_start = reach(start, forward);
    const auto to_end = reach(end, backward);
    for (const auto& [id, kind] : read.kind_of) {
        if (kind != "flow") {
            EXPECT_TRUE(from_start.contains(id) && to_end.contains(id)) << id;
        }
    }
}

TEST(Bpmn, TheWrittenFileReadsBackWhole) {
    test::TempDir dir;
    const test::CliResult run =
        test::run_cli({"mine", VESK_EXAMPLE_LOG, "--process", "1", "--construction", "inductive",
                       "--out", dir.path().string(), "--bpmn", "-q"});
    ASSERT_EQ(run.code, 0) << run.err;
    const ReadBack read = read_back((dir.path() / "example_log.xml 1 .bpmn").string());
    std::map<std::string, int> counts;
    for (const auto& [id, kind] : read.kind_of)
        ++counts[kind];
    EXPECT_EQ(counts["startEvent"], 1);
    EXPECT_EQ(counts["endEvent"], 1);
    // Each task of the log's first process once, its names read off the file by a plain scan.
    std::multiset<std::string> names;
    for (const auto& [id, name] : read.task_names)
        names.insert(name);
    const std::string log = test::read_file(VESK_EXAMPLE_LOG);
    const std::string first = log.substr(0, log.find("<process id=\"2\""));
    std::set<std::string> in_log;
    for (auto at = first.find("<task_name>"); at != std::string::npos;
         at = first.find("<task_name>", at + 1))
        in_log.insert(first.substr(at + 11, first.find('<', at + 11) - at - 11));
    EXPECT_EQ(names, std::multiset<std::string>(in_log.begin(), in_log.end()));
    expect_connected(read);
    for (const auto& [id, kind] : read.kind_of)
        EXPECT_TRUE((kind == "flow" ? read.edges : read.shapes).contains(id)) << id;
    EXPECT_EQ(read.flows.size(), read.edges.size());

    // Only the inductive construction has a tree to translate.
    EXPECT_EQ(test::run_cli({"mine", VESK_EXAMPLE_LOG, "--process", "1", "--out",
                             dir.path().string(), "--bpmn"})
                  .code,
              2);
}

}  // namespace
}  // namespace vesk
