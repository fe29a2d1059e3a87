#include "formats/conformance_report.h"

#include <algorithm>
#include <map>

#include "base/number_format.h"
#include "formats/map_dot_writer.h"
#include "formats/vesk_html_writer.h"
#include "formats/vesk_report_writer.h"

namespace vesk {

const char* const kConformanceStyle = R"(
.conformance { padding: 10px 20px; font-size: 14px; }
.conformance table.figures td, .conformance table.figures th { border: 1px solid #c8d4e3;
    padding: 3px 10px; text-align: right; }
.conformance table.figures th { background: #eef3f9; text-align: left; }
.conformance table.figures { border-collapse: collapse; }
#conformance-picture { height: 62vh; min-height: 300px; border: 1px solid #c8d4e3; }
.conformance table.variants { margin: 0; }
.conformance table.variants td:first-child { text-align: left; }
.conformance table.alignments td:first-child { text-align: right; }
td.moves { text-align: left !important; line-height: 1.9; }
span.sync, span.log, span.model { padding: 1px 5px; border-radius: 3px; white-space: nowrap; }
span.sync { background: #e5f5e0; }
span.log { background: #fdae6b; }
span.model { background: #bcbddc; }
)";

namespace {

constexpr const char* kFitFill = "#e5f5e0";
constexpr const char* kDeviationFills[] = {"#fee5d9", "#fcae91", "#fb6a4a", "#de2d26", "#a50f15"};
constexpr std::size_t kVariantsShown = 100;

std::string figure(double value) {
    return format_fixed4(value, '.');
}

std::string count(std::int64_t value) {
    return grouped_number(value);
}

// Per label, the first transition that carries it.
std::map<std::int32_t, std::int32_t> first_transitions(const AlignmentNet& net) {
    std::map<std::int32_t, std::int32_t> first;
    for (std::int32_t t = 0; t < net.transition_count(); ++t)
        if (net.label(t) >= 0) first.try_emplace(net.label(t), t);
    return first;
}

std::string transition_node(const ConformanceResult& result, std::int32_t t, bool first) {
    const AlignmentNet& net = result.net;
    const std::string id = "t" + std::to_string(t);
    const std::int32_t label = net.label(t);
    if (label < 0)
        return "  " + id + " [label=\"\",shape=box,style=filled,fillcolor=black,width=0.15];\n";
    const ActivityMoves& moves = result.activities[static_cast<std::size_t>(label)];
    const std::int64_t skipped = result.transition_model_moves[static_cast<std::size_t>(t)];
    const std::int64_t extra = first ? moves.log_moves : 0;
    const std::int64_t all = moves.synchronous + extra + skipped;
    const double share =
        all > 0 ? static_cast<double>(extra + skipped) / static_cast<double>(all) : 0;
    const std::string fill = extra + skipped == 0
                                 ? kFitFill
                                 : kDeviationFills[std::min<int>(4, static_cast<int>(share * 5))];
    return "  " + id + " [label=" +
           dot_quoted({net.display_name(label), "in step " + count(moves.synchronous),
                       "not allowed " + count(extra) + ", skipped " + count(skipped)}) +
           ",shape=box,style=\"filled,rounded\",fillcolor=\"" + fill + "\"" +
           (share >= 0.6 ? ",fontcolor=white" : "") + ",id=\"c" + id + "\"];\n";
}

std::string move_span(const ConformanceResult& result, const AlignmentMove& move) {
    const AlignmentNet& net = result.net;
    if (move.synchronous())
        return "<span class=\"sync\">" + html_escaped(net.display_name(move.log_label)) + "</span>";
    if (move.on_log())
        return "<span class=\"log\" title=\"happened where the net does not allow it\">+" +
               html_escaped(net.display_name(move.log_label)) + "</span>";
    return "<span class=\"model\" title=\"skipped: the net needed it\">&minus;" +
           html_escaped(net.display_name(net.label(move.transition))) + "</span>";
}

std::string figures_html(const ConformanceResult& result) {
    const auto row = [](const std::string& name, const std::string& value) {
        return "<tr><th>" + name + "</th><td>" + value + "</td></tr>\n";
    };
    std::string html = "<table class=\"figures\">\n";
    html += row("Alignment fitness", figure(result.fitness));
    html += row("Precision (escaping edges)", figure(result.precision.value));
    html += row("F-score", figure(result.f_score));
    html += row("Cases fitting", count(result.cases_fitting) + " of " + count(result.cases));
    html += row("Variants fitting", count(result.variants_fitting) + " of " +
                                        count(static_cast<std::int64_t>(result.variants.size())));
    html += row("Cheapest run of the net", count(result.cheapest_run) + " moves");
    if (result.variants_not_aligned > 0)
        html +=
            row("Not aligned (search bound)", count(result.variants_not_aligned) + " variants, " +
                                                  count(result.cases_not_aligned) + " cases");
    return html + "</table>\n";
}

std::string activities_html(const ConformanceResult& result) {
    const std::vector<const ActivityMoves*> list = by_deviations(result);
    std::string html =
        "<table class=\"variants\"><tr><th>Activity</th><th>In step</th>"
        "<th>Not allowed there</th><th>Skipped</th></tr>\n";
    for (const ActivityMoves* moves : list)
        html += "<tr><td>" + html_escaped(result.net.display_name(moves->label)) + "</td><td>" +
                count(moves->synchronous) + "</td><td>" + count(moves->log_moves) + "</td><td>" +
                count(moves->model_moves) + "</td></tr>\n";
    return html + "</table>\n";
}

std::string variants_html(const ConformanceResult& result) {
    const std::vector<const VariantAlignment*> list = by_cost(result);
    std::string html =
        "<table class=\"variants alignments\"><tr><th>Cases</th><th>Cost</th>"
        "<th>Fitness</th><th>Alignment</th></tr>\n";
    for (std::size_t i = 0; i < list.size() && i < kVariantsShown; ++i) {
        const VariantAlignment& variant = *list[i];
        html += "<tr><td>" + count(variant.cases) + "</td>";
        if (!variant.alignment.aligned()) {
            html +=
                "<td>&ndash;</td><td>&ndash;</td><td>not aligned: the search reached its "
                "bound</td></tr>\n";
            continue;
        }
        html += "<td>" + count(variant.alignment.cost) + "</td><td>" + figure(variant.fitness) +
                "</td><td class=\"moves\">";
        for (const AlignmentMove& move : variant.alignment.moves)
            if (move.on_log() || result.net.label(move.transition) >= 0)
                html += move_span(result, move) + " ";
        html += "</td></tr>\n";
    }
    if (list.size() > kVariantsShown)
        html += "<tr><td colspan=\"4\">and " +
                count(static_cast<std::int64_t>(list.size() - kVariantsShown)) +
                " more variants (vesk-cli align --format json lists them all)</td></tr>\n";
    return html + "</table>\n";
}

}  // namespace

std::string conformance_dot_text(const ConformanceResult& result, const Tpetrinet& net) {
    std::map<const Tplace*, std::size_t> places;
    for (const auto& place : net.places())
        places.emplace(place.get(), places.size());
    std::map<const Ttransition*, std::size_t> transitions;
    for (const auto& transition : net.transitions())
        transitions.emplace(transition.get(), transitions.size());
    std::string out =
        "digraph conformance {\n  rankdir=LR;\n  node [fontname=\"Helvetica\","
        "fontsize=11];\n  edge [color=\"#737373\"];\n";
    for (std::size_t p = 0; p < places.size(); ++p)
        out += "  p" + std::to_string(p) + " [label=\"\",shape=circle,width=0.25];\n";
    const auto first = first_transitions(result.net);
    for (std::int32_t t = 0; t < result.net.transition_count(); ++t) {
        const std::int32_t label = result.net.label(t);
        out += transition_node(result, t, label >= 0 && first.at(label) == t);
    }
    for (const auto& arc : net.arcs()) {
        const std::string place = "p" + std::to_string(places.at(arc->place));
        const std::string transition = "t" + std::to_string(transitions.at(arc->transition));
        out += "  " + (arc->to_place ? transition + " -> " + place : place + " -> " + transition) +
               ";\n";
    }
    std::vector<std::string> missing;
    for (const ActivityMoves& moves : result.activities)
        if (moves.log_moves > 0 && !first.contains(moves.label))
            missing.push_back(result.net.display_name(moves.label) + ": " + count(moves.log_moves));
    if (!missing.empty()) {
        missing.insert(missing.begin(), "Only in the log");
        out += "  missing [shape=note,style=filled,fillcolor=\"#fee5d9\",label=" +
               dot_quoted(missing) + "];\n";
    }
    return out + "}\n";
}

std::string conformance_view_html(const ConformanceResult& result, std::string_view svg) {
    std::string html =
        "<section id=\"view-conformance\" class=\"view\">\n<div class=\"conformance\">\n";
    html += "<h2>Conformance: optimal alignments of every variant</h2>\n" + figures_html(result);
    html +=
        "<p class=\"legend\"><span class=\"sync\">in step</span> "
        "<span class=\"log\">+ happened where the net does not allow it</span> "
        "<span class=\"model\">&minus; skipped: the net needed it</span></p>\n";
    html += "<div id=\"conformance-picture\" class=\"zoomable\">" + svg_without_prolog(svg) +
            "</div>\n";
    html += "<h3>Activities</h3>\n" + activities_html(result);
    html += "<h3>Variants, the most costly first</h3>\n" + variants_html(result);
    return html + "</div>\n</section>\n";
}

}  // namespace vesk
