#include "log/event_log_formats.h"

#include "base/text_util.h"
#include "log/event_entry.h"
#include "log/mxml_pass.h"
#include "log/xes_pass.h"
#include "xml/document_start.h"

namespace vesk {

std::optional<std::string> standard_event_kind(std::string_view transition) {
    const std::string t = ascii_lower(transition);
    for (const char* kind :
         {"schedule", "start", "suspend", "resume", "complete", "withdraw", "abort"})
        if (t == kind) return std::string(kind);
    if (t == "ate_abort" || t == "pi_abort") return std::string("abort");
    return std::nullopt;
}

std::string process_id_of_name(const std::string& name) {
    std::string id = name;
    for (char& c : id)
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') c = '_';
    return id.empty() ? std::string("_") : id;
}

LogFormat detect_log_format(const std::string& path) {
    const DocumentStart start = read_document_start(path);
    // The parser reads ahead: a fault near the start can come before the document element is
    // seen, and no reader would get further.
    if (start.root.empty() && start.error) throw XmlReadError(*start.error);
    if (start.root == "log" &&
        (start.root_namespace == "http://www.xes-standard.org/" || start.has_xes_version))
        return LogFormat::xes;
    if (!start.first_child) return LogFormat::workflow;
    // The first child tells a workflow log's processes from the other formats' contents.
    const std::string& name = *start.first_child;
    if (start.root == "log" &&
        (is_attribute_element(name) || name == "extension" || name == "global" ||
         name == "classifier" || name == "trace" || name == "event"))
        return LogFormat::xes;
    if (start.root == "WorkflowLog" && (name == "Source" || name == "Process" || name == "Data"))
        return LogFormat::mxml;
    return LogFormat::workflow;
}

std::vector<LogProcess> list_event_log_processes(LogFormat format, const std::string& path,
                                                 const EventLogOptions& options,
                                                 std::vector<std::string>* refused) {
    return format == LogFormat::xes ? list_xes_process(path, options, refused)
                                    : list_mxml_processes(path, options, refused);
}

ProcessHeader read_event_log_process(LogFormat format, const std::string& path,
                                     const EventLogOptions& options, const std::string& id,
                                     const WorkflowLogFile::EntryHandler& on_entry) {
    return format == LogFormat::xes ? read_xes_process(path, options, id, on_entry)
                                    : read_mxml_process(path, options, id, on_entry);
}

}  // namespace vesk
