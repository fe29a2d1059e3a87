#pragma once
// "report.html": one page that works from disk. The net as dot drew it (SVG, inline), every
// place and transition clickable, their figures and relations in a side panel, the replay's
// findings at the top. No external resources; all text from the log is escaped.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "net/vesk_redisc.h"
#include "net/vesk_token_fitness.h"

namespace vesk {

struct ReportInfo {
    std::string process_id;
    std::string process_description;
    std::string log_file;
    std::string event_types;
    std::string options;
    bool replayed = false;
    std::optional<TokenCounts> fitness;
    char decimal_separator = '.';
    // The process tree of the inductive construction; empty for the others.
    std::string process_tree;
    // Why the net is not drawn (too large, say); empty when it is. The page then says this
    // where the drawing would be, and keeps every figure.
    std::string net_not_drawn = {};
    // "Left out as infrequent: ..." of the inductive construction; empty when none was.
    std::string left_out = {};
    // --noise auto: a row per threshold (noise, fitness, precision, F-score, left out), the
    // chosen one marked; and what the figures were measured on.
    struct NoiseRow {
        std::array<std::string, 5> cells;
        bool chosen = false;
    };
    std::vector<NoiseRow> noise_grid = {};
    std::string noise_sample = {};
    // The map's views also hold the Attributes and Resources views.
    bool attributes_view = false;
    bool resources_view = false;
};

// svg is dot's -Tsvg output of the low-detail file, whose node names (Task3, Place5) tie its
// shapes to the net's transitions and places.
// map_views, when not empty, holds the Map and Variants views (map_views_html): the page then
// shows a view at a time, the Map first where the net is no workflow net.
// conformance_view, when not empty with the map's views, is the Conformance view.
std::string report_page_text(const Tpetrinet& net, const ReportInfo& info, std::string_view svg,
                             std::string_view map_views = {},
                             std::string_view conformance_view = {});

// dot's SVG without its XML prolog and its fixed size, for a page that scales it.
std::string svg_without_prolog(std::string_view svg);

// "125.00&nbsp;min (2.08&nbsp;h)" as HTML: minutes, with hours or days where that reads better.
std::string minutes_text(double minutes);

}  // namespace vesk
