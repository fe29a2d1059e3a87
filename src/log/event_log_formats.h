#pragma once
// The event logs people have besides the XML workflow log: XES (IEEE 1849) and MXML, gzipped or
// not, read in one streaming pass into the same process list and audit trail entries as the
// workflow log reader gives, so that everything after the reader stays the same.
//
// XES: the log is one process, its id the log's concept:name (or the file name without its
// extension) with blanks as "_", its description the name as written; each trace is a case in
// file order, each event of a trace an entry. MXML keeps its processes and instances. Nested
// attributes, events outside traces and every other attribute are ignored.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "log/xml_log_stream.h"

namespace vesk {

enum class LogFormat { workflow, xes, mxml };

// Told by the document element (and its first child), never by the file name.
LogFormat detect_log_format(const std::string& path);

// Reads the process list (XES: exactly one process).
std::vector<LogProcess> list_event_log_processes(LogFormat format, const std::string& path,
                                                 const EventLogOptions& options,
                                                 std::vector<std::string>* refused);

// Hands every event of the process to on_entry in file order, with the event kind mapped to the
// workflow log's names and the timestamp as DD-MM-YYYY and HH:MM:SS.fff.
ProcessHeader read_event_log_process(LogFormat format, const std::string& path,
                                     const EventLogOptions& options, const std::string& id,
                                     const WorkflowLogFile::EntryHandler& on_entry);

// schedule, start, suspend, resume, complete, withdraw, abort compared without regard to case;
// ate_abort and pi_abort are abort; anything else has no kind.
std::optional<std::string> standard_event_kind(std::string_view transition);

// A process id the windows can take: one word, blanks as "_".
std::string process_id_of_name(const std::string& name);

}  // namespace vesk
