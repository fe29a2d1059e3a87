#pragma once
// The process map as a dot graph: a node per activity, the start and the end of cases as two
// small circles, an edge per kept path; shaded and labelled by frequency or by time.

#include <string>
#include <vector>

#include "process_map/map_selection.h"
#include "process_map/process_map.h"

namespace vesk {

// What the shades of a map say: how often (activities by events, paths by count), or how long
// (paths by their mean or median time, activities by their service time where instances are
// read).
enum class MapShading { frequency, mean_time, median_time };

struct MapDotStyle {
    // For report.html, where several drawings share a page: when not empty, node ids
    // "<prefix>a<id>", edge ids "<prefix>e<index>" (the map's edge indexes), classes giving
    // each edge's frequency and mean-time shade from 1 to 5 ("f3 t2"), and edge labels of two
    // lines, the count and the mean time, for the page to show one of.
    std::string id_prefix;
    // Outside report.html: the shades, the edge labels and the legend.
    MapShading shading = MapShading::frequency;
};

std::string map_dot_text(const ProcessMap& map, const MapSelection& selection,
                         const MapDotStyle& style = {});

// "45 s", "12.5 min", "3.4 h", "2.1 d": a span short enough for a label.
std::string short_duration(double minutes);

// A dot string of one line per text; a line break inside a text (a name from the log) is a
// blank.
std::string dot_quoted(const std::vector<std::string>& lines);

// 1 to 5: where value lies between low and high, in equal steps of the logarithm.
int shade_of(double value, double low, double high);

}  // namespace vesk
