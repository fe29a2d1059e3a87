#pragma once
// "Export Petrinet" as a sequence of controller calls, shared by every front end.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "control/vesk_util.h"

namespace vesk {

struct ExportRequest {
    std::filesystem::path folder;
    // "log.xml 1 ": see export_base_name.
    std::string base;
    std::uint32_t cluster_colour = 0xF0CAA6;
    bool write_probabilities = true;
    ExportFlags figures;
};

// Writes the low-detail dot file with the HTML pages, the high-detail dot file, the text net
// and the PNML file, in this order. Throws FileWriteError for the first file that cannot be
// written; the files before it stay, and `written` holds them.
void export_petrinet(Tvesk_util& controller, const ExportRequest& request,
                     std::vector<std::filesystem::path>& written);

}  // namespace vesk
