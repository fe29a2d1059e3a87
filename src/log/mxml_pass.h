#pragma once
// One streaming pass over an MXML log: its processes, instances and audit trail entries.

#include <string>
#include <vector>

#include "log/xml_log_stream.h"

namespace vesk {

// The log's processes in file order.
std::vector<LogProcess> list_mxml_processes(const std::string& path, const EventLogOptions& options,
                                            std::vector<std::string>* refused);

// Hands every audit trail entry of the process `id` to on_entry.
ProcessHeader read_mxml_process(const std::string& path, const EventLogOptions& options,
                                const std::string& id,
                                const WorkflowLogFile::EntryHandler& on_entry);

}  // namespace vesk
