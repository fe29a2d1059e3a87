#include "control/bpmn_export.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/file_util.h"
#include "base/interruption.h"
#include "control/rendering.h"
#include "formats/bpmn_model.h"

namespace vesk {

namespace {

// dot's layout, through two files beside the export that are removed once read.
BpmnLayout dot_layout(const std::filesystem::path& dot, const BpmnModel& model,
                      const std::string& drawing, const RenderBudget& budget) {
    const std::string plain = drawing + ".plain";
    const TemporaryFileWatch drawing_watch(drawing), plain_watch(plain);
    const auto remove_both = [&] {
        std::error_code ignored;
        std::filesystem::remove(drawing, ignored);
        std::filesystem::remove(plain, ignored);
    };
    try {
        write_file_atomically(drawing, bpmn_layout_dot(model));
        const RenderResult run =
            run_dot(dot,
                    {ProgramRun{"-Tplain \"" + drawing + "\" -o \"" + plain + "\"",
                                {"-Tplain", file_argument(drawing), "-o", file_argument(plain)}}},
                    budget);
        if (!run.ok()) throw std::runtime_error(run.failures.front());
        std::ifstream in(plain, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        BpmnLayout layout = bpmn_layout_of_plain(model, text);
        remove_both();
        return layout;
    } catch (...) {
        remove_both();
        throw;
    }
}

}  // namespace

BpmnExport write_bpmn(const Tvesk_util& controller, const std::optional<std::filesystem::path>& dot,
                      const std::filesystem::path& folder, const std::string& base,
                      const RenderBudget& budget) {
    if (!controller.process_tree())
        throw std::logic_error("only the inductive construction's net has a BPMN form");
    const BpmnModel model = bpmn_of(*controller.process_tree(), controller.process_tree_names());
    BpmnExport result;
    result.written = folder / (base + ".bpmn");
    std::optional<BpmnLayout> layout;
    if (dot) {
        try {
            layout =
                dot_layout(*dot, model, (folder / (base + "bpmn layout.dot")).string(), budget);
        } catch (const std::runtime_error& failure) {
            result.notes.push_back("the BPMN diagram was laid out without dot: " +
                                   std::string(failure.what()));
        }
    } else {
        result.notes.push_back("the BPMN diagram was laid out without dot, which was not found");
    }
    if (!layout) layout = bpmn_layered_layout(model);
    const std::string process =
        controller.process_description().empty() ? base : controller.process_description();
    write_file_atomically(result.written, bpmn_text(model, *layout, process));
    return result;
}

}  // namespace vesk
