#include "formats/map_dot_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/number_format.h"

namespace vesk {

namespace {

// Blues from light to dark; the darkest two take white text.
constexpr const char* kNodeFills[] = {"#eff3ff", "#bdd7e7", "#6baed6", "#3182bd", "#08519c"};
constexpr const char* kEdgeColours[] = {"#bdbdbd", "#969696", "#737373", "#525252", "#252525"};

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

void write_nodes(const ProcessMap& map, const MapSelection& selection, const MapDotStyle& style,
                 std::string& out) {
    const bool page = !style.id_prefix.empty();
    Range events{1e300, 0};
    for (std::size_t a = 0; a < map.activities.size(); ++a) {
        if (!selection.activities[a]) continue;
        const auto count = static_cast<double>(map.activities[a].events);
        events = {std::min(events.low, count), std::max(events.high, count)};
    }
    for (std::size_t a = 0; a < map.activities.size(); ++a) {
        if (!selection.activities[a]) continue;
        const MapActivity& activity = map.activities[a];
        const int shade = shade_of(static_cast<double>(activity.events), events.low, events.high);
        out +=
            "  a" + std::to_string(a) +
            " [label=" + dot_quoted({activity.name, grouped_number(activity.events)}) +
            ",fillcolor=\"" + kNodeFills[shade - 1] + "\"" +
            (shade >= 4 ? ",fontcolor=\"white\"" : "") +
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

void write_edges(const ProcessMap& map, const MapSelection& selection, const MapDotStyle& style,
                 std::string& out) {
    Range counts{1e300, 0}, times{1e300, 0};
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        if (!selection.edges[e]) continue;
        const auto count = static_cast<double>(map.edges[e].count);
        const double mean = std::max(0.0, map.edges[e].minutes.mean);
        counts = {std::min(counts.low, count), std::max(counts.high, count)};
        times = {std::min(times.low, mean), std::max(times.high, mean)};
    }
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        if (!selection.edges[e]) continue;
        const MapEdge& edge = map.edges[e];
        const int by_count = shade_of(static_cast<double>(edge.count), counts.low, counts.high);
        const int by_time = shade_of(std::max(0.0, edge.minutes.mean), times.low, times.high);
        const int shade = style.label_times ? by_time : by_count;
        const bool page = !style.id_prefix.empty();
        const std::string label =
            page ? dot_quoted({grouped_number(edge.count), short_duration(edge.minutes.mean)})
            : style.label_times ? dot_quoted({short_duration(edge.minutes.mean)})
                                : dot_quoted({grouped_number(edge.count)});
        out += "  a" + std::to_string(edge.from) + " -> a" + std::to_string(edge.to) +
               " [label=" + label + ",penwidth=\"" + fixed(0.8 + 0.7 * shade, 1) + "\",color=\"" +
               kEdgeColours[shade - 1] + "\"";
        if (page)
            out += ",id=\"" + style.id_prefix + "e" + std::to_string(e) + "\",class=\"path f" +
                   std::to_string(by_count) + " t" + std::to_string(by_time) + "\"";
        out += "];\n";
    }
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
    write_nodes(map, selection, style, out);
    write_endpoints(map, selection, out);
    write_edges(map, selection, style, out);
    return out + "}\n";
}

}  // namespace vesk
