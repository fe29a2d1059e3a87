#include "formats/map_report.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "base/number_format.h"
#include "formats/map_dot_writer.h"
#include "formats/vesk_html_writer.h"
#include "formats/vesk_report_writer.h"

namespace vesk {

namespace {

constexpr std::size_t kVariantsShown = 100;

// A JSON string that is also safe inside a script element: "<" never appears as such.
std::string json_quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || c == '<' || c == '>' || c == '&') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string json_number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string figures_json(const DurationFigures& f) {
    return "[" + json_number(f.mean) + "," + json_number(f.median) + "," + json_number(f.min) +
           "," + json_number(f.max) + "]";
}

std::string map_json(const ProcessMap& map) {
    std::string data = "{\"activities\":[";
    for (std::size_t a = 0; a < map.activities.size(); ++a) {
        const MapActivity& activity = map.activities[a];
        data += std::string(a > 0 ? "," : "") + "{\"name\":" + json_quoted(activity.name) +
                ",\"events\":" + std::to_string(activity.events) +
                ",\"cases\":" + std::to_string(activity.cases) + ",\"service\":" +
                (activity.service_minutes && activity.service_minutes->count > 0
                     ? figures_json(*activity.service_minutes)
                     : "null") +
                "}";
    }
    data += "],\"edges\":[";
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        const MapEdge& edge = map.edges[e];
        data += std::string(e > 0 ? "," : "") + "{\"from\":" + std::to_string(edge.from) +
                ",\"to\":" + std::to_string(edge.to) + ",\"count\":" + std::to_string(edge.count) +
                ",\"overlapping\":" + std::to_string(edge.overlapping) + ",\"minutes\":" +
                (edge.minutes.count > 0 ? figures_json(edge.minutes) : std::string("null")) + "}";
    }
    return data + "]}";
}

std::string number_list(const std::vector<std::size_t>& values) {
    std::string text = "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        text += (i > 0 ? "," : "") + std::to_string(values[i]);
    return text + "]";
}

// The figures a click shows, per activity step (the maps differ), and which drawing each slider
// position shows.
std::string page_data(const MapDrawingPlan& plan) {
    std::string data = "{\"maps\":[";
    for (std::size_t i = 0; i < plan.maps.size(); ++i)
        data += (i > 0 ? "," : "") + map_json(plan.maps[i]);
    data += "],\"asteps\":" + number_list({std::begin(kActivitySteps), std::end(kActivitySteps)});
    data += ",\"psteps\":" + number_list({std::begin(kPathSteps), std::end(kPathSteps)});
    return data + ",\"layouts\":" + number_list(plan.drawing_of_position) +
           ",\"drawn\":" + number_list(plan.drawn_paths) +
           ",\"kept\":" + number_list(plan.kept_paths) + "}";
}

std::string duration_cell(double minutes) {
    return "<td>" + html_escaped(short_duration(minutes)) + "</td>";
}

std::string variants_view(const ProcessMap& map) {
    std::string html = "<section id=\"view-variants\" class=\"view\">\n<p>" +
                       grouped_number(static_cast<std::int64_t>(map.variants.size())) +
                       " variants of " + grouped_number(map.cases) + " cases";
    if (map.variants.size() > kVariantsShown)
        html += "; the " + std::to_string(kVariantsShown) + " most frequent";
    html +=
        ":</p>\n<table class=\"variants\">\n<tr><th>#</th><th>Cases</th><th>Share</th>"
        "<th>Median flow time</th><th>Activities</th></tr>\n";
    for (std::size_t v = 0; v < map.variants.size() && v < kVariantsShown; ++v) {
        const MapVariant& variant = map.variants[v];
        const std::string share = percent_text(variant.share);
        html += "<tr><td>" + std::to_string(v + 1) + "</td><td>" + grouped_number(variant.cases) +
                "</td><td>" + share + "</td>" + duration_cell(variant.median_flow_minutes) +
                "<td><ol class=\"sequence\">";
        for (const std::int32_t id : variant.activities)
            html +=
                "<li>" + html_escaped(map.activities[static_cast<std::size_t>(id)].name) + "</li>";
        html += "</ol></td></tr>\n";
    }
    return html + "</table>\n</section>\n";
}

}  // namespace

