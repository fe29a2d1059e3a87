#include "formats/vesk_dot_writer.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/file_util.h"
#include "base/number_format.h"
#include "formats/vesk_html_writer.h"

namespace vesk {

namespace {

// Names go into quoted dot strings: a double quote or a backslash in a name would end the string
// or start an escape, and dot would reject the file.
std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

bool is_exclusive(const Tplace& p) {
    return p.input_set.starts_with(kMutualExclusionPrefix);
}
bool is_special(const Tplace& p) {
    return is_start_place(p) || is_end_place(p) || is_exclusive(p);
}

std::string task_id(std::size_t i) {
    return "Task" + std::to_string(i);
}
std::string place_id(std::size_t j) {
    return "Place" + std::to_string(j);
}

// Common to both levels: header, warnings, arcs with their rank lines, clusters.
class DotText {
public:
    DotText(const Tpetrinet& net, char separator, bool high, bool true_shares = false)
        : net_(net), separator_(separator), high_(high), true_shares_(true_shares) {}

    void header(const std::string& process) {
        add_line(text_, "digraph G {");
        add_line(text_, "ranksep=\".1\"; fontsize=\"8\"; remincross=true; fontname=\"Arial\";");
        std::string warnings = "Warnings: \\n";
        bool any = false;
        for (const Ttask* task : net_.unfired_tasks) {
            const TstringTuple parts = task->split_name();
            warnings += "task '" + escaped(parts.raw_name) + " " + escaped(parts.event) +
                        "' was unable to fire. \\n";
            any = true;
        }
        if (!net_.is_safe) warnings += "This petrinet is not safe \\n";
        if (net_.tokens_left) warnings += "Tokens were left behind after case completion \\n";
        if (!any && net_.is_safe && !net_.tokens_left) warnings += "none";
        add_line(text_, "Gwarn [fontsize=\"10\",fontname=\"Arial\",label=\"Process:\\n" +
                            escaped(process) + "\\n\\n" + warnings + "\",shape=box];");
    }

    void line(const std::string& text) { add_line(text_, text); }

    // Per transition, its arcs in place order, the output arc of a place before its input arc:
    // one pass over the arcs instead of a lookup for every transition and place.
    void arcs(bool write_probabilities) {
        const auto& transitions = net_.transitions();
        std::unordered_map<const Tplace*, std::size_t> place_index;
        for (std::size_t j = 0; j < net_.places().size(); ++j)
            place_index.emplace(net_.places()[j].get(), j);
        std::unordered_map<const Ttransition*, std::vector<std::pair<std::size_t, const Tarc*>>>
            arcs_of;
        for (const auto& arc : net_.arcs())
            arcs_of[arc->transition].emplace_back(
                2 * place_index.at(arc->place) + (arc->to_place ? 0 : 1), arc.get());
        for (std::size_t i = 0; i < transitions.size(); ++i) {
            auto& arcs = arcs_of[transitions[i].get()];
            std::sort(arcs.begin(), arcs.end());
            for (const auto& [key, arc] : arcs) {
                const std::size_t j = key / 2;
                if (arc->to_place)
                    line(task_id(i) + " -> " + place_id(j) +
                         output_attributes(*arc, write_probabilities));
                else
                    line(place_id(j) + " -> " + task_id(i) +
                         input_attributes(*arc, write_probabilities));
            }
            two_loop_rank(i);
        }
    }

    void clusters(const std::string& colour) {
        const auto& transitions = net_.transitions();
        std::vector<bool> placed(transitions.size(), false);
        for (std::size_t i = 0; i < transitions.size(); ++i) {
            const Ttask* task = transitions[i]->task;
            if (placed[i] || task == nullptr) continue;
            const std::string activity = task->split_name().activity;
            placed[i] = true;
            std::vector<std::size_t> members = {i};
            std::string text = "subgraph \"cluster_" + escaped(activity) +
                               (high_ ? "\" { style=filled;fontname=\"Arial\"; fillcolor=\"#" +
                                            colour + " \"; label=\""
                                      : "\" { style=filled; fontname=\"Arial\"; fillcolor=\"#" +
                                            colour + "\"; label=\"") +
                               escaped(activity) + "\"; " + task_id(i);
            for (std::size_t k = i + 1; k < transitions.size(); ++k) {
                const Ttask* other = transitions[k]->task;
                if (other == nullptr) continue;
                const TstringTuple parts = other->split_name();
                if (parts.activity != activity) continue;
                text += "; " + task_id(k);
                placed[k] = true;
                members.push_back(k);
                if (parts.event != "resume") continue;
                // Without a suspend transition there is nothing to rank it with.
                if (const auto m = transition_named(activity + "_suspend"))
                    text += "; {rank=same; " + task_id(k) + "; " + task_id(*m) + ";}";
            }
            for (std::size_t a = 0; a < members.size(); ++a) {
                for (std::size_t b = a + 1; b < members.size(); ++b) {
                    for (const Tplace* p : net_.Places_between(
                             transitions[members[a]].get(), transitions[members[b]].get(), false))
                        if (!is_exclusive(*p))
                            text += "; " + place_id(static_cast<std::size_t>(Place_index(net_, p)));
                }
            }
            if (members.size() > 1) line(text + "; }");
        }
    }

