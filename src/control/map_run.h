#pragma once
// The process map of a process, read as Build relations reads it (the same event types and
// cases) but without building the relations.

#include "control/build_relations.h"
#include "formats/map_dot_writer.h"
#include "process_map/attribute_nodes.h"
#include "process_map/map_selection.h"
#include "process_map/process_map.h"

namespace vesk {

// Plain activity names where one event type is read; activity instances where start and
// complete events both are.
StepOptions step_options_of(const UsedEvents& read);
// The same for the event types a controller read (resume goes with suspend).
StepOptions step_options_of(const Tevent_filter& read);

// Resets the controller's run and reads the request's process into it, through the case filter.
void read_request(Tvesk_util& controller, const BuildRelationsRequest& request,
                  const StatusCallback& status = {}, StageTimings* timings = nullptr);

// Resets the controller's run and reads the request's process into it; the lines stay for a
// later Build relations.
ProcessMap read_process_map(Tvesk_util& controller, const BuildRelationsRequest& request,
                            const StatusCallback& status = {}, StageTimings* timings = nullptr);

// The map of the log with the values of an event attribute as its nodes (by org:resource: who
// hands work to whom). Throws AttributeConditionError for a key the events do not have.
struct AttributeMap {
    RelabelledLog log;
    ProcessMap map;
};
AttributeMap attribute_map(const Tloglist& lines, const std::string& key);

}  // namespace vesk
