// conv.txt and the argument vectors of the conversion modules and of dot: whatever the names,
// every file stays one argument and none can pass for an option.

#include <cstdint>
#include <string>

#include "control/conversion.h"
#include "fuzz_input_file.h"

namespace {

void check_file_argument(const std::string& argument) {
    if (argument.starts_with('-')) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vesk::fuzz::InputFile file(".txt");
    const vesk::ConversionList list = vesk::read_conversion_list(file.write(data, size));
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string first = text.substr(0, text.size() / 2);
    const std::string second = text.substr(text.size() / 2);
    for (const vesk::ConversionModule& module : list.modules) {
        const vesk::ProgramRun run = vesk::conversion_run(module.name, module.program, first, true);
        if (run.arguments.size() != 4) __builtin_trap();
        check_file_argument(run.arguments[0]);
        check_file_argument(run.arguments[1]);
    }
    for (const bool left_to_right : {false, true}) {
        auto runs = vesk::jpg_map_runs(first, {left_to_right, "A4", vesk::RenderBudget{}});
        for (auto& run : vesk::ps_jpg_runs(second, {left_to_right, "Letter", vesk::RenderBudget{}}))
            runs.push_back(std::move(run));
        for (const vesk::ProgramRun& run : runs) {
            // The input file follows the -T option; the output follows -o.
            if (run.arguments.size() < 4) __builtin_trap();
            check_file_argument(run.arguments[1]);
            check_file_argument(run.arguments.back());
            if (run.arguments[run.arguments.size() - 2] != "-o") __builtin_trap();
        }
    }
    return 0;
}
