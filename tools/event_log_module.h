#pragma once
// The xes and mxml conversion modules' work: an XES or MXML log (or a workflow log), read by the
// core's own readers, written again as an XML workflow log with every process, case and event.

#include <string>

#include "log/xml_log_stream.h"

namespace vesk::tools {

// Throws what the readers throw (XmlReadError, LogFormatError) and LogWriteError.
std::string event_log_to_workflow_log(const std::string& input, bool resolve_externals,
                                      const EventLogOptions& options, const std::string& dtd_url);

}  // namespace vesk::tools
