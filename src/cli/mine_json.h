#pragma once
// mine's summary as one JSON object, and the listings of --show, for the text and the JSON.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli/command_mine.h"

namespace vesk::cli {

nlohmann::json summary_json(Tvesk_util& controller, const MineSummary& summary,
                            const MineSource& source);

// The lines of a --show listing: relations, net or timing.
std::vector<std::string> listing(Tvesk_util& controller, const std::string& show);

}  // namespace vesk::cli
