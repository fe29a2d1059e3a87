#include "control/export_petrinet.h"

#include <cstdio>

namespace vesk {

void export_petrinet(Tvesk_util& controller, const ExportRequest& request,
                     std::vector<std::filesystem::path>& written) {
    controller.set_cluster_colour(request.cluster_colour);
    for (auto& path :
         controller.write_low_dot(request.folder, request.base, request.write_probabilities))
        written.push_back(std::move(path));
    controller.set_export_options(request.figures);
    controller.write_high_dot(request.folder, request.base);
    written.push_back(request.folder / (request.base + "high.dot"));
    controller.write_text_net(request.folder, request.base);
    written.push_back(request.folder / (request.base + ".tpn"));
    // Beyond the files above, which stay as they are: the net for other tools.
    written.push_back(controller.write_pnml(request.folder, request.base));
}

std::string rrggbb_text(std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", colour & 0xFFu, (colour >> 8) & 0xFFu,
                  (colour >> 16) & 0xFFu);
    return text;
}

std::optional<std::uint32_t> colour_of_rrggbb(const std::string& text) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    const auto rgb = static_cast<std::uint32_t>(std::stoul(text, nullptr, 16));
    return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

}  // namespace vesk
