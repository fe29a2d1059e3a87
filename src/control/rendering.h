#pragma once
// "Make jpg/map" and "Make ps/jpg": dot run on the files an export wrote. Every run is started
// from an argument vector; a run that fails or leaves no output is reported, not passed over.

#include <filesystem>
#include <string>
#include <vector>

#include "base/util_functions.h"
#include "formats/vesk_report_writer.h"

namespace vesk {

struct RenderResult {
    std::vector<std::filesystem::path> written;
    // One text per failed run: the parameter text and why.
    std::vector<std::string> failures;
    // What dot said on its error stream (warnings about the input, for example), a line each.
    std::vector<std::string> messages;
    bool ok() const { return failures.empty(); }
};

// Runs dot for each run in order; a run counts as done when dot ended with status 0 and wrote
// a non-empty file after -o (an old file of that name is removed first).
// A run still going when the budget is spent is stopped with everything it started; the runs
// after it are not started.
RenderResult run_dot(const std::filesystem::path& dot, const std::vector<ProgramRun>& runs,
                     const RenderBudget& budget = RenderBudget{});

// The prefix the export's pictures are named from: the folder and the export's base name
// (see export_base_name) without the blank that ends it.
std::string picture_prefix(const std::filesystem::path& folder, const std::string& base);

// prefix is folder + log name + " " + process id, as the export's files are named.
RenderResult make_jpg_map(const std::filesystem::path& dot, const std::string& prefix,
                          const DotOptions& options);
RenderResult make_ps_jpg(const std::filesystem::path& dot, const std::string& prefix,
                         const DotOptions& options);

// "report.html" in the folder: dot draws the low-detail file, without its links, as SVG
// (prefix + " report.dot" and " report.dot.svg"), which the page holds inline with the net's
// figures.
// map_views, when given, are the page's Map and Variants views (draw_map_views), and
// conformance_view its Conformance view (draw_conformance_view).
RenderResult make_report(const std::filesystem::path& dot, const std::string& prefix,
                         const Tpetrinet& net, const ReportInfo& info, const DotOptions& options,
                         const std::string& map_views = {},
                         const std::string& conformance_view = {});

}  // namespace vesk
