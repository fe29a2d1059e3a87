#include "control/rendering.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "base/file_util.h"
#include "base/interruption.h"
#include "formats/vesk_dot_writer.h"

namespace vesk {

RenderResult run_dot(const std::filesystem::path& dot, const std::vector<ProgramRun>& runs,
                     const RenderBudget& budget) {
    RenderResult result;
    const std::string allowed =
        "the " + std::to_string(budget.total().count()) + " s allowed for drawing";
    for (const ProgramRun& run : runs) {
        if (budget.left().count() == 0) {
            result.failures.push_back("not drawn: " + allowed + " had run out: dot " +
                                      run.parameters);
            continue;
        }
        // The output file is the argument after -o.
        std::filesystem::path output;
        for (std::size_t i = 0; i + 1 < run.arguments.size(); ++i)
            if (run.arguments[i] == "-o") output = run.arguments[i + 1];
        // An old picture must not pass for the new one.
        std::error_code ignored;
        std::filesystem::remove(output, ignored);
        // A picture half drawn when a signal stops the run is not left behind.
        const TemporaryFileWatch unfinished(output);
        const ProgramOutcome outcome = run_program_watched(dot, run.arguments, budget.left());
        std::istringstream said(outcome.errors);
        for (std::string line; std::getline(said, line);)
            if (!line.empty()) result.messages.push_back(line);
        const int code = outcome.exit_code;
        std::error_code error;
        const bool made = std::filesystem::file_size(output, error) > 0 && !error;
        if (code == 0 && made) {
            result.written.push_back(output);
            continue;
        }
        const std::string why = outcome.timed_out ? "dot was stopped: " + allowed + " ran out"
                                : code < 0        ? "dot could not be started or was killed"
                                : code != 0 ? "dot ended with exit status " + std::to_string(code)
                                            : "dot wrote no " + output.string();
        result.failures.push_back(why + ": dot " + run.parameters);
    }
    return result;
}

RenderResult make_report(const std::filesystem::path& dot, const std::string& prefix,
                         const Tpetrinet& net, const ReportInfo& info, const DotOptions& options,
                         const std::string& map_views, const std::string& conformance_view) {
    RenderResult result;
    const std::filesystem::path page = std::filesystem::path(prefix).parent_path() / "report.html";
    if (!info.net_not_drawn.empty()) {
        try {
            write_file_atomically(page,
                                  report_page_text(net, info, {}, map_views, conformance_view));
            result.written.push_back(page);
        } catch (const FileWriteError& error) {
            result.failures.push_back(error.what());
        }
        return result;
    }
    // The page's drawing is the low-detail net with the replay's true shares on its arcs. dot
    // writes URLs into SVG raw, quotes and markup of a task name included: the drawing goes
    // without them (an unknown attribute is ignored; a name's own quotes are escaped in the dot
    // text, so only the writer's URLs match).
    std::string text = dot_low_files(net, "", "report", info.process_description, false, true,
                                     info.decimal_separator, true)
                           .back()
                           .content;
    for (auto at = text.find("URL=\""); at != std::string::npos; at = text.find("URL=\"", at))
        text.replace(at, 3, "vesk_url");
    const std::string drawing = prefix + " report.dot";
    try {
        write_file_atomically(drawing, text);
    } catch (const FileWriteError& error) {
        result.failures.push_back(error.what());
        return result;
    }
    result.written.push_back(drawing);
    ProgramRun run{"-Tsvg \"" + drawing + "\" " + (options.left_to_right ? "-Grankdir=LR " : "") +
                       " -o \"" + drawing + ".svg\"",
                   {"-Tsvg", file_argument(drawing)}};
    if (options.left_to_right) run.arguments.emplace_back("-Grankdir=LR");
    run.arguments.insert(run.arguments.end(), {"-o", file_argument(drawing + ".svg")});
    RenderResult svg_run = run_dot(dot, {run}, options.budget);
    result.messages = svg_run.messages;
    for (auto& path : svg_run.written)
        result.written.push_back(path);
    if (!svg_run.ok()) {
        result.failures = svg_run.failures;
        return result;
    }
    std::ifstream in(drawing + ".svg", std::ios::binary);
    const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        write_file_atomically(page, report_page_text(net, info, svg, map_views, conformance_view));
        result.written.push_back(page);
    } catch (const FileWriteError& error) {
        result.failures.push_back(error.what());
    }
    return result;
}

RenderResult make_jpg_map(const std::filesystem::path& dot, const std::string& prefix,
                          const DotOptions& options) {
    return run_dot(dot, jpg_map_runs(prefix, options), options.budget);
}

RenderResult make_ps_jpg(const std::filesystem::path& dot, const std::string& prefix,
                         const DotOptions& options) {
    return run_dot(dot, ps_jpg_runs(prefix, options), options.budget);
}

std::string picture_prefix(const std::filesystem::path& folder, const std::string& base) {
    std::string prefix = (folder / base).string();
    if (!prefix.empty() && prefix.back() == ' ') prefix.pop_back();
    return prefix;
}

}  // namespace vesk
