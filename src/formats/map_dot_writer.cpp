#include "formats/map_dot_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "base/number_format.h"

namespace vesk {

namespace {

// Blues from light to dark; the darkest two take white text.
constexpr const char* kNodeFills[] = {"#eff3ff", "#bdd7e7", "#6baed6", "#3182bd", "#08519c"};
constexpr const char* kEdgeColours[] = {"#bdbdbd", "#969696", "#737373", "#525252", "#252525"};
// The time view: oranges to red.
constexpr const char* kTimeFills[] = {"#fff5eb", "#fdd0a2", "#fd8d3c", "#d94801", "#8c2d04"};
constexpr const char* kTimeColours[] = {"#fdd49e", "#fdbb84", "#fc8d59", "#e34a33", "#b30000"};

// A dot string of one line per text; a line break inside a text (a name from the log) is a blank.
}  // namespace

std::string dot_quoted(const std::vector<std::string>& lines) {
    std::string out = "\"";
    for (const std::string& line : lines) {
        if (out.size() > 1) out += "\\n";
        for (const char c : line) {
            if (c == '"' || c == '\\') out += '\\';
            out += c == '\n' || c == '\r' ? ' ' : c;
        }
    }
    return out + "\"";
}

namespace {

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

struct Range {
    double low = 0;
    double high = 0;
};

bool by_time(const MapDotStyle& style) {
    return style.id_prefix.empty() && style.shading != MapShading::frequency;
}

// The time a shade in the time view stands for: never negative.
double time_of(const DurationFigures& figures, const MapDotStyle& style) {
    return std::max(0.0, style.shading == MapShading::median_time ? figures.median : figures.mean);
}

// An activity's figure for its shade, or nothing (an activity with no service time, shaded
// lightest in the time view).
std::optional<double> node_value(const MapActivity& activity, const MapDotStyle& style) {
    if (!by_time(style)) return static_cast<double>(activity.events);
    if (!activity.service_minutes || activity.service_minutes->count == 0) return std::nullopt;
    return time_of(*activity.service_minutes, style);
}

void write_nodes(const ProcessMap& map, const MapDotStyle& style, std::string& out) {
    const bool page = !style.id_prefix.empty();
    Range values{1e300, 0};
    for (const MapActivity& activity : map.activities)
        if (const auto value = node_value(activity, style))
            values = {std::min(values.low, *value), std::max(values.high, *value)};
    const auto& fills = by_time(style) ? kTimeFills : kNodeFills;
    for (std::size_t a = 0; a < map.activities.size(); ++a) {
        const MapActivity& activity = map.activities[a];
        const auto value = node_value(activity, style);
        const int shade = value ? shade_of(*value, values.low, values.high) : 1;
        std::vector<std::string> label = {activity.name, grouped_number(activity.events)};
        if (by_time(style) && value) label.back() = short_duration(*value);
        out +=
            "  a" + std::to_string(a) + " [label=" + dot_quoted(label) + ",fillcolor=\"" +
            fills[shade - 1] + "\"" + (shade >= 4 ? ",fontcolor=\"white\"" : "") +
            (page ? ",id=\"" + style.id_prefix + "a" + std::to_string(a) + "\",class=\"activity\""
                  : "") +
            "];\n";
    }
}

void write_endpoints(const ProcessMap& map, const MapSelection& selection, std::string& out) {
    for (std::size_t i = 0; i < map.starts.size(); ++i) {
        if (!selection.starts[i]) continue;
        out += "  start -> a" + std::to_string(map.starts[i].activity) + " [label=\"" +
               grouped_number(map.starts[i].cases) + "\",style=dashed];\n";
    }
    for (std::size_t i = 0; i < map.ends.size(); ++i) {
        if (!selection.ends[i]) continue;
        out += "  a" + std::to_string(map.ends[i].activity) + " -> end [label=\"" +
               grouped_number(map.ends[i].cases) + "\",style=dashed];\n";
    }
}

std::string edge_label(const MapEdge& edge, const MapDotStyle& style) {
    if (!style.id_prefix.empty())
        return dot_quoted({grouped_number(edge.count), short_duration(edge.minutes.mean)});
    if (!by_time(style)) return dot_quoted({grouped_number(edge.count)});
    return dot_quoted(
        {edge.minutes.count > 0 ? short_duration(time_of(edge.minutes, style)) : "no times"});
}

void write_edges(const ProcessMap& map, const MapSelection& selection, const MapDotStyle& style,
                 std::string& out) {
    Range counts{1e300, 0}, times{1e300, 0};
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        if (!selection.edges[e]) continue;
        const auto count = static_cast<double>(map.edges[e].count);
        const double time = time_of(map.edges[e].minutes, style);
        counts = {std::min(counts.low, count), std::max(counts.high, count)};
        times = {std::min(times.low, time), std::max(times.high, time)};
    }
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        if (!selection.edges[e]) continue;
        const MapEdge& edge = map.edges[e];
        const int count_shade = shade_of(static_cast<double>(edge.count), counts.low, counts.high);
        const int time_shade = shade_of(time_of(edge.minutes, style), times.low, times.high);
        const int shade = by_time(style) ? time_shade : count_shade;
        out += "  a" + std::to_string(edge.from) + " -> a" + std::to_string(edge.to) +
               " [label=" + edge_label(edge, style) + ",penwidth=\"" + fixed(0.8 + 0.7 * shade, 1) +
               "\",color=\"" + (by_time(style) ? kTimeColours : kEdgeColours)[shade - 1] + "\"";
        if (!style.id_prefix.empty())
            out += ",id=\"" + style.id_prefix + "e" + std::to_string(e) + "\",class=\"path f" +
                   std::to_string(count_shade) + " t" + std::to_string(time_shade) + "\"";
        out += "];\n";
    }
}

