#include "log/xml_log_stream.h"

#include <libxml/xmlreader.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "log/event_log_formats.h"
#include "log/int32_checked.h"
#include "log/xml_entities.h"

namespace vesk {

void check_readable_file(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw XmlReadError(path + ": is a folder, not a file");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) throw XmlReadError(path + ": " + std::strerror(errno));
    std::fclose(file);
}

std::string xml_error_text(const void* xml_error, const std::string& fallback) {
    const auto* error = static_cast<const xmlError*>(xml_error);
    if (error == nullptr || error->message == nullptr) return fallback;
    std::string message = error->message;
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    return "line " + std::to_string(error->line) + ": " + message;
}

bool is_xml_blank(const char* text) {
    if (text == nullptr) return true;
    for (; *text != '\0'; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') return false;
    return true;
}

namespace {

struct ReaderFree {
    void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};

// One forward pass over the nodes of a file, with the parser's first error kept for the report.
class NodeStream {
public:
    explicit NodeStream(const WorkflowLogFile& file) {
        check_readable_file(file.path());
        reader_.reset(xmlReaderForFile(file.path().c_str(), nullptr,
                                       xml_parse_options(file.resolve_externals())));
        if (!reader_) throw XmlReadError(file.path() + ": cannot be opened");
        xmlTextReaderSetStructuredErrorHandler(reader_.get(), &NodeStream::on_error, this);
    }

    bool next() {
        const int status = xmlTextReaderRead(reader_.get());
        if (status < 0 || !fatal_.empty()) {
            // Some failures (limits, the input itself) bypass the handler: ask the thread's
            // last error for the reason then.
            throw XmlReadError(
                fatal_.empty() ? xml_error_text(xmlGetLastError(), "the file is not well-formed")
                               : fatal_);
        }
        if (status != 1) return false;
        type_ = xmlTextReaderNodeType(reader_.get());
        depth_ = xmlTextReaderDepth(reader_.get());
        return true;
    }

    int type() const { return type_; }
    int depth() const { return depth_; }
    bool is_element() const { return type() == XML_READER_TYPE_ELEMENT; }
    bool is_end_element() const { return type() == XML_READER_TYPE_END_ELEMENT; }
    bool is_empty_element() const { return xmlTextReaderIsEmptyElement(reader_.get()) == 1; }

    bool name_is(const char* name) const {
        const xmlChar* own = xmlTextReaderConstName(reader_.get());
        return own != nullptr && std::strcmp(reinterpret_cast<const char*>(own), name) == 0;
    }

    const char* value() const {
        return reinterpret_cast<const char*>(xmlTextReaderConstValue(reader_.get()));
    }

    // A node that the document model lists as a child: anything but blank text and end tags.
    bool counts_as_child() const {
        switch (type()) {
            case XML_READER_TYPE_END_ELEMENT:
            case XML_READER_TYPE_END_ENTITY:
            case XML_READER_TYPE_WHITESPACE:
            case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
                return false;
            case XML_READER_TYPE_TEXT:
                return !is_xml_blank(value());
            default:
                return true;
        }
    }

    bool is_text() const {
        switch (type()) {
            case XML_READER_TYPE_TEXT:
            case XML_READER_TYPE_CDATA:
            case XML_READER_TYPE_WHITESPACE:
            case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
                return true;
            default:
                return false;
        }
    }

    std::optional<std::string> attribute(const char* name) const {
        if (!is_element()) return std::nullopt;
        xmlChar* value = xmlTextReaderGetAttribute(reader_.get(), BAD_CAST name);
        if (value == nullptr) return std::nullopt;
        std::string result(reinterpret_cast<const char*>(value));
        xmlFree(value);
        return result;
    }

private:
    static void on_error(void* self, xmlErrorPtr error) {
        auto* stream = static_cast<NodeStream*>(self);
        if (error == nullptr || error->level != XML_ERR_FATAL || !stream->fatal_.empty()) return;
        stream->fatal_ = xml_error_text(error, "parse error");
    }

    std::unique_ptr<xmlTextReader, ReaderFree> reader_;
    std::string fatal_;
    int type_ = 0;
    int depth_ = 0;
};

std::string position_text(std::int32_t index) {
    return "child " + std::to_string(index + 1);
}

// Walks the children of the document element: skips a leading "source", yields the others.
class ProcessChildren {
public:
    // True when the current node is a process-level child other than a leading "source".
    bool is_process(const NodeStream& s) {
        if (s.depth() != 1 || !s.counts_as_child()) return false;
        ++index_;
        return !(index_ == 0 && s.name_is("source"));
    }

    std::string id_of(const NodeStream& s) const {
        auto id = s.attribute("id");
        if (!id)
            throw LogFormatError("The process at " + position_text(index_) +
                                 " of the document element has no \"id\" attribute.");
        return *id;
    }

private:
    std::int32_t index_ = -1;
};

// Collects the fields of the audit trail entries of one process as their nodes go by.
class EntryCollector {
public:
    EntryCollector(const std::string& process_id, const WorkflowLogFile::EntryHandler& on_entry)
        : process_id_(process_id), on_entry_(on_entry) {}

    std::int32_t case_count() const { return case_index_ + 1; }

    // Returns false when the node ends the process.
    bool take(const NodeStream& s) {
        const int depth = s.depth();
        if (depth == 1) return false;
        if (depth == 2) {
            if (s.counts_as_child()) {
                case_index_ = checked_add(case_index_, 1);
                entry_index_ = -1;
            }
        } else if (depth == 3) {
            take_entry_node(s);
        } else if (depth == 4) {
            take_field_node(s);
        } else if (target_ != nullptr && s.is_text()) {
            target_->append(s.value());
        }
        return true;
    }

private:
    void take_entry_node(const NodeStream& s) {
        if (s.is_end_element()) return finish_entry();
        if (!s.counts_as_child()) return;
        entry_index_ = checked_add(entry_index_, 1);
        if (!s.is_element()) fail_without_task_name();
        entry_ = LogEntryFields{};
        entry_.case_number = case_index_;
        has_task_name_ = false;
        seen_event_ = false;
        if (s.is_empty_element()) finish_entry();
    }

    void take_field_node(const NodeStream& s) {
        if (s.is_end_element()) {
            target_ = nullptr;
            return;
        }
        if (!s.is_element()) return;
        // Only the first child of each name counts, as a lookup by name would find it.
        if (s.name_is("task_name") && !has_task_name_) {
            has_task_name_ = true;
            start_text(s, entry_.task_name);
        } else if (s.name_is("event") && !seen_event_) {
            seen_event_ = true;
            entry_.event_kind = s.attribute("kind");
        } else if (s.name_is("date") && !entry_.date) {
            start_text(s, entry_.date.emplace());
        } else if (s.name_is("time") && !entry_.time) {
            start_text(s, entry_.time.emplace());
        }
    }

    void start_text(const NodeStream& s, std::string& target) {
        target.clear();
        target_ = s.is_empty_element() ? nullptr : &target;
    }

    void finish_entry() {
        target_ = nullptr;
        seen_event_ = false;
        if (!has_task_name_) fail_without_task_name();
        on_entry_(entry_);
    }

    [[noreturn]] void fail_without_task_name() const {
        throw LogFormatError("Entry " + std::to_string(entry_index_ + 1) + " of case " +
                             std::to_string(case_index_) + " of process " + process_id_ +
                             " has no \"task_name\".");
    }

    const std::string& process_id_;
    const WorkflowLogFile::EntryHandler& on_entry_;
    std::int32_t case_index_ = -1;
    std::int32_t entry_index_ = -1;
    LogEntryFields entry_;
    bool has_task_name_ = false;
    bool seen_event_ = false;
    std::string* target_ = nullptr;
};

}  // namespace

std::vector<LogProcess> WorkflowLogFile::list_processes(std::vector<std::string>* refused) const {
    check_readable_file(path_);
    const LogFormat format = detect_log_format(path_);
    if (format != LogFormat::workflow)
        return list_event_log_processes(format, path_, options_, refused);
    return list_workflow_processes(refused);
}

ProcessHeader WorkflowLogFile::read_process(const std::string& id,
                                            const EntryHandler& on_entry) const {
    check_readable_file(path_);
    const LogFormat format = detect_log_format(path_);
    if (format != LogFormat::workflow)
        return read_event_log_process(format, path_, options_, id, on_entry);
    return read_workflow_process(id, on_entry);
}

std::vector<LogProcess> WorkflowLogFile::list_workflow_processes(
    std::vector<std::string>* refused) const {
    EntityRefusals refusals(path_);
    NodeStream stream(*this);
    ProcessChildren children;
    std::vector<LogProcess> processes;
    while (stream.next()) {
        if (!children.is_process(stream)) continue;
        processes.push_back({children.id_of(stream), stream.attribute("description")});
    }
    if (refused != nullptr) *refused = refusals.refused();
    return processes;
}

ProcessHeader WorkflowLogFile::read_workflow_process(const std::string& id,
                                                     const EntryHandler& on_entry) const {
    EntityRefusals refusals(path_);
    NodeStream stream(*this);
    ProcessChildren children;
    EntryCollector collector(id, on_entry);
    ProcessHeader header;
    enum class State { searching, inside, done } state = State::searching;
    while (stream.next()) {
        if (state == State::searching) {
            if (!children.is_process(stream) || children.id_of(stream) != id) continue;
            header.description = stream.attribute("description");
            state = stream.is_empty_element() ? State::done : State::inside;
        } else if (state == State::inside && !collector.take(stream)) {
            state = State::done;
        }
    }
    if (state == State::searching)
        throw LogFormatError("The log has no process with the id \"" + id + "\".");
    header.case_count = collector.case_count();
    header.refused_entities = refusals.refused();
    return header;
}

}  // namespace vesk
