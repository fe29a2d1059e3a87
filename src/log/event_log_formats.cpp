#include "log/event_log_formats.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlreader.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>

#include "log/int32_checked.h"
#include "log/iso_timestamp.h"
#include "log/sax_pass.h"
#include "log/xml_entities.h"

namespace vesk {

namespace {

std::string_view view(const xmlChar* text) {
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

struct ReaderFree {
    void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};

// Counts and spellings of what the mapping could not place, for the warnings.
class NoteTaker {
public:
    explicit NoteTaker(FormatNotes& notes) : notes_(notes) { notes_.event_log = true; }

    void unmapped(std::string_view transition) {
        notes_.unmapped_transitions = checked_add(notes_.unmapped_transitions, 1);
        auto& seen = notes_.unmapped_spellings;
        if (seen.size() < 5 && std::find(seen.begin(), seen.end(), transition) == seen.end())
            seen.emplace_back(transition);
    }
    void missing_timestamp() {
        notes_.missing_timestamps = checked_add(notes_.missing_timestamps, 1);
    }
    void bad_timestamp(std::string_view text) {
        if (notes_.bad_timestamps == 0) notes_.first_bad_timestamp = std::string(text);
        notes_.bad_timestamps = checked_add(notes_.bad_timestamps, 1);
    }

private:
    FormatNotes& notes_;
};

// Turns the raw name, transition and timestamp of one event into an entry.
void fill_entry(LogEntryFields& entry, std::string name,
                const std::optional<std::string>& transition,
                const std::optional<std::string>& timestamp, const EventLogOptions& options,
                NoteTaker& notes) {
    entry.task_name = std::move(name);
    entry.event_kind.reset();
    if (transition) {
        entry.event_kind = standard_event_kind(*transition);
        if (!entry.event_kind) {
            if (options.lifecycle_into_name) {
                entry.task_name += "+" + *transition;
                entry.event_kind = "complete";
            } else {
                notes.unmapped(*transition);
            }
        }
    }
    entry.date.reset();
    entry.time.reset();
    if (!timestamp) {
        notes.missing_timestamp();
        return;
    }
    if (const auto stamp = log_timestamp(*timestamp, options.local_time)) {
        entry.date = stamp->date;
        entry.time = stamp->time;
    } else {
        notes.bad_timestamp(*timestamp);
    }
}

bool is_attribute_element(std::string_view name) {
    return name == "string" || name == "date" || name == "int" || name == "float" ||
           name == "boolean" || name == "id" || name == "list" || name == "container";
}

std::vector<std::string> classifier_keys(std::string_view keys) {
    std::vector<std::string> result;
    std::size_t i = 0;
    while (i < keys.size()) {
        while (i < keys.size() && keys[i] == ' ')
            ++i;
        if (i >= keys.size()) break;
        if (keys[i] == '\'') {
            const auto end = keys.find('\'', i + 1);
            result.emplace_back(keys.substr(i + 1, end - i - 1));
            i = end == std::string_view::npos ? keys.size() : end + 1;
        } else {
            const auto end = std::min(keys.find(' ', i), keys.size());
            result.emplace_back(keys.substr(i, end - i));
            i = end;
        }
    }
    return result;
}

std::string file_stem(const std::string& path) {
    std::string name = path.substr(path.find_last_of("/\\") + 1);
    for (const char* suffix : {".gz", ".xes", ".mxml", ".xml"})
        if (name.size() > std::strlen(suffix) && name.ends_with(suffix))
            name.resize(name.size() - std::strlen(suffix));
    return name;
}

// XES: log > (attributes, classifier, trace > (attributes, event > attributes)).
class XesPass : public SaxPass {
public:
    XesPass(const std::string& path, const EventLogOptions& options,
            std::optional<std::string> wanted, const WorkflowLogFile::EntryHandler* on_entry)
        : SaxPass(path, false),
          wanted_(std::move(wanted)),
          options_(options),
          on_entry_(on_entry),
          notes_(header_.notes) {}

    const ProcessHeader& header() const { return header_; }
    LogProcess process() const {
        const std::string name = log_name_.value_or(file_stem(path()));
        return {process_id_of_name(name), name};
    }

private:
    void start(std::string_view name, int depth, const xmlChar** attributes, int count) override {
        if (depth == 0) {
            if (name != "log") throw LogFormatError("The XES file has no \"log\" element.");
        } else if (depth == 1) {
            if (name == "trace") {
                in_trace_ = true;
                take_classifier();
                header_.case_count = checked_add(header_.case_count, 1);
            } else if (name == "classifier") {
                const auto n = attribute(attributes, count, "name");
                const auto keys = attribute(attributes, count, "keys");
                if (n && keys) classifiers_.emplace_back(std::string(*n), classifier_keys(*keys));
            } else if (is_attribute_element(name) && !seen_trace_) {
                if (attribute(attributes, count, "key") == "concept:name")
                    if (const auto value = attribute(attributes, count, "value"))
                        log_name_ = std::string(*value);
            }
        } else if (depth == 2 && in_trace_ && name == "event") {
            in_event_ = true;
            values_.assign(keys_.size(), std::nullopt);
            transition_.reset();
            timestamp_.reset();
        } else if (depth == 3 && in_event_ && is_attribute_element(name)) {
            const auto key = attribute(attributes, count, "key");
            const auto value = attribute(attributes, count, "value");
            if (!key || !value) return;
            for (std::size_t k = 0; k < keys_.size(); ++k)
                if (keys_[k] == *key && !values_[k]) values_[k] = std::string(*value);
            if (*key == "lifecycle:transition" && !transition_) transition_ = std::string(*value);
            if (*key == "time:timestamp" && !timestamp_) timestamp_ = std::string(*value);
        }
    }

    void end(std::string_view name, int depth) override {
        if (depth == 1 && name == "trace") {
            in_trace_ = false;
            seen_trace_ = true;
        } else if (depth == 2 && in_event_ && name == "event") {
            in_event_ = false;
            finish_event();
        }
    }

    // The keys that name an event: concept:name, or the chosen classifier's.
    void take_classifier() {
        if (seen_trace_ || !keys_.empty()) return;
        if (options_.classifier.empty()) {
            keys_ = {"concept:name"};
        } else {
            for (const auto& [name, keys] : classifiers_)
                if (name == options_.classifier) keys_ = keys;
            if (keys_.empty()) {
                std::string known;
                for (const auto& [name, keys] : classifiers_)
                    known += (known.empty() ? "" : ", ") + ("\"" + name + "\"");
                throw LogFormatError("The log declares no classifier \"" + options_.classifier +
                                     "\"" + (known.empty() ? "" : " (it declares " + known + ")") +
                                     ".");
            }
        }
        if (on_entry_ != nullptr && wanted_ && *wanted_ != process().id)
            throw LogFormatError("The log has no process with the id \"" + *wanted_ + "\".");
    }

    void finish_event() {
        if (on_entry_ == nullptr) return;
        std::string name;
        for (std::size_t k = 0; k < keys_.size(); ++k) {
            if (!values_[k])
                throw LogFormatError("Event " + std::to_string(entry_number_ + 1) + " of trace " +
                                     std::to_string(header_.case_count) + " (line " +
                                     std::to_string(line()) + ") has no \"" + keys_[k] + "\".");
            name += (k == 0 ? "" : "+") + *values_[k];
        }
        entry_number_ = checked_add(entry_number_, 1);
        entry_.case_number = header_.case_count - 1;
        fill_entry(entry_, std::move(name), transition_, timestamp_, options_, notes_);
        (*on_entry_)(entry_);
    }

    void finish() override {
        // A log without traces still names its process.
        if (on_entry_ != nullptr && wanted_ && *wanted_ != process().id)
            throw LogFormatError("The log has no process with the id \"" + *wanted_ + "\".");
        header_.description = process().description;
    }

    std::optional<std::string> wanted_;
    const EventLogOptions& options_;
    const WorkflowLogFile::EntryHandler* on_entry_;
    ProcessHeader header_;
    NoteTaker notes_;
    std::optional<std::string> log_name_;
    std::vector<std::pair<std::string, std::vector<std::string>>> classifiers_;
    std::vector<std::string> keys_;
    std::vector<std::optional<std::string>> values_;
    std::optional<std::string> transition_;
    std::optional<std::string> timestamp_;
    LogEntryFields entry_;
    std::int32_t entry_number_ = 0;
    bool in_trace_ = false;
    bool in_event_ = false;
    bool seen_trace_ = false;
};

// MXML: WorkflowLog > (Source, Process > ProcessInstance > AuditTrailEntry > (WorkflowModelElement,
// EventType, Timestamp)).
class MxmlPass : public SaxPass {
public:
    MxmlPass(const std::string& path, const EventLogOptions& options,
             std::optional<std::string> wanted, const WorkflowLogFile::EntryHandler* on_entry)
        : SaxPass(path, false),
          options_(options),
          wanted_(std::move(wanted)),
          on_entry_(on_entry),
          notes_(header_.notes) {}

    std::vector<LogProcess> processes;
    bool found = false;
    const ProcessHeader& header() const { return header_; }

private:
    void start(std::string_view name, int depth, const xmlChar** attributes, int count) override {
        if (depth == 1 && name == "Process") {
            const auto id = attribute(attributes, count, "id");
            if (!id)
                throw LogFormatError("The Process at line " + std::to_string(line()) +
                                     " has no \"id\" attribute.");
            const auto description = attribute(attributes, count, "description");
            LogProcess process{
                process_id_of_name(std::string(*id)),
                description ? std::optional<std::string>(*description) : std::nullopt};
            inside_ = wanted_ && !found && process.id == *wanted_;
            if (inside_) {
                found = true;
                header_.description = process.description;
            }
            processes.push_back(std::move(process));
        } else if (depth == 2 && inside_ && name == "ProcessInstance") {
            in_instance_ = true;
            header_.case_count = checked_add(header_.case_count, 1);
        } else if (depth == 3 && in_instance_ && name == "AuditTrailEntry") {
            in_entry_ = true;
            element_.reset();
            type_.reset();
            timestamp_.reset();
            unknown_type_.reset();
        } else if (depth == 4 && in_entry_) {
            target_ = name == "WorkflowModelElement" ? &element_
                      : name == "EventType"          ? &type_
                      : name == "Timestamp"          ? &timestamp_
                                                     : nullptr;
            if (target_ != nullptr && *target_) target_ = nullptr;  // the first one counts
            if (target_ != nullptr) target_->emplace();
            if (name == "EventType")
                if (const auto unknown = attribute(attributes, count, "unknowntype"))
                    unknown_type_ = std::string(*unknown);
        }
    }

    void text(std::string_view chunk) override {
        if (target_ != nullptr) (*target_)->append(chunk);
    }

    void end(std::string_view name, int depth) override {
        if (depth == 4) target_ = nullptr;
        if (depth == 1 && name == "Process") inside_ = false;
        if (depth == 2 && name == "ProcessInstance") in_instance_ = false;
        if (depth == 3 && in_entry_ && name == "AuditTrailEntry") {
            in_entry_ = false;
            finish_entry();
        }
    }

    void finish_entry() {
        if (on_entry_ == nullptr) return;
        if (!element_)
            throw LogFormatError("The AuditTrailEntry before line " + std::to_string(line()) +
                                 " has no WorkflowModelElement.");
        std::optional<std::string> transition;
        if (type_) transition = trim(*type_);
        if (transition && lower(*transition) == "unknown" && unknown_type_)
            transition = unknown_type_;
        const std::optional<std::string> stamp =
            timestamp_ ? std::optional<std::string>(trim(*timestamp_)) : std::nullopt;
        entry_.case_number = header_.case_count - 1;
        fill_entry(entry_, trim(*element_), transition, stamp, options_, notes_);
        (*on_entry_)(entry_);
    }

    static std::string trim(const std::string& text) {
        const auto first = text.find_first_not_of(" \t\r\n");
        if (first == std::string::npos) return {};
        return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    }

    const EventLogOptions& options_;
    const std::optional<std::string> wanted_;
    const WorkflowLogFile::EntryHandler* on_entry_;
    ProcessHeader header_;
    NoteTaker notes_;
    LogEntryFields entry_;
    bool inside_ = false;
    bool in_instance_ = false;
    bool in_entry_ = false;
    std::optional<std::string> element_, type_, timestamp_, unknown_type_;
    std::optional<std::string>* target_ = nullptr;
};

}  // namespace

std::optional<std::string> standard_event_kind(std::string_view transition) {
    const std::string t = lower(transition);
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
    EntityRefusals refusals(path);
    std::unique_ptr<xmlTextReader, ReaderFree> reader(
        xmlReaderForFile(path.c_str(), nullptr, xml_parse_options(false)));
    if (!reader) return LogFormat::workflow;
    xmlTextReaderSetStructuredErrorHandler(
        reader.get(), [](void*, xmlErrorPtr) {}, nullptr);
    std::string root;
    while (xmlTextReaderRead(reader.get()) == 1) {
        if (xmlTextReaderNodeType(reader.get()) != XML_READER_TYPE_ELEMENT) continue;
        const std::string_view name = view(xmlTextReaderConstLocalName(reader.get()));
        if (root.empty()) {
            root = name;
            const std::string_view ns = view(xmlTextReaderConstNamespaceUri(reader.get()));
            xmlChar* version = xmlTextReaderGetAttribute(reader.get(), BAD_CAST "xes.version");
            const bool has_version = version != nullptr;
            xmlFree(version);
            if (root == "log" && (ns == "http://www.xes-standard.org/" || has_version))
                return LogFormat::xes;
            if (xmlTextReaderIsEmptyElement(reader.get()) == 1) break;
            continue;
        }
        // The first child tells a workflow log's processes from the other formats' contents.
        if (root == "log" &&
            (is_attribute_element(name) || name == "extension" || name == "global" ||
             name == "classifier" || name == "trace" || name == "event"))
            return LogFormat::xes;
        if (root == "WorkflowLog" && (name == "Source" || name == "Process" || name == "Data"))
            return LogFormat::mxml;
        break;
    }
    return LogFormat::workflow;
}

std::vector<LogProcess> list_event_log_processes(LogFormat format, const std::string& path,
                                                 const EventLogOptions& options,
                                                 std::vector<std::string>* refused) {
    if (format == LogFormat::xes) {
        XesPass pass(path, options, std::nullopt, nullptr);
        auto list = pass.run();
        if (refused != nullptr) *refused = std::move(list);
        return {pass.process()};
    }
    MxmlPass pass(path, options, std::nullopt, nullptr);
    auto list = pass.run();
    if (refused != nullptr) *refused = std::move(list);
    return pass.processes;
}

ProcessHeader read_event_log_process(LogFormat format, const std::string& path,
                                     const EventLogOptions& options, const std::string& id,
                                     const WorkflowLogFile::EntryHandler& on_entry) {
    if (format == LogFormat::xes) {
        XesPass pass(path, options, id, &on_entry);
        auto refused = pass.run();
        ProcessHeader header = pass.header();
        header.refused_entities = std::move(refused);
        return header;
    }
    const std::optional<std::string> wanted = id;
    MxmlPass pass(path, options, wanted, &on_entry);
    auto refused = pass.run();
    if (!pass.found) throw LogFormatError("The log has no process with the id \"" + id + "\".");
    ProcessHeader header = pass.header();
    header.refused_entities = std::move(refused);
    return header;
}

}  // namespace vesk
