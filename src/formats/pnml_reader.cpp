#include "formats/pnml_reader.h"

#include <optional>

#include "base/text_util.h"
#include "xml/xml_document.h"

namespace vesk {

namespace {

// The text of <name><text>…</text></name> (or another such labelled child), trimmed.
std::string label_of(const XmlNode& node, std::string_view child) {
    const std::optional<XmlNode> found = node.find_child(child);
    if (!found) return "";
    const std::optional<XmlNode> text = found->find_child("text");
    return trimmed(text ? text->text() : found->text());
}

std::string described(const std::string& kind, const std::string& id) {
    return kind + " \"" + id + "\"";
}

std::int64_t whole_number(const std::string& text, const std::string& where) {
    if (text.empty()) return 0;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > 1000000000)
            throw PnmlError(where + ": \"" + text + "\" is not a number of tokens");
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string required_id(const XmlNode& node, const std::string& kind) {
    const std::optional<std::string> id = node.attribute("id");
    if (!id || id->empty()) throw PnmlError("a " + kind + " without an id");
    return *id;
}

bool marked_invisible(const XmlNode& transition) {
    for (const XmlNode& child : transition.children()) {
        if (child.name() != "toolspecific") continue;
        if (child.attribute("activity").value_or("") == "$invisible$") return true;
        if (child.find_child("invisible")) return true;
    }
    return false;
}

std::string vesk_task_of(const XmlNode& transition) {
    for (const XmlNode& child : transition.children())
        if (child.name() == "toolspecific" && child.attribute("tool").value_or("") == "Vesk")
            if (const auto task = child.find_child("task")) return task->text();
    return "";
}

void check_arc_kind(const XmlNode& arc, const std::string& id) {
    for (const XmlNode& child : arc.children()) {
        std::string kind;
        if (child.name() == "type") kind = child.attribute("value").value_or(child.text());
        if (child.name() == "arctype") kind = label_of(arc, "arctype");
        kind = trimmed(kind);
        if (!kind.empty() && kind != "normal")
            throw PnmlError(described("arc", id) + " is a " + kind +
                            " arc; only plain arcs can be replayed");
    }
    const std::int64_t weight = whole_number(label_of(arc, "inscription"), described("arc", id));
    if (weight != 0 && weight != 1)
        throw PnmlError(described("arc", id) + " has weight " + std::to_string(weight) +
                        "; only arcs of weight 1 can be replayed");
}

// Places, transitions and arcs of a page and the pages within it.
void read_page(const XmlNode& page, PnmlNet& net) {
    for (const XmlNode& node : page.children()) {
        const std::string kind = node.name();
        if (kind == "page") {
            read_page(node, net);
        } else if (kind == "place") {
            const std::string id = required_id(node, kind);
            net.places.push_back(
                {id, label_of(node, "name"),
                 whole_number(label_of(node, "initialMarking"), described("place", id))});
        } else if (kind == "transition") {
            PnmlNet::Transition transition{required_id(node, kind), label_of(node, "name"),
                                           vesk_task_of(node), marked_invisible(node)};
            if (transition.label.empty()) transition.invisible = true;
            if (transition.invisible) transition.label.clear();
            net.transitions.push_back(std::move(transition));
        } else if (kind == "arc") {
            const std::string id = required_id(node, kind);
            check_arc_kind(node, id);
            net.arcs.push_back(
                {id, node.attribute("source").value_or(""), node.attribute("target").value_or("")});
        } else if (kind == "referencePlace" || kind == "referenceTransition") {
            throw PnmlError("the net uses a " + kind + " (" + required_id(node, kind) +
                            "); only plain nets can be read");
        }
    }
}

void read_final_marking(const XmlNode& net_node, PnmlNet& net) {
    const std::optional<XmlNode> markings = net_node.find_child("finalmarkings");
    if (!markings) return;
    const std::optional<XmlNode> marking = markings->find_child("marking");
    if (!marking) return;
    for (const XmlNode& place : marking->children()) {
        if (place.name() != "place") continue;
        const std::string id = place.attribute("idref").value_or("");
        const std::int64_t tokens =
            whole_number(trimmed(place.text()), "final marking of " + described("place", id));
        if (tokens > 0) net.final_marking.emplace_back(id, tokens);
    }
}

}  // namespace

PnmlNet read_pnml(const std::string& path) try {
    XmlDocument document;
    document.load(path, false);
    const XmlNode root = document.document_element();
    if (root.name() != "pnml")
        throw PnmlError("the document element is \"" + root.name() + "\", not \"pnml\"");
    const std::optional<XmlNode> net_node = root.find_child("net");
    if (!net_node) throw PnmlError("the file holds no <net>");
    PnmlNet net;
    net.name = label_of(*net_node, "name");
    read_page(*net_node, net);
    read_final_marking(*net_node, net);
    return net;
} catch (const PnmlError& error) {
    throw PnmlError(path + ": " + error.what());
}

}  // namespace vesk
