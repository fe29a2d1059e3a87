#include "formats/vesk_report_writer.h"

#include <algorithm>

#include <cmath>
#include <cstdio>

#include "base/number_format.h"
#include "formats/attribute_report.h"
#include "formats/conformance_report.h"
#include "formats/map_report.h"
#include "formats/report_zoom.h"
#include "formats/vesk_html_writer.h"
#include "net/net_structure.h"

namespace vesk {

namespace {

std::string number(double value, const char* format = "%.2f") {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

const char* const kStyle = R"(
body { font-family: sans-serif; margin: 0; color: #222; }
header { padding: 12px 20px; background: #eef3f9; border-bottom: 1px solid #c8d4e3; }
header h1 { font-size: 20px; margin: 0 0 6px 0; }
header p { margin: 2px 0; font-size: 13px; }
code.tree { font-size: 12px; overflow-wrap: anywhere; }
.findings { display: flex; flex-wrap: wrap; gap: 8px 24px; margin-top: 8px; font-size: 14px; }
.good { color: #17692b; } .bad { color: #a0201b; }
main { display: flex; flex-direction: column; }
#picture { height: 62vh; min-height: 300px; border-bottom: 1px solid #c8d4e3; }
#panel { padding: 12px 20px; font-size: 14px; }
.info { display: none; } .info.shown { display: block; }
.info h2 { font-size: 16px; margin: 4px 0; }
.info table { border-collapse: collapse; margin: 6px 0 12px 0; }
.info td, .info th { border: 1px solid #c8d4e3; padding: 3px 10px; text-align: right;
                     white-space: nowrap; }
.info th { background: #eef3f9; }
g.node.clickable { cursor: pointer; }
g.node.clickable:hover polygon, g.node.clickable:hover ellipse { stroke: #d35400; stroke-width: 2; }
g.node.selected polygon, g.node.selected ellipse { fill: #ffe0b2; }
g.node.broken polygon, g.node.broken ellipse { stroke: #a0201b; stroke-width: 3;
                                               stroke-dasharray: 5 3; }
#structure { margin: 8px 0 0 0; font-size: 14px; }
table.noise { border-collapse: collapse; font-size: 13px; margin: 6px 0; }
table.noise td, table.noise th { border: 1px solid #c8d4e3; padding: 2px 8px; text-align: right; }
table.noise tr.chosen td { font-weight: bold; background: #e6f4ea; }
#structure ul { margin: 2px 0; padding-left: 20px; }
)";

const char* const kScript = R"(
(function () {
  var shown = null, selected = null;
  function show(id, node) {
    var info = document.getElementById('info-' + id);
    if (!info) return;
    if (shown) shown.classList.remove('shown');
    info.classList.add('shown');
    shown = info;
    if (selected) selected.classList.remove('selected');
    if (node) { node.classList.add('selected'); selected = node; }
  }
  var nodes = document.querySelectorAll('#picture g.node');
  var broken = JSON.parse(document.getElementById('broken').textContent);
  for (var b = 0; b < nodes.length; b++) {
    var name = nodes[b].querySelector('title');
    if (name && broken.indexOf(name.textContent) >= 0) nodes[b].classList.add('broken');
  }
  for (var i = 0; i < nodes.length; i++) {
    (function (node) {
      var title = node.querySelector('title');
      if (!title) return;
      var id = title.textContent;
      if (!document.getElementById('info-' + id)) return;
      node.classList.add('clickable');
      node.addEventListener('click', function (e) { e.preventDefault(); show(id, node); });
      node.addEventListener('mouseenter', function () { if (!selected) show(id, null); });
    })(nodes[i]);
  }
  // report.html#Place3 opens with place 3 chosen.
  if (location.hash.length > 1) {
    var wanted = location.hash.substring(1);
    for (var j = 0; j < nodes.length; j++) {
      var t = nodes[j].querySelector('title');
      if (t && t.textContent === wanted) show(wanted, nodes[j]);
    }
  }
  var links = document.querySelectorAll('#picture a');
  for (var k = 0; k < links.length; k++)
    links[k].addEventListener('click', function (e) { e.preventDefault(); });
})();
)";

// The three figures of a place side by side, a row per statistic.
std::string figures_table(const Tplace& place) {
    const TStoch_var* columns[] = {&place.waiting_time, &place.sync_time, &place.sojourn_time};
    std::string table =
        "<table>\n<tr><th></th><th>waiting</th><th>synchronisation</th>"
        "<th>sojourn</th></tr>\n";
    const auto row = [&](const char* name, auto&& cell) {
        table += "<tr><th>" + std::string(name) + "</th>";
        for (const TStoch_var* figures : columns)
            table +=
                "<td>" +
                (figures->Nr_of_observations() == 0 ? std::string("&ndash;") : cell(*figures)) +
                "</td>";
        table += "</tr>\n";
    };
    table += "<tr><th>count</th>";
    for (const TStoch_var* figures : columns)
        table += "<td>" + std::to_string(figures->Nr_of_observations()) + "</td>";
    table += "</tr>\n";
    row("mean", [](const TStoch_var& f) { return minutes_text(f.Mean()); });
    row("variance", [](const TStoch_var& f) { return number(f.Variance()) + "&nbsp;min&sup2;"; });
    row("minimum", [](const TStoch_var& f) { return minutes_text(f.Minimum()); });
    row("maximum", [](const TStoch_var& f) { return minutes_text(f.Maximum()); });
    return table + "</table>\n";
}

// The sets of a place ("*a*&*b*") as a readable list of task names.
std::string set_text(const std::string& set) {
    if (set == kStartSet) return "the start";
    if (set == kEndSet) return "the end";
    std::string text;
    std::string::size_type begin = 0;
    while (begin < set.size()) {
        auto end = set.find("*&*", begin);
        if (end == std::string::npos) end = set.size();
        std::string name = set.substr(begin, end - begin);
        while (!name.empty() && (name.front() == '*' || name.front() == '_'))
            name.erase(0, 1);
        while (!name.empty() && name.back() == '*')
            name.pop_back();
        // Generated names mean nothing to a reader.
        if (name.find(kSkipMarker) != std::string::npos) name = "an invisible step";
        text += (text.empty() ? "" : ", ") + name;
        begin = end + 3;
    }
    return text;
}

}  // namespace

std::string svg_without_prolog(std::string_view svg) {
    const auto start = svg.find("<svg");
    if (start == std::string_view::npos) return "<p>The picture could not be read.</p>";
    std::string out(svg.substr(start));
    // Let the page scale the picture: the viewBox stays, the fixed size goes.
    const auto tag_end = out.find('>');
    for (const char* attribute : {" width=\"", " height=\""}) {
        const auto at = out.find(attribute);
        if (at == std::string::npos || at > tag_end) continue;
        const auto close = out.find('"', at + std::string(attribute).size());
        out.erase(at, close - at + 1);
    }
    return out;
}

std::string minutes_text(double minutes) {
    std::string text = number(minutes) + "&nbsp;min";
    if (const auto larger = larger_time_unit(minutes))
        text += " (" + number(larger->value) + "&nbsp;" + larger->unit + ")";
    return text;
}

namespace {

std::string finding(bool good, const std::string& id, const std::string& text) {
    return std::string("<span class=\"") + (good ? "good" : "bad") + "\"" +
           (id.empty() ? "" : " id=\"" + id + "\"") + ">" + text + "</span>\n";
}

// The replay's findings at the top of the page.
std::string findings_text(const Tpetrinet& net, const ReportInfo& info,
                          const NetStructure& structure) {
    std::string text = "<span>Net: " + std::to_string(net.transitions().size()) + " transitions, " +
                       std::to_string(net.places().size()) + " places, " +
                       std::to_string(net.arcs().size()) + " arcs</span>\n";
    if (!info.replayed)
        return text + "<span>The log was not replayed: no findings or times.</span>\n";
    std::string unfired;
    for (const Ttask* task : net.unfired_tasks)
        unfired += (unfired.empty() ? "" : ", ") + html_escaped(task->name());
    text += finding(unfired.empty(), "unfired",
                    "Unfired tasks: " + (unfired.empty() ? std::string("none") : unfired));
    text += finding(net.is_safe, "", std::string("Safe: ") + (net.is_safe ? "yes" : "no"));
    text += finding(!net.tokens_left, "",
                    std::string("Tokens left: ") + (net.tokens_left ? "yes" : "no"));
    if (info.fitness)
        text += finding(info.fitness->fitness() == 1.0, "fitness",
                        "Fitness: " + number(info.fitness->fitness(), "%.4f") + " (" +
                            std::to_string(info.fitness->fitting_cases) + " of " +
                            std::to_string(info.fitness->cases) + " cases fit exactly" +
                            (info.fitness->undecided_cases == 0
                                 ? std::string()
                                 : "; " + std::to_string(info.fitness->undecided_cases) +
                                       " undecided, counted as not fitting") +
                            ")" +
                            (structure.free_transitions() == 0
                                 ? std::string()
                                 : "; " + html_escaped(free_firing_note(structure))));
    const TStoch_var& flow = net.flow_time;
    text += "<span id=\"flow\">Flow time: " + std::to_string(flow.Nr_of_observations()) +
            " cases, mean " + minutes_text(flow.Mean()) + ", minimum " +
            minutes_text(flow.Minimum()) + ", maximum " + minutes_text(flow.Maximum()) +
            "</span>\n";
    return text;
}

// The structure check: that the net is a workflow net, or what it lacks, with the hint; the
// nodes at fault are marked in the picture by the script.
std::string structure_text(const Tpetrinet& net, const NetStructure& structure) {
    const std::vector<std::string> findings =
        structure_findings(structure, visible_transitions(net));
    if (findings.empty())
        return "<div id=\"structure\" class=\"good\">Structure: a workflow net, every node on a "
               "path from the start to the end place</div>\n";
    std::string text =
        "<div id=\"structure\" class=\"bad\">Structure (marked in the picture):\n<ul>\n";
    for (const std::string& finding : findings)
        text += "<li>" + html_escaped(finding) + "</li>\n";
    return text + "</ul>Hint: " + html_escaped(kStructureHint) + "</div>\n";
}

// The names of the picture's nodes at fault, as a JSON list the script reads.
std::string broken_nodes(const Tpetrinet& net, const NetStructure& structure) {
    std::vector<std::string> names = structure.without_arcs;
    names.insert(names.end(), structure.without_input.begin(), structure.without_input.end());
    names.insert(names.end(), structure.without_output.begin(), structure.without_output.end());
    std::string list;
    const auto add = [&list](const std::string& node) {
        list += (list.empty() ? "\"" : ",\"") + node + "\"";
    };
    const auto& transitions = net.transitions();
    for (std::size_t i = 0; i < transitions.size(); ++i)
        if (std::find(names.begin(), names.end(), transitions[i]->name) != names.end())
            add("Task" + std::to_string(i));
    for (const std::size_t j : structure.places_without_input)
        add("Place" + std::to_string(j));
    for (const std::size_t j : structure.places_without_output)
        add("Place" + std::to_string(j));
    return "[" + list + "]";
}

// The side panel's entries: one per place, one per transition, shown on a click.
std::string panel_text(const Tpetrinet& net, bool replayed) {
    const auto e = [](const std::string& text) { return html_escaped(text); };
    std::string page;
    const auto& places = net.places();
    for (std::size_t j = 0; j < places.size(); ++j) {
        const Tplace& place = *places[j];
        page += "<div class=\"info place\" id=\"info-Place" + std::to_string(j) + "\">\n";
        page += "<h2>Place " + std::to_string(j) +
                "</h2>\n<p>After: " + e(set_text(place.input_set)) +
                "<br>Before: " + e(set_text(place.output_set)) + "</p>\n";
        page += figures_table(place) + "</div>\n";
    }
    const auto& transitions = net.transitions();
    for (std::size_t i = 0; i < transitions.size(); ++i) {
        Ttask* task = transitions[i]->task;
        page += "<div class=\"info transition\" id=\"info-Task" + std::to_string(i) + "\">\n";
        if (task == nullptr) {
            page +=
                "<h2>Invisible transition</h2>\n<p>It fires on no event of the log: it lets "
                "cases skip a task, or splits, joins or repeats a part of the process.</p>\n"
                "</div>\n";
            continue;
        }
        const std::int32_t seen = transitions[i]->occurrences;
        page += "<h2>" + e(task->name()) + "</h2>\n<p>" +
                (replayed ? "Seen " + std::to_string(seen) + (seen == 1 ? " time" : " times") +
                                " in the log."
                          : std::string("Not replayed.")) +
                "</p>\n<table>\n";
        const auto relation = [&](const char* name, NameList which) {
            page += "<tr><th>" + std::string(name) + "</th><td style=\"text-align:left\">" +
                    e(task->name_list(which)) + "</td></tr>\n";
        };
        relation("causal predecessors", NameList::causal_predecessors);
        relation("causal successors", NameList::causal_successors);
        relation("parallel", NameList::parallel);
        page += "</table>\n</div>\n";
    }
    return page;
}

// The thresholds --noise auto tried, as a small table; nothing without them.
std::string noise_grid_text(const ReportInfo& info) {
    if (info.noise_grid.empty()) return {};
    std::string html =
        "<table class=\"noise\"><tr><th>Noise</th><th>Fitness</th><th>Precision</th>"
        "<th>F-score</th><th>Left out</th></tr>\n";
    for (const ReportInfo::NoiseRow& row : info.noise_grid) {
        html += row.chosen ? "<tr class=\"chosen\">" : "<tr>";
        for (const std::string& cell : row.cells)
            html += "<td>" + html_escaped(cell) + "</td>";
        html += "</tr>\n";
    }
    html += "</table>\n";
    if (!info.noise_sample.empty()) html += "<p>" + html_escaped(info.noise_sample) + "</p>\n";
    return html;
}

}  // namespace

std::string report_page_text(const Tpetrinet& net, const ReportInfo& info, std::string_view svg,
                             std::string_view map_views, std::string_view conformance_view) {
    if (map_views.empty()) conformance_view = {};
    const auto e = [](const std::string& text) { return html_escaped(text); };
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    page += "<title>Vesk: " + e(info.process_id) + "</title>\n<style>" + kStyle + kZoomStyle +
            (map_views.empty() ? "" : kMapViewsStyle) +
            (info.attributes_view || info.resources_view ? kAttributeViewsStyle : "") +
            (conformance_view.empty() ? "" : kConformanceStyle) + "</style>\n";
    page += "</head>\n<body>\n<header>\n";
    page += "<h1>Process " + e(info.process_id) + " (" + e(info.process_description) + ")</h1>\n";
    page += "<p>Log: " + e(info.log_file) + "</p>\n";
    page += "<p>Event types: " + e(info.event_types) + "; " + e(info.options) + "</p>\n";
    if (!info.process_tree.empty())
        page += "<p>Process tree: <code class=\"tree\">" + e(info.process_tree) + "</code></p>\n";
    if (!info.left_out.empty()) page += "<p class=\"bad\">" + e(info.left_out) + "</p>\n";
    page += noise_grid_text(info);
    const NetStructure structure = check_structure(net);
    page += "<div class=\"findings\">\n" + findings_text(net, info, structure);
    page += "</div>\n" + structure_text(net, structure) + "</header>\n";
    if (!map_views.empty())
        page +=
            std::string("<nav id=\"views\" data-first=\"") +
            (structure.workflow_net() ? "net" : "map") +
            "\"><button data-view=\"net\">Net</button><button data-view=\"map\">Map</button>"
            "<button data-view=\"variants\">Variants</button>" +
            (conformance_view.empty() ? ""
                                      : "<button data-view=\"conformance\">Conformance</button>") +
            (info.attributes_view ? "<button data-view=\"attributes\">Attributes</button>" : "") +
            (info.resources_view ? "<button data-view=\"resources\">Resources</button>" : "") +
            "</nav>\n";
    page += std::string("<main") + (map_views.empty() ? "" : " id=\"view-net\" class=\"view\"") +
            ">\n<div id=\"picture\"" + (info.net_not_drawn.empty() ? " class=\"zoomable\"" : "") +
            ">\n" +
            (info.net_not_drawn.empty() ? svg_without_prolog(svg)
                                        : "<p>" + e(info.net_not_drawn) + "</p>") +
            "\n</div>\n<div id=\"panel\">\n<p id=\"hint\">Click a place or a transition of the "
            "net.</p>\n";
    page += panel_text(net, info.replayed);
    page += "</div>\n</main>\n" + std::string(map_views) + std::string(conformance_view) +
            "<script type=\"application/json\" id=\"broken\">" + broken_nodes(net, structure) +
            "</script>\n<script>" + std::string(kZoomScript) + kScript +
            (map_views.empty() ? "" : kMapViewsScript) + "</script>\n</body>\n</html>\n";
    return page;
}

}  // namespace vesk
