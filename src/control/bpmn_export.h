#pragma once
// The process tree of the inductive construction as a BPMN file for other tools, laid out by
// dot where it is there.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/util_functions.h"
#include "control/vesk_util.h"

namespace vesk {

struct BpmnExport {
    std::filesystem::path written;
    // Why the diagram was laid out without dot, when it was.
    std::vector<std::string> notes;
};

// Writes folder / (base + ".bpmn"). Throws std::logic_error when the net is not the inductive
// construction's, FileWriteError when the file cannot be written.
BpmnExport write_bpmn(const Tvesk_util& controller, const std::optional<std::filesystem::path>& dot,
                      const std::filesystem::path& folder, const std::string& base,
                      const RenderBudget& budget);

}  // namespace vesk
