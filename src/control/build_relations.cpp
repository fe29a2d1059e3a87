#include "control/build_relations.h"

namespace vesk {

void build_relations(Tvesk_util& controller, const BuildRelationsRequest& request,
                     const StatusCallback& status, StageTimings* timings) {
    const auto show = [&status](const std::string& text) {
        if (status) status(text);
    };
    controller.reset();
    show("Activating XML file");
    controller.set_filter(event_filter_of(request.events));
    controller.set_case_filter(request.cases);
    begin_stage(timings, "read");
    controller.read_process(request.process_id);
    begin_stage(timings, "relations");
    if (request.tasks_only) {
        controller.build_tasks_only();
        end_stage(timings);
        show("Relations Built");
        return;
    }
    controller.build_task_list();
    for (std::size_t i = 0; i < request.overlaps.size(); ++i) {
        const OverlapVariant& variant = request.overlaps[i];
        if (variant.start_type == variant.stop_type) continue;
        show("Parallel with time " + std::to_string(i + 1));
        controller.overlap_parallel(variant.start_type, variant.stop_type);
    }
    end_stage(timings);
    show("Relations Built");
}

}  // namespace vesk