    std::string take() { return std::move(text_); }

private:
    double chance(const Tarc& arc) const { return true_shares_ ? arc.share : arc.probability; }

    bool labelled(const Tarc& arc, bool write_probabilities) const {
        return (high_ || write_probabilities) && chance(arc) != 1.0;
    }

    std::string label(const Tarc& arc) const {
        return " [label=\"" + format_probability(chance(arc), separator_) +
               "\",arrowsize=\".7\",decorate=true,fontname=\"Arial\",fontsize=\"6\"";
    }

    std::string output_attributes(const Tarc& arc, bool write_probabilities) const {
        const Ttask* task = arc.transition->task;
        const bool l = labelled(arc, write_probabilities);
        const bool m = is_exclusive(*arc.place);
        if (task == nullptr) {
            if (l) return label(arc) + "];";
            return m ? " [arrowsize=\".7\"];" : "";
        }
        const bool c = task->split_name().event == "complete";
        if (l) return label(arc) + (c ? ",minlen=\"3\"];" : "];");
        return c && !m ? " [arrowsize=\".7\",minlen=\"3\"];" : " [arrowsize=\".7\"];";
    }

    std::string input_attributes(const Tarc& arc, bool write_probabilities) const {
        return labelled(arc, write_probabilities) ? label(arc) + "];" : " [arrowsize=\".7\"];";
    }

    std::optional<std::size_t> transition_of(const Ttask* task) const {
        const auto& transitions = net_.transitions();
        for (std::size_t k = 0; k < transitions.size(); ++k)
            if (transitions[k]->task == task) return k;
        return std::nullopt;
    }

    std::optional<std::size_t> transition_named(const std::string& name) const {
        const auto& transitions = net_.transitions();
        for (std::size_t k = 0; k < transitions.size(); ++k)
            if (transitions[k]->name == name) return k;
        return std::nullopt;
    }

    void two_loop_rank(std::size_t i) {
        const Ttask* task = net_.transitions()[i]->task;
        if (task == nullptr || task->loop_length != 2) return;
        const std::string activity = task->split_name().activity;
        std::string members;
        for (const Ttask* partner : task->tasks_in_two_loop) {
            const auto k = transition_of(partner);
            if (!k) continue;  // a partner without a transition has no place in the rank
            if (net_.transitions()[*k]->task->split_name().activity != activity)
                members += " " + task_id(*k) + ";";
        }
        if (!members.empty()) line("{rank=same; " + task_id(i) + ";" + members + "}");
    }

