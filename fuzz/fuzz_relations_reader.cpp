// The relations reader with its facts and erroneous sets, both constructions, and the writers
// (relations file, dot files, HTML pages and text net, in memory).

#include <cstdint>
#include <string>

#include "control/relations_inspection.h"
#include "formats/vesk_dot_writer.h"
#include "formats/vesk_html_writer.h"
#include "formats/vesk_task_relations_file.h"
#include "fuzz_input_file.h"

namespace {

void write_everything(vesk::Tvesk_util& controller) {
    const vesk::Tpetrinet& net = controller.net();
    (void)vesk::relations_file_text(controller.main_task_list(), "r.dtd", '.');
    (void)vesk::dot_low_files(net, vesk::fuzz::scratch_folder(), "base low", "p", true, true, ',');
    vesk::ExportFlags flags;
    flags.waiting = vesk::figure_choice(true, true, true, true);
    flags.sync = flags.waiting;
    flags.sojourn = flags.waiting;
    (void)vesk::dot_high_text(net, "p", flags, '.');
    (void)vesk::tpn_text(net);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vesk::fuzz::InputFile file(".xml");
    const std::string& path = file.write(data, size);
    vesk::Tvesk_util controller;
    vesk::RelationsInspection inspection(controller);
    vesk::SilentSink sink;
    try {
        inspection.open_with_relations_file(path, false, sink);
    } catch (const std::exception&) {
        return 0;
    }
    (void)inspection.erroneous_sets();
    if (controller.main_task_list().count() > 12) return 0;
    using Construction = vesk::RelationsInspection::Construction;
    for (const Construction construction : {Construction::alpha, Construction::second}) {
        for (const bool split : {false, true}) {
            try {
                inspection.make_petrinet(split, construction, true);
                write_everything(controller);
            } catch (const std::exception&) {
            }
        }
    }
    inspection.close();
    return 0;
}
