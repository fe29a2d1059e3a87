#pragma once
// Streaming access to an XML workflow log: every call makes one pass over the file and holds
// no document tree, so memory does not grow with the file.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/read_errors.h"
#include "log/attribute_values.h"

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
    // How far into the (decompressed) file the entry ends, in bytes: for a progress bar.
    std::int64_t bytes_parsed = 0;
    // The attributes the read keeps (EventLogOptions::attributes): the event's own, and those of
    // its case not handed over before. An entry with `case_only` set is no event: it carries the
    // case attributes found after the case's last event.
    std::vector<ReadAttribute> attributes;
    std::vector<ReadAttribute> case_attributes;
    bool case_only = false;
};

// What an XES or MXML reader noticed on the way, for the warnings after a read.
struct FormatNotes {
    // Events whose lifecycle transition is none of the standard ones, read without a kind, and
    // the first few spellings.
    std::int32_t unmapped_transitions = 0;
    std::vector<std::string> unmapped_spellings;
    // Events without a timestamp, and those whose timestamp could not be read.
    std::int32_t missing_timestamps = 0;
    std::int32_t bad_timestamps = 0;
    std::optional<std::string> first_bad_timestamp;
    // The file was XES or MXML.
    bool event_log = false;
    // Keys of nested (list, container) attributes, which are not read.
    std::vector<std::string> skipped_nested_keys;
};

struct ProcessHeader {
    std::optional<std::string> description;
    std::int32_t case_count = 0;
    // External entities the pass refused to load.
    std::vector<std::string> refused_entities;
    FormatNotes notes;
};

// How XES and MXML events become entries.
struct EventLogOptions {
    // The name of one of the log's declared classifiers; its keys' values, joined with "+",
    // name the event. Empty: concept:name.
    std::string classifier;
    // A lifecycle transition outside the standard ones is appended to the name ("+" between),
    // and the event counts as complete.
    bool lifecycle_into_name = false;
    // Keep the wall-clock time as written instead of converting to UTC.
    bool local_time = false;
    // Which attributes of cases and events are read besides name, transition and time.
    AttributeChoice attributes = AttributeChoice::none();
};

class WorkflowLogFile {
public:
    WorkflowLogFile() = default;
    WorkflowLogFile(std::string path, bool resolve_externals, EventLogOptions options = {})
        : path_(std::move(path)),
          resolve_externals_(resolve_externals),
          options_(std::move(options)) {}

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

    const EventLogOptions& event_log_options() const { return options_; }

private:
    std::vector<LogProcess> list_workflow_processes(std::vector<std::string>* refused) const;
    ProcessHeader read_workflow_process(const std::string& id, const EntryHandler& on_entry) const;

    std::string path_;
    bool resolve_externals_ = false;
    EventLogOptions options_;
};

}  // namespace vesk
