#include "control/export_petrinet.h"

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

}  // namespace vesk
