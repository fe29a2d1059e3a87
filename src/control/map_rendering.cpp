#include "control/map_rendering.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/file_util.h"
#include "base/interruption.h"
#include "control/attribute_views.h"
#include "control/map_run.h"
#include "formats/attribute_report.h"
#include "formats/conformance_report.h"
#include "formats/map_report.h"

namespace vesk {

namespace {

// dot's SVG of the text, drawn through files beside the report that are removed once read;
// empty when dot failed (the failure is in the result).
std::string svg_of(const std::filesystem::path& dot, const std::string& drawing,
                   const std::string& text, const DotOptions& options, RenderResult& result) {
    const std::string picture = drawing + ".svg";
    // Both files go once read, and also when a signal stops the run.
    const TemporaryFileWatch drawing_watch(drawing), picture_watch(picture);
    try {
        write_file_atomically(drawing, text);
    } catch (const FileWriteError& error) {
        result.failures.push_back(error.what());
        return {};
    }
    const ProgramRun run{"-Tsvg \"" + drawing + "\" -o \"" + picture + "\"",
                         {"-Tsvg", file_argument(drawing), "-o", file_argument(picture)}};
    const RenderResult drawn = run_dot(dot, {run}, options.budget);
    result.messages.insert(result.messages.end(), drawn.messages.begin(), drawn.messages.end());
    result.failures.insert(result.failures.end(), drawn.failures.begin(), drawn.failures.end());
    std::string svg;
    if (drawn.ok()) {
        std::ifstream in(picture, std::ios::binary);
        svg.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::error_code ignored;
    std::filesystem::remove(drawing, ignored);
    std::filesystem::remove(picture, ignored);
    return svg;
}

}  // namespace

RenderResult draw_map_views(const std::filesystem::path& dot, const std::string& prefix,
                            const Tloglist& lines, const StepOptions& steps,
                            const ProcessMap& whole, const DotOptions& options,
                            std::string& views) {
    views.clear();
    RenderResult result;
    const MapDrawingPlan plan = plan_map_drawings(lines, steps, whole);
    std::vector<std::string> svgs;
    for (std::size_t k = 0; k < plan.dot_texts.size() && result.ok(); ++k) {
        std::string svg = svg_of(dot, prefix + " map " + std::to_string(k) + ".dot",
                                 plan.dot_texts[k], options, result);
        if (result.ok()) svgs.push_back(std::move(svg));
    }
    if (result.ok()) views = map_views_html(whole, plan, svgs);
    return result;
}

RenderResult draw_map_picture(const std::filesystem::path& dot, const std::string& dot_text,
                              const std::filesystem::path& picture, const RenderBudget& budget) {
    RenderResult result;
    const std::string format = picture.extension().string().substr(1);
    // Drawn beside the picture under names of their own, then renamed over it.
    const std::filesystem::path folder = picture.parent_path();
    const std::string name = picture.filename().string();
    const std::filesystem::path drawing = folder / (".tmp-" + name + ".dot");
    const std::filesystem::path drawn = folder / (".tmp-" + name);
    const TemporaryFileWatch drawing_watch(drawing.string()), drawn_watch(drawn.string());
    try {
        write_file_atomically(drawing, dot_text);
    } catch (const FileWriteError& error) {
        result.failures.push_back(error.what());
        return result;
    }
    const ProgramRun run{
        "-T" + format + " -o \"" + picture.string() + "\"",
        {"-T" + format, file_argument(drawing.string()), "-o", file_argument(drawn.string())}};
    result = run_dot(dot, {run}, budget);
    result.written.clear();
    std::error_code error;
    std::filesystem::remove(drawing, error);
    if (result.ok()) {
        std::filesystem::rename(drawn, picture, error);
        if (error)
            result.failures.push_back(picture.string() +
                                      " could not be written: " + error.message());
        else
            result.written.push_back(picture);
    }
    std::filesystem::remove(drawn, error);
    return result;
}

RenderResult draw_conformance_view(const std::filesystem::path& dot, const std::string& prefix,
                                   const ConformanceResult& conformance, const Tpetrinet& net,
                                   const DotOptions& options, std::string& view) {
    view.clear();
    RenderResult result;
    const std::string svg = svg_of(dot, prefix + " conformance.dot",
                                   conformance_dot_text(conformance, net), options, result);
    if (result.ok()) view = conformance_view_html(conformance, svg);
    return result;
}

RenderResult draw_attribute_views(const std::filesystem::path& dot, const std::string& prefix,
                                  const Tloglist& lines, const DotOptions& options,
                                  AttributeReportViews& views) {
    views = {};
    RenderResult result;
    const std::vector<AttributeSummary> summaries = summarize_attributes(lines, 5);
    if (!summaries.empty()) views.attributes = attributes_view_html(summaries);
    if (lines.attributes().find(kDefaultResourceKey, AttributeLevel::event_level) == nullptr)
        return result;
    const AttributeMap handovers = attribute_map(lines, kDefaultResourceKey);
    MapDotStyle style;
    style.id_prefix = "r-";
    // Drawn with the paths a reader can follow, about two per resource, as the Map view opens.
    const std::size_t readable = std::max<std::size_t>(2 * handovers.map.activities.size(), 12);
    MapSelection selection = drawable_selection(handovers.map, 0);
    for (const int paths : kPathSteps) {
        MapSelection candidate = drawable_selection(handovers.map, paths);
        if (path_count(candidate) <= readable) {
            selection = std::move(candidate);
            break;
        }
    }
    const std::string svg = svg_of(dot, prefix + " resources.dot",
                                   map_dot_text(handovers.map, selection, style), options, result);
    views.resources = resources_view_html(resource_views(lines, kDefaultResourceKey),
                                          result.ok() ? svg : std::string(), kDefaultResourceKey);
    return result;
}

}  // namespace vesk
