#include "log/xml_log_stream.h"

#include <memory>

#include "base/int32_checked.h"
#include "base/text_util.h"
#include "log/attribute_gatherer.h"
#include "log/event_log_formats.h"
#include "xml/sax_pass.h"
#include "xml/xml_entities.h"
#include "xml/xml_errors.h"

namespace vesk {

namespace {

std::string position_text(std::int32_t index) {
    return "child " + std::to_string(index + 1);
}

// The SAX events regrouped as the nodes a document model would list: every element, comment,
// processing instruction and CDATA section is a child of the element around it, and so is a
// run of text unless it is all blanks. The readers count children by position, as a lookup by
// index in the document model would.
class WorkflowPass : public SaxPass {
public:
    using SaxPass::SaxPass;

protected:
    // A child node at `depth`; an element carries its name and attributes.
    virtual void child(bool element, std::string_view name, int depth,
                       const XmlAttributes& attributes) = 0;
    virtual void element_end(int depth) = 0;
    // Every piece of text and CDATA, blanks included, at the depth of its node.
    virtual void text_content(std::string_view text, int depth) = 0;

private:
    void start(std::string_view name, int depth, const XmlAttributes& attributes) final {
        end_text_run();
        child(true, name, depth, attributes);
    }
    void end(std::string_view, int depth) final {
        end_text_run();
        element_end(depth);
    }
    void text(std::string_view content) final {
        text_content(content, depth());
        in_text_run_ = true;
        run_depth_ = depth();
        run_has_text_ = run_has_text_ || !is_xml_blank(content);
    }
    void cdata(std::string_view content) final {
        end_text_run();
        text_content(content, depth());
        child(false, {}, depth(), {});
    }
    void other_node() final {
        end_text_run();
        child(false, {}, depth(), {});
    }
    void end_text_run() {
        // The run's own depth: an element start or end that ends it has moved the depth on.
        if (in_text_run_ && run_has_text_) child(false, {}, run_depth_, {});
        in_text_run_ = false;
        run_has_text_ = false;
    }

    bool in_text_run_ = false;
    bool run_has_text_ = false;
    int run_depth_ = 0;
};

// Walks the children of the document element: skips a leading "source", yields the others.
class ProcessChildren {
public:
    // True when the node is a process-level child other than a leading "source".
    bool is_process(bool element, std::string_view name, int depth) {
        if (depth != 1) return false;
        ++index_;
        return !(index_ == 0 && element && name == "source");
    }

    std::string id_of(bool element, const XmlAttributes& attributes) const {
        const auto id = element ? attributes.get("id") : std::nullopt;
        if (!id)
            throw LogFormatError("The process at " + position_text(index_) +
                                 " of the document element has no \"id\" attribute.");
        return std::string(*id);
    }

private:
    std::int32_t index_ = -1;
};

std::optional<std::string> description_of(bool element, const XmlAttributes& attributes) {
    if (!element) return std::nullopt;
    const auto description = attributes.get("description");
    if (!description) return std::nullopt;
    return std::string(*description);
}

class ProcessListPass : public WorkflowPass {
public:
    using WorkflowPass::WorkflowPass;
    std::vector<LogProcess> processes;

private:
    void child(bool element, std::string_view name, int depth,
               const XmlAttributes& attributes) override {
        if (!children_.is_process(element, name, depth)) return;
        processes.push_back(
            {children_.id_of(element, attributes), description_of(element, attributes)});
    }
    void element_end(int) override {}
    void text_content(std::string_view, int) override {}

    ProcessChildren children_;
};

// Collects the fields of the audit trail entries of one process as their nodes go by, then
// reads on to the end, so that a fault anywhere in the file is reported.
class ProcessReadPass : public WorkflowPass {
public:
    ProcessReadPass(const WorkflowLogFile& file, const std::string& id,
                    const WorkflowLogFile::EntryHandler& on_entry)
        : WorkflowPass(file.path(), file.resolve_externals()),
          id_(id),
          on_entry_(on_entry),
          attributes_(file.event_log_options().attributes, header.notes) {}

    ProcessHeader header;
    bool found() const { return state_ != State::searching; }
    std::int32_t case_count() const { return case_index_ + 1; }

private:
    enum class State { searching, inside, done };

