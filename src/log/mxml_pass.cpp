#include "log/mxml_pass.h"

#include "base/int32_checked.h"
#include "base/text_util.h"
#include "log/attribute_gatherer.h"
#include "log/event_entry.h"
#include "log/event_log_formats.h"
#include "xml/sax_pass.h"

namespace vesk {

namespace {

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
          notes_(header_.notes),
          attributes_(options.attributes, header_.notes) {}

    std::vector<LogProcess> processes;
    bool found = false;
    const ProcessHeader& header() const { return header_; }

private:
    void start(std::string_view name, int depth, const XmlAttributes& attributes) override {
        if (depth == 1 && name == "Process") {
            const auto id = attributes.get("id");
            if (!id)
                throw LogFormatError("The Process at line " + std::to_string(line()) +
                                     " has no \"id\" attribute.");
            const auto description = attributes.get("description");
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
            entries_in_instance_ = 0;
            attributes_.start_case();
            header_.case_count = checked_add(header_.case_count, 1);
        } else if (depth == 3 && in_instance_ && name == "AuditTrailEntry") {
            in_entry_ = true;
            attributes_.start_event();
            originator_.reset();
            element_.reset();
            type_.reset();
            timestamp_.reset();
            unknown_type_.reset();
        } else if (attributes_.active() && in_instance_ && name == "Data" &&
                   depth == (in_entry_ ? 4 : 3)) {
            data_depth_ = depth;
        } else if (data_depth_ > 0 && depth == data_depth_ + 1 && name == "Attribute") {
            const auto key = attributes.get("name");
            data_key_ = key ? std::string(*key) : std::string();
            target_ = &data_value_;
            data_value_.emplace();
        } else if (depth == 4 && in_entry_) {
            target_ = name == "WorkflowModelElement"                 ? &element_
                      : name == "EventType"                          ? &type_
                      : name == "Timestamp"                          ? &timestamp_
                      : name == "Originator" && attributes_.active() ? &originator_
                                                                     : nullptr;
            if (target_ != nullptr && *target_) target_ = nullptr;  // the first one counts
            if (target_ != nullptr) target_->emplace();
            if (name == "EventType")
                if (const auto unknown = attributes.get("unknowntype"))
                    unknown_type_ = std::string(*unknown);
        }
    }

    void text(std::string_view chunk) override {
        if (target_ != nullptr) keep_text(**target_, chunk);
    }

    void end(std::string_view name, int depth) override {
        if (data_depth_ > 0 && depth == data_depth_ + 1 && name == "Attribute") {
            take_data_value();
        } else if (depth == data_depth_ && name == "Data") {
            data_depth_ = 0;
        }
        if (depth == 4) target_ = nullptr;
        if (depth == 1 && name == "Process") inside_ = false;
        if (depth == 2 && name == "ProcessInstance") {
            in_instance_ = false;
            if (on_entry_ != nullptr && entries_in_instance_ > 0 && attributes_.case_left()) {
                attributes_.start_event();
                attributes_.fill(entry_);
                entry_.case_only = true;
                (*on_entry_)(entry_);
            }
        }
        if (depth == 3 && in_entry_ && name == "AuditTrailEntry") {
            in_entry_ = false;
            finish_entry();
        }
    }

    void take_data_value() {
        target_ = nullptr;
        if (data_key_.empty() || !data_value_) return;
        if (in_entry_)
            attributes_.event_attribute(data_key_, trim(*data_value_), AttributeType::untyped);
        else
            attributes_.case_attribute(data_key_, trim(*data_value_), AttributeType::untyped);
    }

    void finish_entry() {
        if (on_entry_ == nullptr) return;
        ++entries_in_instance_;
        if (originator_)
            attributes_.event_attribute("org:resource", trim(*originator_), AttributeType::text);
        if (!element_)
            throw LogFormatError("The AuditTrailEntry before line " + std::to_string(line()) +
                                 " has no WorkflowModelElement.");
        std::optional<std::string> transition;
        if (type_) transition = trim(*type_);
        if (transition && ascii_lower(*transition) == "unknown" && unknown_type_)
            transition = unknown_type_;
        const std::optional<std::string> stamp =
            timestamp_ ? std::optional<std::string>(trim(*timestamp_)) : std::nullopt;
        entry_.case_number = header_.case_count - 1;
        fill_entry(entry_, trim(*element_), transition, stamp, options_, notes_);
        entry_.bytes_parsed = bytes_parsed();
        attributes_.fill(entry_);
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
    AttributeGatherer attributes_;
    std::int32_t entries_in_instance_ = 0;
    int data_depth_ = 0;
    std::string data_key_;
    std::optional<std::string> data_value_, originator_;
    LogEntryFields entry_;
    bool inside_ = false;
    bool in_instance_ = false;
    bool in_entry_ = false;
    std::optional<std::string> element_, type_, timestamp_, unknown_type_;
    std::optional<std::string>* target_ = nullptr;
};

}  // namespace

std::vector<LogProcess> list_mxml_processes(const std::string& path, const EventLogOptions& options,
                                            std::vector<std::string>* refused) {
    MxmlPass pass(path, options, std::nullopt, nullptr);
    auto list = pass.run();
    if (refused != nullptr) *refused = std::move(list);
    return pass.processes;
}

ProcessHeader read_mxml_process(const std::string& path, const EventLogOptions& options,
                                const std::string& id,
                                const WorkflowLogFile::EntryHandler& on_entry) {
    const std::optional<std::string> wanted = id;
    MxmlPass pass(path, options, wanted, &on_entry);
    auto refused = pass.run();
    if (!pass.found) throw LogFormatError("The log has no process with the id \"" + id + "\".");
    ProcessHeader header = pass.header();
    header.refused_entities = std::move(refused);
    return header;
}

}  // namespace vesk