// Which figure the time view shows, under the picture.
std::string legend(const ProcessMap& map, const MapDotStyle& style) {
    if (!by_time(style)) return {};
    const std::string statistic = style.shading == MapShading::median_time ? "median" : "mean";
    return "  label=" +
           dot_quoted(
               {"Paths by " + statistic + " time from one step to the next" +
                (map.instance_view ? "; activities by " + statistic + " service time" : "")}) +
           ";\n  labelloc=b;\n  fontsize=10;\n";
}

}  // namespace

int shade_of(double value, double low, double high) {
    if (!(high > low) || value <= low) return value >= high && high > 0 ? 5 : 1;
    const double position = (std::log1p(value) - std::log1p(std::max(0.0, low))) /
                            (std::log1p(high) - std::log1p(std::max(0.0, low)));
    return std::clamp(1 + static_cast<int>(position * 5), 1, 5);
}

std::string short_duration(double minutes) {
    const double magnitude = std::fabs(minutes);
    if (magnitude < 1) return fixed(minutes * 60, 0) + " s";
    if (const auto larger = larger_time_unit(minutes))
        return fixed(larger->value, 1) + " " + larger->unit;
    return fixed(minutes, 1) + " min";
}

std::string map_dot_text(const ProcessMap& map, const MapSelection& selection,
                         const MapDotStyle& style) {
    std::string out = "digraph process_map {\n";
    out += "  graph [rankdir=TB,nodesep=0.35,ranksep=0.45,fontname=\"Helvetica\"" +
           (style.id_prefix.empty() ? std::string() : ",id=\"" + style.id_prefix + "map\"") +
           "];\n";
    out += "  node [shape=box,style=\"rounded,filled\",fontname=\"Helvetica\",fontsize=11];\n";
    out += "  edge [fontname=\"Helvetica\",fontsize=9,arrowsize=0.7];\n";
    out += "  start [label=\"\",shape=circle,width=0.25,fillcolor=\"#74c476\"" +
           (style.id_prefix.empty() ? std::string() : ",id=\"" + style.id_prefix + "start\"") +
           "];\n";
    out += "  end [label=\"\",shape=doublecircle,width=0.2,fillcolor=\"#fb6a4a\"" +
           (style.id_prefix.empty() ? std::string() : ",id=\"" + style.id_prefix + "end\"") +
           "];\n";
    out += legend(map, style);
    write_nodes(map, style, out);
    write_endpoints(map, selection, out);
    write_edges(map, selection, style, out);
    return out + "}\n";
}

}  // namespace vesk
