#include "event_log_module.h"

#include "log/workflow_log_writer.h"

namespace vesk::tools {

std::string event_log_to_workflow_log(const std::string& input, bool resolve_externals,
                                      const EventLogOptions& options, const std::string& dtd_url) {
    const WorkflowLogFile file(input, resolve_externals, options);
    WorkflowLogWriter writer(dtd_url, "vesk eventlog2xml");
    std::int32_t events = 0;
    for (const LogProcess& process : file.list_processes()) {
        writer.begin_process(process.id, process.description);
        std::int32_t written_cases = 0;
        std::int32_t event = 0;
        // Cases without events still count: the case numbers of the log stay as they were.
        const auto open_until = [&](std::int32_t case_number) {
            while (written_cases <= case_number) {
                writer.begin_instance(std::to_string(written_cases + 1));
                ++written_cases;
            }
        };
        const ProcessHeader header = file.read_process(process.id, [&](const LogEntryFields& e) {
            open_until(e.case_number);
            ++event;
            ++events;
            writer.entry({e.task_name, e.event_kind, e.date, e.time},
                         "event " + std::to_string(event) + " (case " +
                             std::to_string(e.case_number + 1) + ")");
        });
        open_until(header.case_count - 1);
        writer.end_process();
    }
    // A log without events would mine nothing: it is more likely the wrong file.
    if (events == 0) throw LogFormatError("the log holds no events (no traces, or empty ones)");
    return writer.text();
}

}  // namespace vesk::tools
