#pragma once
// "Export Petrinet" as a sequence of controller calls, shared by every front end.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "control/vesk_util.h"

namespace vesk {

// The fill colour of the activity clusters unless one is chosen: sky blue (red 166, green 202,
// blue 240). Colour values hold red in the lowest byte.
inline constexpr std::uint32_t kDefaultClusterColour = 0xF0CAA6;

// "A6CAF0": the colour as RRGGBB.
std::string rrggbb_text(std::uint32_t colour);

// The colour of an RRGGBB text; nothing for any other text.
std::optional<std::uint32_t> colour_of_rrggbb(const std::string& text);

struct ExportRequest {
    std::filesystem::path folder;
    // "log.xml 1 ": see export_base_name.
    std::string base;
    std::uint32_t cluster_colour = kDefaultClusterColour;
    bool write_probabilities = true;
    ExportFlags figures;
};

// Writes the low-detail dot file with the HTML pages, the high-detail dot file, the text net
// and the PNML file, in this order. Throws FileWriteError for the first file that cannot be
// written; the files before it stay, and `written` holds them.
void export_petrinet(Tvesk_util& controller, const ExportRequest& request,
                     std::vector<std::filesystem::path>& written);

}  // namespace vesk