std::size_t path_count(const MapSelection& selection) {
    return static_cast<std::size_t>(
        std::count(selection.edges.begin(), selection.edges.end(), true));
}

namespace {

std::string slider(const char* id, const char* caption, std::size_t steps) {
    const std::string last = std::to_string(steps - 1);
    return std::string("<label>") + caption + " <input type=\"range\" id=\"" + id +
           "\" min=\"0\" max=\"" + last + "\" step=\"1\" value=\"" + last + "\"> <span id=\"" + id +
           "-value\">100%</span></label>\n";
}

}  // namespace

MapSelection drawable_selection(const ProcessMap& map, double path_percent) {
    MapSelection selection = select_paths(map, path_percent);
    if (path_count(selection) <= kMaxDrawnPaths) return selection;
    // Halving the percentage: the selection grows with it.
    MapSelection best = select_paths(map, 0);
    double low = 0, high = path_percent;
    while (high - low > 0.25) {
        const double middle = (low + high) / 2;
        MapSelection fewer = select_paths(map, middle);
        if (path_count(fewer) > kMaxDrawnPaths) {
            high = middle;
        } else {
            low = middle;
            best = std::move(fewer);
        }
    }
    return best;
}

MapDrawingPlan plan_map_drawings(const Tloglist& lines, const StepOptions& options,
                                 const ProcessMap& whole) {
    MapDrawingPlan plan;
    // Equal activity counts make equal maps: a selection is known by both.
    std::map<std::pair<std::size_t, std::vector<bool>>, std::size_t> drawings;
    for (const int activities : kActivitySteps) {
        plan.maps.push_back(projected_map(lines, options, whole, activities));
        const ProcessMap& map = plan.maps.back();
        for (const int paths : kPathSteps) {
            plan.kept_paths.push_back(path_count(select_paths(map, paths)));
            const MapSelection selection = drawable_selection(map, paths);
            plan.drawn_paths.push_back(path_count(selection));
            const auto [found, added] = drawings.try_emplace(
                std::pair(map.activities.size(), selection.edges), plan.dot_texts.size());
            if (added) {
                MapDotStyle style;
                style.id_prefix = "m" + std::to_string(found->second) + "-";
                plan.dot_texts.push_back(map_dot_text(map, selection, style));
            }
            plan.drawing_of_position.push_back(found->second);
        }
    }
    return plan;
}

std::string map_views_html(const ProcessMap& whole, const MapDrawingPlan& plan,
                           const std::vector<std::string>& svgs) {
    std::string html = "<section id=\"view-map\" class=\"view\">\n<div class=\"map-controls\">\n";
    html += slider("map-activities", "Activities", std::size(kActivitySteps));
    html += slider("map-paths", "Paths", std::size(kPathSteps));
    html +=
        "<span>Paths shaded by <label><input type=\"radio\" name=\"map-shade\" value=\"freq\" "
        "checked> frequency</label> <label><input type=\"radio\" name=\"map-shade\" "
        "value=\"time\"> mean time</label></span>\n</div>\n<div id=\"map-picture\" "
        "class=\"zoomable by-freq\">\n";
    for (std::size_t k = 0; k < svgs.size(); ++k)
        html += "<div class=\"map-drawing\" data-k=\"" + std::to_string(k) + "\"" +
                (k == 0 ? "" : " hidden") + ">\n" + svg_without_prolog(svgs[k]) + "\n</div>\n";
    html +=
        "</div>\n<div id=\"map-panel\"><p id=\"map-hint\">Click an activity or a path of the "
        "map.</p><table id=\"map-info\"></table></div>\n</section>\n";
    html += variants_view(whole);
    html += "<script type=\"application/json\" id=\"map-data\">" + page_data(plan) + "</script>\n";
    return html;
}

}  // namespace vesk
