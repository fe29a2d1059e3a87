#pragma once
// Streaming access to an XML workflow log: every call makes one pass over the file and holds
// no document tree, so memory does not grow with the file.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "log/xml_errors.h"

namespace vesk {

struct LogProcess {
    std::string id;
    std::optional<std::string> description;
};

// What the reader takes from one audit trail entry; absent parts stay empty optionals.
struct LogEntryFields {
    std::int32_t case_number = 0;
    std::string task_name;
    std::optional<std::string> event_kind;
    std::optional<std::string> date;
    std::optional<std::string> time;
};

struct ProcessHeader {
    std::optional<std::string> description;
    std::int32_t case_count = 0;
    // External entities the pass refused to load.
    std::vector<std::string> refused_entities;
};

class WorkflowLogFile {
public:
    WorkflowLogFile() = default;
    WorkflowLogFile(std::string path, bool resolve_externals)
        : path_(std::move(path)), resolve_externals_(resolve_externals) {}

    const std::string& path() const { return path_; }
    bool resolve_externals() const { return resolve_externals_; }

    // The processes in document order. Throws XmlReadError for a file that is not well-formed
    // anywhere, LogFormatError for a process without "id".
    // `refused`, when given, receives the external entities the pass refused to load.
    std::vector<LogProcess> list_processes(std::vector<std::string>* refused = nullptr) const;

    // Hands every audit trail entry of the process with this id to on_entry, in document order,
    // then checks the rest of the file. Throws LogFormatError for an unknown id or an entry
    // without "task_name", XmlReadError for a malformed file.
    using EntryHandler = std::function<void(const LogEntryFields&)>;
    ProcessHeader read_process(const std::string& id, const EntryHandler& on_entry) const;

private:
    std::string path_;
    bool resolve_externals_ = false;
};

}  // namespace vesk
