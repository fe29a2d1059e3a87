#include <charconv>

#include "base/number_format.h"
#include "base/read_errors.h"
#include "base/text_util.h"
#include "formats/vesk_task_relations_file.h"
#include "xml/xml_entities.h"

namespace vesk {

namespace {

std::string text_of(const std::optional<XmlNode>& node) {
    return node ? node->text() : std::string();
}

std::string attribute_of(const std::optional<XmlNode>& node, const char* name) {
    return node ? node->attribute(name).value_or("") : std::string();
}

std::string kind_or_normal(std::string kind) {
    return kind.empty() ? "normal" : kind;
}

std::string task_name_of(const std::optional<XmlNode>& node, const char* name_attr,
                         const char* kind_attr) {
    const std::string name = attribute_of(node, name_attr);
    refuse_marker_in_name<LogFormatError>(name, "task");
    return name + "_" + kind_or_normal(attribute_of(node, kind_attr));
}

std::optional<std::int32_t> integer_child(const XmlNode& node, const char* name) {
    int value = 0;
    if (!parse_int32(text_of(node.find_child(name)), value)) return std::nullopt;
    return value;
}

// Locale-independent: the windows' toolkit may switch the C locale to the user's.
bool parses_fully(const std::string& text, double& value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

// Children that are elements; comments and other nodes declare nothing.
std::vector<XmlNode> element_children(const XmlNode& node) {
    std::vector<XmlNode> elements;
    for (const XmlNode& child : node.children())
        if (child.is_element()) elements.push_back(child);
    return elements;
}

void declare_task(Towned_tasklist& tasks, const XmlNode& node) {
    Ttask* task = tasks.create(task_name_of(node, "name", "kind"));
    task->is_trace_start = text_of(node.find_child("is_trace_start")) == "true";
    task->is_trace_end = text_of(node.find_child("is_trace_end")) == "true";
    const std::int32_t loop = integer_child(node, "loop_length").value_or(0);
    task->loop_length = loop == 0 ? kNone : loop;
    // A task that was never counted has occurred once, as a new task has.
    const std::int32_t times = integer_child(node, "times_in_log").value_or(0);
    task->times_in_log = times > 0 ? times : 1;
}

// The references a task declares, up to the first that names no task.
std::vector<Ttask*> declared_references(const Ttasklist& tasks, const XmlNode& node) {
    std::vector<Ttask*> partners;
    const auto references = node.find_child("tasks_in_two_loop");
    if (!references) return partners;
    for (const XmlNode& reference : element_children(*references)) {
        Ttask* partner = tasks.find_by_name(task_name_of(reference, "name_ref", "kind_ref"));
        if (partner == nullptr) break;
        partners.push_back(partner);
    }
    return partners;
}

// Partners are mutual: each reference also enters the partner's list. A task's own references
// go first, in file order, so that reading a written file keeps its lists as they were.
void read_two_loop_references(const Ttasklist& tasks, const std::vector<XmlNode>& declared) {
    std::vector<std::pair<Ttask*, std::vector<Ttask*>>> all;
    for (const XmlNode& node : declared) {
        Ttask* task = tasks.find_by_name(task_name_of(node, "name", "kind"));
        if (task == nullptr) continue;
        all.emplace_back(task, declared_references(tasks, node));
        for (Ttask* partner : all.back().second)
            task->tasks_in_two_loop.add(partner);
    }
    for (const auto& [task, partners] : all)
        for (Ttask* partner : partners)
            partner->tasks_in_two_loop.add(task);
}

void read_fact(const Ttasklist& tasks, const XmlNode& node, Tfactslist& facts, MessageSink& sink) {
    const auto certainty_text = node.attribute("certainty");
    const double certainty = parse_certainty(certainty_text.value_or(""));
    const Trelation_kind kind = relation_kind_of_file_name(node.attribute("kind").value_or(""))
                                    .value_or(Trelation_kind::succ);
    Ttask* task1 = tasks.find_by_name(task_name_of(node.find_child("task1"), "id", "kind"));
    Ttask* task2 = tasks.find_by_name(task_name_of(node.find_child("task2"), "id", "kind"));
    // A direct succession is at distance 1, as the facts made from tasks say.
    std::int32_t distance = kind == Trelation_kind::succ ? 1 : 0;
    if (kind == Trelation_kind::long_succ) {
        const auto read = integer_child(node, "distance");
        if (!read) sink.warning(kMissingDistanceWarning);
        distance = read.value_or(0);
    }
    if (task1 != nullptr && task2 != nullptr)
        facts.add(Tfact(task1, distance, certainty, kind, task2));
}

}  // namespace

double parse_certainty(const std::string& text) {
    if (text.empty()) return 1.0;
    std::string normalised = text;
    for (char& c : normalised)
        if (c < '0' || c > '9') c = '.';
    double value = 1.0;
    if (parses_fully(normalised, value)) return value;
    // Exponent form, as very small certainties are written: accept either separator.
    std::string as_written = text;
    for (char& c : as_written)
        if (c == ',') c = '.';
    if (parses_fully(as_written, value)) return value;
    return 1.0;
}

void read_relations_file(Towned_tasklist& tasks, XmlDocument& document, const std::string& path,
                         Tfactslist& facts, MessageSink& sink) {
    document.load(path, document.resolve_externals());
    if (!document.refused_entities().empty())
        sink.warning(refusal_text(document.refused_entities()));
    const XmlNode root = document.document_element();
    const std::vector<XmlNode> declared = element_children(root.child_by_name("tasks"));
    for (const XmlNode& node : declared)
        declare_task(tasks, node);
    read_two_loop_references(tasks, declared);
    for (const XmlNode& node : element_children(root.child_by_name("facts")))
        read_fact(tasks, node, facts, sink);
    clear_relations(tasks);
    facts.apply_to_tasks(tasks);
}

}  // namespace vesk
