#include "formats/vesk_pnml_writer.h"

#include <set>
#include <unordered_map>

#include "base/build_info.h"
#include "base/file_util.h"
#include "formats/vesk_html_writer.h"

namespace vesk {

namespace {

std::string name_element(const std::string& text) {
    return "<name><text>" + html_escaped(text) + "</text></name>";
}

// Other tools label a transition with its activity, or with "activity+event" (the classifier
// form) where an activity has transitions of more than one event type.
std::unordered_map<const Ttransition*, std::string> labels_of(const Tpetrinet& net) {
    std::unordered_map<std::string, std::set<std::string>> events_of;
    for (const auto& transition : net.transitions())
        if (transition->task != nullptr) {
            const TstringTuple parts = transition->task->split_name();
            events_of[parts.activity].insert(parts.event);
        }
    std::unordered_map<const Ttransition*, std::string> labels;
    for (const auto& transition : net.transitions())
        if (transition->task != nullptr) {
            const TstringTuple parts = transition->task->split_name();
            labels[transition.get()] = events_of[parts.activity].size() == 1
                                           ? parts.activity
                                           : parts.activity + "+" + parts.event;
        }
    return labels;
}

}  // namespace

std::string pnml_text(const Tpetrinet& net, const std::string& process) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<pnml xmlns=\"http://www.pnml.org/version-2009/grammar/pnml\">\n"
        "  <net id=\"net1\" type=\"http://www.pnml.org/version-2009/grammar/ptnet\">\n"
        "    " +
        name_element(process) +
        "\n"
        "    <page id=\"page1\">\n";
    std::unordered_map<const Tplace*, std::string> place_ids;
    std::unordered_map<const Ttransition*, std::string> transition_ids;
    const auto& places = net.places();
    for (std::size_t i = 0; i < places.size(); ++i) {
        const Tplace& place = *places[i];
        const std::string id = "p" + std::to_string(i);
        place_ids[&place] = id;
        out += "      <place id=\"" + id + "\">" +
               name_element(place.input_set + "  " + place.output_set);
        if (place.input_set == kStartSet) out += "<initialMarking><text>1</text></initialMarking>";
        out += "</place>\n";
    }
    const auto labels = labels_of(net);
    const auto& transitions = net.transitions();
    for (std::size_t i = 0; i < transitions.size(); ++i) {
        const Ttransition& transition = *transitions[i];
        const std::string id = "t" + std::to_string(i);
        transition_ids[&transition] = id;
        if (transition.task != nullptr) {
            // The task's own name stays with the transition for the tools that want it.
            out += "      <transition id=\"" + id + "\">" + name_element(labels.at(&transition)) +
                   "<toolspecific tool=\"Vesk\" version=\"" + kVeskVersion + "\"><task>" +
                   html_escaped(transition.task->name()) + "</task></toolspecific></transition>\n";
        } else {
            // The mark both common readers take for a silent step, beside this program's own.
            out += "      <transition id=\"" + id + "\">" + name_element("tau") +
                   "<toolspecific tool=\"ProM\" version=\"6.4\" activity=\"$invisible$\" "
                   "localNodeID=\"" +
                   id + "\"/><toolspecific tool=\"Vesk\" version=\"" + kVeskVersion +
                   "\"><invisible/></toolspecific></transition>\n";
        }
    }
    const auto& arcs = net.arcs();
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        const Tarc& arc = *arcs[i];
        const std::string& place = place_ids.at(arc.place);
        const std::string& transition = transition_ids.at(arc.transition);
        out += "      <arc id=\"a" + std::to_string(i) + "\" source=\"" +
               (arc.to_place ? transition : place) + "\" target=\"" +
               (arc.to_place ? place : transition) + "\"/>\n";
    }
    out += "    </page>\n";
    // The final marking: one token on the end place.
    for (const auto& place : places)
        if (place->output_set == kEndSet) {
            out += "    <finalmarkings><marking><place idref=\"" + place_ids.at(place.get()) +
                   "\"><text>1</text></place></marking></finalmarkings>\n";
            break;
        }
    out += "  </net>\n</pnml>\n";
    return out;
}

std::filesystem::path Write_pnml(const Tpetrinet& net, const std::filesystem::path& folder,
                                 const std::string& base, const std::string& process) {
    const std::filesystem::path path = folder / (base + ".pnml");
    write_file_atomically(path, pnml_text(net, process));
    return path;
}

}  // namespace vesk
