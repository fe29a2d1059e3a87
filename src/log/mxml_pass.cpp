#include "log/mxml_pass.h"

#include "base/int32_checked.h"
#include "base/text_util.h"
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
          notes_(header_.notes) {}

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
                if (const auto unknown = attributes.get("unknowntype"))
                    unknown_type_ = std::string(*unknown);
        }
    }

    void text(std::string_view chunk) override {
        if (target_ != nullptr) keep_text(**target_, chunk);
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
        if (transition && ascii_lower(*transition) == "unknown" && unknown_type_)
            transition = unknown_type_;
        const std::optional<std::string> stamp =
            timestamp_ ? std::optional<std::string>(trim(*timestamp_)) : std::nullopt;
        entry_.case_number = header_.case_count - 1;
        fill_entry(entry_, trim(*element_), transition, stamp, options_, notes_);
        entry_.bytes_parsed = bytes_parsed();
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
