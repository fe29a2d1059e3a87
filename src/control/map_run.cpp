#include "control/map_run.h"

namespace vesk {

StepOptions step_options_of(const UsedEvents& read) {
    const int types =
        read.schedule + read.start + read.suspend + read.complete + read.withdraw + read.abort;
    StepOptions options;
    options.instances = read.start && read.complete;
    options.plain_names = types == 1 || options.instances;
    return options;
}

StepOptions step_options_of(const Tevent_filter& read) {
    return step_options_of(UsedEvents{read.schedule, read.start, read.suspend, read.complete,
                                      read.withdraw, read.abort});
}

void read_request(Tvesk_util& controller, const BuildRelationsRequest& request,
                  const StatusCallback& status, StageTimings* timings) {
    if (status) status("Activating XML file");
    controller.reset();
    controller.set_filter(event_filter_of(request.events));
    controller.set_case_filter(request.cases);
    begin_stage(timings, "read");
    controller.read_process(request.process_id);
}

ProcessMap read_process_map(Tvesk_util& controller, const BuildRelationsRequest& request,
                            const StatusCallback& status, StageTimings* timings) {
    read_request(controller, request, status, timings);
    if (status) status("Counting the map");
    begin_stage(timings, "map");
    ProcessMap map = controller.process_map(step_options_of(request.events.ticked));
    end_stage(timings);
    return map;
}

AttributeMap attribute_map(const Tloglist& lines, const std::string& key) {
    AttributeMap result{lines_by_attribute(lines, key), {}};
    result.map = build_process_map(result.log.lines, StepOptions{});
    return result;
}

}  // namespace vesk
