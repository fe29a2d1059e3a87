// The workflow log reader and everything a log drives: the process list, each process read with
// every event type (once with its attributes, summarised), the task list and its relations, the
// overlap refinement, and for small task lists the facts, both constructions and the replay.

#include <cstdint>
#include <string>

#include "base/message_sink.h"
#include "control/attribute_views.h"
#include "control/mine_run.h"
#include "control/read_warnings.h"
#include "fuzz_input_file.h"

namespace {

vesk::EventChoice every_event_type() {
    return vesk::apply_event_choice({.schedule = true,
                                     .start = true,
                                     .suspend = true,
                                     .complete = true,
                                     .withdraw = true,
                                     .abort = true});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vesk::fuzz::InputFile file(".xml");
    const std::string& path = file.write(data, size);
    for (const bool resolve : {false, true}) {
        vesk::Tvesk_util controller;
        // One of the two reads keeps every attribute too.
        vesk::EventLogOptions options;
        options.attributes = resolve ? vesk::AttributeChoice::none() : vesk::AttributeChoice::all();
        controller.load_log(path, resolve, options);
        std::vector<vesk::LogProcess> processes;
        try {
            processes = controller.processes();
        } catch (const std::exception&) {
            continue;
        }
        int read = 0;
        for (const vesk::LogProcess& process : processes) {
            if (++read > 3) break;
            vesk::BuildRelationsRequest request;
            request.process_id = process.id;
            request.events = every_event_type();
            request.overlaps = {{"start", "complete"}, {"schedule", "resume"}};
            vesk::SilentSink sink;
            try {
                vesk::build_relations(controller, request);
                (void)vesk::read_warnings(controller.read_diagnostics(), controller.filter(),
                                          process.id, controller.log().size());
                (void)vesk::summarize_attributes(controller.log());
                std::vector<std::string> lines;
                controller.relations_text(lines);
                if (controller.main_task_list().count() > 12) continue;
                for (const bool split : {false, true}) {
                    vesk::NetOptions net;
                    net.split_loops = split;
                    vesk::mine_from_log(controller, request, net, true, sink);
                    net.construction = vesk::RelationsInspection::Construction::second;
                    vesk::mine_from_log(controller, request, net, true, sink);
                    controller.net_text(lines);
                    controller.timing_text(lines);
                }
            } catch (const std::exception&) {
                // Malformed input ends in an error the command reports; only crashes count.
            }
        }
    }
    return 0;
}