    void child(bool element, std::string_view name, int depth,
               const XmlAttributes& attributes) override {
        if (state_ == State::searching) {
            if (!children_.is_process(element, name, depth) ||
                children_.id_of(element, attributes) != id_)
                return;
            header.description = description_of(element, attributes);
            // A comment or text child has no end: it is all the process there is.
            state_ = element ? State::inside : State::done;
            return;
        }
        if (state_ != State::inside) return;
        if (depth == 2) {
            case_index_ = checked_add(case_index_, 1);
            entry_index_ = -1;
        } else if (depth == 3) {
            entry_index_ = checked_add(entry_index_, 1);
            if (!element) fail_without_task_name();
            entry_.case_number = case_index_;
            entry_.task_name.clear();
            entry_.event_kind.reset();
            entry_.date.reset();
            entry_.time.reset();
            has_task_name_ = false;
            seen_event_ = false;
            in_entry_ = true;
            attributes_.start_event();
            originator_.reset();
        } else if (depth == 4 && element) {
            take_field(name, attributes);
        } else if (depth == 5 && element && in_data_ && name == "attribute") {
            const auto key = attributes.get("name");
            data_key_ = key ? std::string(*key) : std::string();
            data_value_.clear();
            target_ = &data_value_;
        }
    }

    // What an entry carries besides its task, event and time: "originator" and "data".
    void take_extra_field(std::string_view name) {
        if (name == "originator" && !originator_) target_ = &originator_.emplace();
        if (name == "data") in_data_ = true;
    }

    void take_data_value() {
        target_ = nullptr;
        if (data_key_.empty()) return;
        const std::string value = trimmed(data_value_);
        // The CSV convention: a "case:" column belongs to the case.
        if (data_key_.starts_with("case:") && data_key_.size() > 5)
            attributes_.case_attribute(data_key_.substr(5), value, AttributeType::untyped);
        else
            attributes_.event_attribute(data_key_, value, AttributeType::untyped);
    }

    // Only the first child of each name counts, as a lookup by name would find it.
    void take_field(std::string_view name, const XmlAttributes& attributes) {
        if (attributes_.active()) take_extra_field(name);
        // Most fields are none of the four: their length tells without comparing.
        if (name.size() != 9 && name.size() != 5 && name.size() != 4) return;
        if (name == "task_name") {
            if (has_task_name_) return;
            has_task_name_ = true;
            target_ = &entry_.task_name;
        } else if (name == "event") {
            if (seen_event_) return;
            seen_event_ = true;
            if (const auto kind = attributes.get("kind")) entry_.event_kind.emplace(*kind);
        } else if (name == "date") {
            if (!entry_.date) target_ = &entry_.date.emplace();
        } else if (name == "time") {
            if (!entry_.time) target_ = &entry_.time.emplace();
        }
    }

    void element_end(int depth) override {
        if (state_ != State::inside) return;
        if (depth == 1) {
            state_ = State::done;
        } else if (depth == 3 && in_entry_) {
            in_entry_ = false;
            target_ = nullptr;
            if (!has_task_name_) fail_without_task_name();
            entry_.bytes_parsed = bytes_parsed();
            if (originator_)
                attributes_.event_attribute("org:resource", trimmed(*originator_),
                                            AttributeType::text);
            attributes_.fill(entry_);
            on_entry_(entry_);
        } else if (depth == 4) {
            target_ = nullptr;
            in_data_ = false;
        } else if (depth == 5 && in_data_ && target_ == &data_value_) {
            take_data_value();
        }
    }

    void text_content(std::string_view text, int depth) override {
        if (target_ == nullptr || depth < 5) return;
        // The bound a document model puts on one text node; text elsewhere is not kept.
        keep_text(*target_, text);
    }

    [[noreturn]] void fail_without_task_name() const {
        throw LogFormatError("Entry " + std::to_string(entry_index_ + 1) + " of case " +
                             std::to_string(case_index_) + " of process " + id_ +
                             " has no \"task_name\".");
    }

    const std::string& id_;
    const WorkflowLogFile::EntryHandler& on_entry_;
    State state_ = State::searching;
    ProcessChildren children_;
    std::int32_t case_index_ = -1;
    std::int32_t entry_index_ = -1;
    LogEntryFields entry_;
    bool in_entry_ = false;
    bool has_task_name_ = false;
    bool seen_event_ = false;
    std::string* target_ = nullptr;
    AttributeGatherer attributes_;
    std::optional<std::string> originator_;
    bool in_data_ = false;
    std::string data_key_;
    std::string data_value_;
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
    ProcessListPass pass(path_, resolve_externals_);
    std::vector<std::string> refusals = pass.run();
    if (refused != nullptr) *refused = std::move(refusals);
    return std::move(pass.processes);
}

ProcessHeader WorkflowLogFile::read_workflow_process(const std::string& id,
                                                     const EntryHandler& on_entry) const {
    ProcessReadPass pass(*this, id, on_entry);
    std::vector<std::string> refusals = pass.run();
    if (!pass.found()) throw LogFormatError("The log has no process with the id \"" + id + "\".");
    ProcessHeader header = std::move(pass.header);
    header.case_count = pass.case_count();
    header.refused_entities = std::move(refusals);
    return header;
}

}  // namespace vesk
