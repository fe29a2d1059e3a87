#pragma once
// One streaming pass over an XES log: its one process, its traces as cases and its events as
// audit trail entries.

#include <string>
#include <vector>

#include "log/xml_log_stream.h"

namespace vesk {

// The log's one process.
std::vector<LogProcess> list_xes_process(const std::string& path, const EventLogOptions& options,
                                         std::vector<std::string>* refused);

// Hands every event of the log's process to on_entry; throws LogFormatError when the log's
// process is not `id`.
ProcessHeader read_xes_process(const std::string& path, const EventLogOptions& options,
                               const std::string& id,
                               const WorkflowLogFile::EntryHandler& on_entry);

}  // namespace vesk
