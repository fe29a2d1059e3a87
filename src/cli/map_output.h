#pragma once
// The process map as the command line gives it: a text listing and one JSON object.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <ostream>
#include <string>

#include "control/map_run.h"

namespace vesk::cli {

struct MapListing {
    std::string process;
    // The log's map (its totals and variants), and what the sliders show of it: the map of the
    // log projected onto the kept activities, and of that map the kept paths.
    const ProcessMap* whole = nullptr;
    const ProcessMap* shown = nullptr;
    const MapSelection* selection = nullptr;
    // Variants listed, most frequent first.
    std::int64_t variants = 0;
    // Set when a case filter was given.
    std::optional<CaseFilterResult> kept;
};

nlohmann::json map_json(const MapListing& listing);
void print_map_text(const MapListing& listing, std::ostream& out);

}  // namespace vesk::cli
