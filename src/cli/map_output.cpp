#include "cli/map_output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/number_format.h"

namespace vesk::cli {

namespace {

// Minutes to a ten-thousandth (6 ms): the digits beyond are noise of the arithmetic.
double rounded(double minutes) {
    return std::round(minutes * 1e4) / 1e4;
}

nlohmann::json figures_json(const DurationFigures& figures, const std::string& prefix) {
    return {{prefix + "mean_minutes", rounded(figures.mean)},
            {prefix + "median_minutes", rounded(figures.median)},
            {prefix + "min_minutes", rounded(figures.min)},
            {prefix + "max_minutes", rounded(figures.max)},
            {prefix + "total_minutes", rounded(figures.total)}};
}

nlohmann::json endpoints_json(const ProcessMap& map, const std::vector<MapEndpoint>& endpoints,
                              const std::vector<bool>& kept) {
    nlohmann::json list = nlohmann::json::array();
    for (std::size_t i = 0; i < endpoints.size(); ++i) {
        if (!kept[i]) continue;
        const auto activity = static_cast<std::size_t>(endpoints[i].activity);
        list.push_back({{"name", map.activities[activity].name}, {"cases", endpoints[i].cases}});
    }
    return list;
}

std::string minutes(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string sequence_text(const ProcessMap& map, const MapVariant& variant) {
    std::string text;
    for (const std::int32_t id : variant.activities)
        text += (text.empty() ? "" : ", ") + map.activities[static_cast<std::size_t>(id)].name;
    return text;
}

}  // namespace

nlohmann::json map_json(const MapListing& listing) {
    const ProcessMap& map = *listing.shown;
    const ProcessMap& whole = *listing.whole;
    const MapSelection& selection = *listing.selection;
    nlohmann::json activities = nlohmann::json::array();
    for (const MapActivity& activity : map.activities) {
        nlohmann::json entry = {
            {"name", activity.name}, {"events", activity.events}, {"cases", activity.cases}};
        if (activity.service_minutes) {
            entry.update(figures_json(*activity.service_minutes, "service_"));
            entry["service_instances"] = activity.service_minutes->count;
        }
        activities.push_back(entry);
    }
    nlohmann::json edges = nlohmann::json::array();
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        if (!selection.edges[e]) continue;
        const MapEdge& edge = map.edges[e];
        nlohmann::json entry = {{"from", map.activities[static_cast<std::size_t>(edge.from)].name},
                                {"to", map.activities[static_cast<std::size_t>(edge.to)].name},
                                {"count", edge.count},
                                {"overlapping", edge.overlapping},
                                {"timed", edge.minutes.count}};
        entry.update(figures_json(edge.minutes, ""));
        edges.push_back(entry);
    }
    nlohmann::json variants = nlohmann::json::array();
    const auto shown =
        std::min<std::size_t>(whole.variants.size(), static_cast<std::size_t>(listing.variants));
    for (std::size_t v = 0; v < shown; ++v) {
        const MapVariant& variant = whole.variants[v];
        nlohmann::json names = nlohmann::json::array();
        for (const std::int32_t id : variant.activities)
            names.push_back(whole.activities[static_cast<std::size_t>(id)].name);
        variants.push_back({{"activities", names},
                            {"cases", variant.cases},
                            {"share", variant.share},
                            {"median_flow_minutes", rounded(variant.median_flow_minutes)}});
    }
    nlohmann::json document = {{"process", listing.process},
                               {"cases", whole.cases},
                               {"events", whole.events},
                               {"activity_instances", whole.instance_view},
                               {"activities", activities},
                               {"start", endpoints_json(map, map.starts, selection.starts)},
                               {"end", endpoints_json(map, map.ends, selection.ends)},
                               {"edges", edges},
                               {"variant_count", whole.variants.size()},
                               {"variants", variants}};
    if (listing.kept)
        document["case_filter"] = {{"kept", listing.kept->kept}, {"total", listing.kept->total}};
    const MapCoverage coverage = coverage_of(whole, map, selection);
    document["shown"] = {{"events", coverage.events}, {"pairs", coverage.pairs}};
    return document;
}

void print_map_text(const MapListing& listing, std::ostream& out) {
    const ProcessMap& map = *listing.shown;
    const ProcessMap& whole = *listing.whole;
    const MapSelection& selection = *listing.selection;
    out << "Process " << listing.process << ": " << grouped_number(whole.cases) << " cases, "
        << grouped_number(whole.events) << (whole.instance_view ? " activity instances" : " events")
        << ", " << grouped_number(static_cast<std::int64_t>(whole.activities.size()))
        << " activities, " << grouped_number(static_cast<std::int64_t>(whole.variants.size()))
        << " variants\n";
    if (listing.kept) out << "Case filter: kept " << kept_cases_text(*listing.kept) << '\n';
    const MapCoverage coverage = coverage_of(whole, map, selection);
    out << "Shown: " << percent_text(coverage.events) << " of the "
        << (map.instance_view ? "activity instances" : "events") << ", "
        << percent_text(coverage.pairs) << " of the directly-follows pairs\n";
    out << "Activities (events, cases" << (map.instance_view ? ", median service minutes" : "")
        << "):\n";
    for (const MapActivity& activity : map.activities) {
        out << "  " << activity.name << "  " << grouped_number(activity.events) << "  "
            << grouped_number(activity.cases);
        if (activity.service_minutes)
            out << "  "
                << (activity.service_minutes->count > 0 ? minutes(activity.service_minutes->median)
                                                        : "-");
        out << '\n';
    }
    for (const auto& [title, endpoints, kept] :
         {std::tuple("Start", &map.starts, &selection.starts),
          std::tuple("End", &map.ends, &selection.ends)}) {
        out << title << " (cases):\n";
        for (std::size_t i = 0; i < endpoints->size(); ++i)
            if ((*kept)[i])
                out << "  "
                    << map.activities[static_cast<std::size_t>((*endpoints)[i].activity)].name
                    << "  " << grouped_number((*endpoints)[i].cases) << '\n';
    }
    out << "Paths (count; mean, median, min, max minutes):\n";
    for (std::size_t e = 0; e < map.edges.size(); ++e) {
        if (!selection.edges[e]) continue;
        const MapEdge& edge = map.edges[e];
        out << "  " << map.activities[static_cast<std::size_t>(edge.from)].name << " -> "
            << map.activities[static_cast<std::size_t>(edge.to)].name << "  "
            << grouped_number(edge.count) << "; ";
        if (edge.minutes.count > 0)
            out << minutes(edge.minutes.mean) << ", " << minutes(edge.minutes.median) << ", "
                << minutes(edge.minutes.min) << ", " << minutes(edge.minutes.max);
        else
            out << "no times";
        if (edge.overlapping > 0) out << "; overlapping: " << grouped_number(edge.overlapping);
        out << '\n';
    }
    out << "Variants (cases, share, median flow minutes):\n";
    const auto shown =
        std::min<std::size_t>(whole.variants.size(), static_cast<std::size_t>(listing.variants));
    for (std::size_t v = 0; v < shown; ++v) {
        const MapVariant& variant = whole.variants[v];
        const std::string share = percent_text(variant.share);
        out << "  " << v + 1 << ". " << grouped_number(variant.cases) << "  " << share << "  "
            << minutes(variant.median_flow_minutes) << "  " << sequence_text(whole, variant)
            << '\n';
    }
    if (shown < whole.variants.size())
        out << "  and " << grouped_number(static_cast<std::int64_t>(whole.variants.size() - shown))
            << " more (--variants N)\n";
}

}  // namespace vesk::cli