    const Tpetrinet& net_;
    char separator_;
    bool high_;
    // Label the arcs with their true shares instead of the files' chances (report.html).
    bool true_shares_;
    std::string text_;
};

std::string url_label(const Ttask& task) {
    const TstringTuple parts = task.split_name();
    return escaped(parts.raw_name) + "\\n" + escaped(parts.event);
}

std::string figure_block(const char* header, const TStoch_var& figures, const FigureChoice& choice,
                         char separator) {
    std::string block =
        std::string(header) + "\\n #   : " + std::to_string(figures.Nr_of_observations()) + "\\n";
    if (choice.mean) block += " mean:  " + format_fixed4(figures.Mean(), separator) + "\\n";
    if (choice.variance)
        block += " var :   " + format_fixed4(figures.Variance(), separator) + "\\n";
    if (choice.minimum)
        block += " min :     " + format_fixed4(figures.Minimum(), separator) + "\\n";
    if (choice.maximum) block += " max :     " + format_fixed4(figures.Maximum(), separator);
    return block;
}

std::string information_record(const Tplace& place, const ExportFlags& flags, char separator) {
    std::string record = "{";
    const auto add = [&](const TStoch_var& figures, const FigureChoice& choice, const char* head) {
        if (figures.Nr_of_observations() < 1 || !choice.any) return;
        if (record != "{") record += "|";
        record += figure_block(head, figures, choice, separator);
    };
    add(place.sync_time, flags.sync, "<ST> Synchronizing: ");
    add(place.waiting_time, flags.waiting, "<WT> Waiting: ");
    add(place.sojourn_time, flags.sojourn, "<ST> Sojourn: ");
    return record + "}";
}

}  // namespace

FigureChoice figure_choice(bool mean, bool variance, bool minimum, bool maximum) {
    return {mean || variance || minimum || maximum, mean, variance, minimum, maximum};
}

std::int32_t Place_index(const Tpetrinet& net, const Tplace* place) {
    const auto& places = net.places();
    for (std::size_t j = 0; j < places.size(); ++j)
        if (places[j].get() == place) return static_cast<std::int32_t>(j);
    return net.Place_count();
}

ExportFiles dot_low_files(const Tpetrinet& net, const std::filesystem::path& folder,
                          const std::string& base, const std::string& process, bool write_html,
                          bool write_probabilities, char separator, bool true_shares) {
    ExportFiles files;
    if (write_html)
        files.push_back({folder / "Default.htm", index_page_text(net, base, separator)});
    DotText dot(net, separator, false, true_shares);
    dot.header(process);
    const auto& transitions = net.transitions();
    for (std::size_t i = 0; i < transitions.size(); ++i) {
        dot.line(task_id(i) + " [shape=box, height=\".2\", width=\".2\"];");
        if (const Ttask* task = transitions[i]->task)
            dot.line(task_id(i) + " [label=\"" + url_label(*task) + "\", URL=\"" +
                     url_label(*task) + "\", fontname=\"Arial\", fontsize=\"8\"];");
        else
            dot.line(task_id(i) + " [label=\"\",style=\"filled\",fillcolor=\"black\"];");
    }
    const auto& places = net.places();
    for (std::size_t j = 0; j < places.size(); ++j) {
        const std::string id = place_id(j);
        const std::string number = std::to_string(j);
        if (is_special(*places[j])) {
            dot.line(id + " [shape=circle, height=\".2\", width=\".2\", URL=\"place\\n" + number +
                     "\"];");
        } else {
            dot.line(id + " [shape=circle, height=\".2\", width=\".2\"];");
            if (write_html) {
                std::string url = place_page_name(base, static_cast<std::int32_t>(j));
                for (std::size_t at = url.find(' '); at != std::string::npos; at = url.find(' '))
                    url.replace(at, 1, "%20");
                dot.line(id + " [URL=\"" + escaped(url) + "\"]");
                files.push_back({folder / place_page_name(base, static_cast<std::int32_t>(j)),
                                 place_page_text(*places[j], separator)});
            } else {
                dot.line(id + " [URL=\"place\\n" + number + "\"]");
            }
        }
        dot.line(id + " [label=\"\"];");
    }
    dot.arcs(write_probabilities);
    dot.clusters(net.cluster_colour);
    dot.line("}");
    files.push_back({folder / (base + ".dot"), dot.take()});
    return files;
}

std::string dot_high_text(const Tpetrinet& net, const std::string& process,
                          const ExportFlags& flags, char separator) {
    DotText dot(net, separator, true);
    dot.header(process);
    const TStoch_var& flow = net.flow_time;
    dot.line(
        "Gflow [group=\"info\",fontname=\"Arial\",fontsize=\"6\",label=\"Global flow time: \\n#   "
        ": " +
        std::to_string(flow.Nr_of_observations()) +
        "\\nmean: " + format_fixed4(flow.Mean(), separator) +
        "\\nvar : " + format_fixed4(flow.Variance(), separator) +
        "\\nmin : " + format_fixed4(flow.Minimum(), separator) +
        "\\nmax : " + format_fixed4(flow.Maximum(), separator) + "\\n\",shape=Mrecord];");
    const auto& transitions = net.transitions();
    for (std::size_t i = 0; i < transitions.size(); ++i) {
        dot.line(task_id(i) +
                 " [shape=box, height=\".2\", width=\".2\",fontname=\"Arial\", fontsize=\"8\"];");
        if (const Ttask* task = transitions[i]->task)
            dot.line(task_id(i) + " [group=\"PTnet\",label=\"" + url_label(*task) + "\",group=\"" +
                     escaped(task->split_name().raw_name) + "\"];");
        else
            dot.line(task_id(i) +
                     " [group=\"PTnet\",label=\"\",style=\"filled\",fillcolor=\"black\"];");
    }
    const auto& places = net.places();
    for (std::size_t j = 0; j < places.size(); ++j) {
        const Tplace& place = *places[j];
        const std::string id = place_id(j);
        dot.line(id + " [group=\"PTnet\", height=\".2\", width=\".2\",label=\"\",shape=circle];");
        const std::string record = information_record(place, flags, separator);
        if (record == "{}" || is_start_place(place) || is_exclusive(place)) continue;
        dot.line(id + "info [fontsize=\"6\",fontname=\"Arial\",label=\"" + record +
                 "\",shape=Mrecord,color=\"dimgray\",fontcolor=\"dimgray\"];");
        const bool more_in =
            net.Arcs_of_place(&place, true).size() >= net.Arcs_of_place(&place, false).size();
        dot.line(
            more_in ? id + " -> " + id + "info [arrowhead=none,arrowtail=none,color=\"dimgray\"];"
                    : id + "info -> " + id + " [arrowhead=none,arrowtail=none,color=\"dimgray\"];");
    }
    dot.arcs(true);
    dot.clusters(net.cluster_colour);
    dot.line("}");
    return dot.take();
}

std::vector<std::filesystem::path> Write_dot_low(const Tpetrinet& net,
                                                 const std::filesystem::path& folder,
                                                 const std::string& base,
                                                 const std::string& process, bool write_html,
                                                 bool write_probabilities, char separator) {
    return write_export_files(
        dot_low_files(net, folder, base, process, write_html, write_probabilities, separator));
}

void Write_dot_high(const Tpetrinet& net, const std::filesystem::path& folder,
                    const std::string& base, const std::string& process, const ExportFlags& flags,
                    char separator) {
    write_file_atomically(folder / (base + ".dot"), dot_high_text(net, process, flags, separator));
}

}  // namespace vesk
