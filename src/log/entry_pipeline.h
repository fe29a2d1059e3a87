#pragma once
// Reading on a second core: the XML pass (decompression and parsing, most of a read) runs on a
// thread of its own and hands the entries over in batches, while the calling thread does what
// each entry asks of the log. The entries reach the handler on the calling thread, in document
// order, exactly as a pass on one thread would give them.

#include <string>

#include "log/xml_log_stream.h"

namespace vesk {

enum class ReadThreads {
    one,     // the pass runs on the calling thread
    two,     // the pass runs beside it
    machine  // two where the machine has more than one core
};

// What WorkflowLogFile::read_process does, with the pass placed as `threads` says. An exception
// thrown by the handler stops the pass and comes out of this call; one thrown by the pass comes
// out after the handler has had every entry read before it.
ProcessHeader read_process_entries(const WorkflowLogFile& file, const std::string& process_id,
                                   const WorkflowLogFile::EntryHandler& on_entry,
                                   ReadThreads threads = ReadThreads::machine);

}  // namespace vesk
