#include "control/map_rendering.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "base/file_util.h"
#include "formats/map_report.h"

namespace vesk {

RenderResult draw_map_views(const std::filesystem::path& dot, const std::string& prefix,
                            const ProcessMap& map, const DotOptions& options, std::string& views) {
    views.clear();
    RenderResult result;
    const MapDrawingPlan plan = plan_map_drawings(map);
    std::vector<std::string> svgs;
    for (std::size_t k = 0; k < plan.dot_texts.size() && result.ok(); ++k) {
        const std::string drawing = prefix + " map " + std::to_string(k) + ".dot";
        const std::string picture = drawing + ".svg";
        try {
            write_file_atomically(drawing, plan.dot_texts[k]);
        } catch (const FileWriteError& error) {
            result.failures.push_back(error.what());
            break;
        }
        const ProgramRun run{"-Tsvg \"" + drawing + "\" -o \"" + picture + "\"",
                             {"-Tsvg", file_argument(drawing), "-o", file_argument(picture)}};
        const RenderResult drawn = run_dot(dot, {run}, options.timeout);
        result.messages.insert(result.messages.end(), drawn.messages.begin(), drawn.messages.end());
        result.failures.insert(result.failures.end(), drawn.failures.begin(), drawn.failures.end());
        if (drawn.ok()) {
            std::ifstream in(picture, std::ios::binary);
            svgs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        std::error_code ignored;
        std::filesystem::remove(drawing, ignored);
        std::filesystem::remove(picture, ignored);
    }
    if (result.ok()) views = map_views_html(map, plan, svgs);
    return result;
}

}  // namespace vesk
