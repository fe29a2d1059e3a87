#include "control/rendering.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "app/file_util.h"

namespace vesk {

namespace {

RenderResult run_all(const std::filesystem::path& dot, const std::vector<ProgramRun>& runs) {
    RenderResult result;
    for (const ProgramRun& run : runs) {
        // The output file is the argument after -o.
        std::filesystem::path output;
        for (std::size_t i = 0; i + 1 < run.arguments.size(); ++i)
            if (run.arguments[i] == "-o") output = run.arguments[i + 1];
        // An old picture must not pass for the new one.
        std::error_code ignored;
        std::filesystem::remove(output, ignored);
        const int code = run_program(dot, run.arguments);
        std::error_code error;
        const bool made = std::filesystem::file_size(output, error) > 0 && !error;
        if (code == 0 && made) {
            result.written.push_back(output);
            continue;
        }
        const std::string why = code < 0    ? "dot could not be started or was killed"
                                : code != 0 ? "dot ended with exit status " + std::to_string(code)
                                            : "dot wrote no " + output.string();
        result.failures.push_back(why + ": dot " + run.parameters);
    }
    return result;
}

}  // namespace

RenderResult make_report(const std::filesystem::path& dot, const std::string& prefix,
                         const Tpetrinet& net, const ReportInfo& info) {
    const std::string low = prefix + " low.dot";
    ProgramRun run{"-Tsvg \"" + low + "\"  -o \"" + low + ".svg\"",
                   {"-Tsvg", file_argument(low), "-o", file_argument(low + ".svg")}};
    RenderResult result = run_all(dot, {run});
    if (!result.ok()) return result;
    std::ifstream in(low + ".svg", std::ios::binary);
    const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::filesystem::path page = std::filesystem::path(prefix).parent_path() / "report.html";
    try {
        write_file_atomically(page, report_page_text(net, info, svg));
        result.written.push_back(page);
    } catch (const FileWriteError& error) {
        result.failures.push_back(error.what());
    }
    return result;
}

RenderResult make_jpg_map(const std::filesystem::path& dot, const std::string& prefix,
                          const DotOptions& options) {
    return run_all(dot, jpg_map_runs(prefix, options));
}

RenderResult make_ps_jpg(const std::filesystem::path& dot, const std::string& prefix,
                         const DotOptions& options) {
    return run_all(dot, ps_jpg_runs(prefix, options));
}

}  // namespace vesk
