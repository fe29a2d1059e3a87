#include "log/xes_pass.h"

#include <cstring>

#include "base/int32_checked.h"
#include "log/attribute_gatherer.h"
#include "log/event_entry.h"
#include "log/event_log_formats.h"
#include "xml/sax_pass.h"

namespace vesk {

namespace {

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
          notes_(header_.notes),
          attributes_(options.attributes, header_.notes) {}

    const ProcessHeader& header() const { return header_; }
    LogProcess process() const {
        const std::string name = log_name_.value_or(file_stem(path()));
        return {process_id_of_name(name), name};
    }

private:
    void start(std::string_view name, int depth, const XmlAttributes& attributes) override {
        if (depth == 0) {
            if (name != "log") throw LogFormatError("The XES file has no \"log\" element.");
        } else if (depth == 1) {
            if (name == "trace") {
                in_trace_ = true;
                events_in_trace_ = 0;
                attributes_.start_case();
                take_classifier();
                header_.case_count = checked_add(header_.case_count, 1);
            } else if (name == "classifier") {
                const auto n = attributes.get("name");
                const auto keys = attributes.get("keys");
                if (n && keys) classifiers_.emplace_back(std::string(*n), classifier_keys(*keys));
            } else if (is_attribute_element(name) && !seen_trace_) {
                if (attributes.get("key") == "concept:name")
                    if (const auto value = attributes.get("value")) log_name_ = std::string(*value);
            }
        } else if (depth == 2 && in_trace_ && attributes_.active() && is_attribute_element(name)) {
            take_attribute(name, attributes, true);
        } else if (depth == 2 && in_trace_ && name == "event") {
            in_event_ = true;
            attributes_.start_event();
            values_.assign(keys_.size(), std::nullopt);
            transition_.reset();
            timestamp_.reset();
            start_timestamp_.reset();
        } else if (depth == 3 && in_event_ && is_attribute_element(name)) {
            const auto key = attributes.get("key");
            const auto value = attributes.get("value");
            if (!key || !value) return;
            for (std::size_t k = 0; k < keys_.size(); ++k)
                if (keys_[k] == *key && !values_[k]) values_[k] = std::string(*value);
            if (*key == "lifecycle:transition" && !transition_) transition_ = std::string(*value);
            if (*key == "time:timestamp" && !timestamp_) timestamp_ = std::string(*value);
            if (*key == "start_timestamp" && !start_timestamp_)
                start_timestamp_ = std::string(*value);
            if (attributes_.active()) take_attribute(name, attributes, false);
        }
    }

    void take_attribute(std::string_view element, const XmlAttributes& attributes, bool of_case) {
        const auto key = attributes.get("key");
        if (!key) return;
        if (element == "list" || element == "container") {
            attributes_.nested(*key);
            return;
        }
        const auto value = attributes.get("value");
        if (!value) return;
        if (of_case)
            attributes_.case_attribute(*key, *value, xes_attribute_type(element));
        else
            attributes_.event_attribute(*key, *value, xes_attribute_type(element));
    }

    void end(std::string_view name, int depth) override {
        if (depth == 1 && name == "trace") {
            in_trace_ = false;
            seen_trace_ = true;
            if (on_entry_ != nullptr && events_in_trace_ > 0 && attributes_.case_left()) {
                attributes_.start_event();
                attributes_.fill(entry_);
                entry_.case_only = true;
                (*on_entry_)(entry_);
            }
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
        // An event without a lifecycle transition is a complete event, as XES tools read it.
        const std::string transition = transition_.value_or("complete");
        // The interval form: a complete event that carries when it started is a start event
        // and a complete event, so that start events and overlaps can be read from it.
        ++events_in_trace_;
        if (start_timestamp_ && standard_event_kind(transition) == "complete") {
            fill_entry(entry_, name, std::string("start"), start_timestamp_, options_, notes_);
            entry_.bytes_parsed = bytes_parsed();
            attributes_.fill(entry_);
            (*on_entry_)(entry_);
        }
        fill_entry(entry_, std::move(name), transition, timestamp_, options_, notes_);
        entry_.bytes_parsed = bytes_parsed();
        attributes_.fill(entry_);
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
    AttributeGatherer attributes_;
    std::int32_t events_in_trace_ = 0;
    std::optional<std::string> log_name_;
    std::vector<std::pair<std::string, std::vector<std::string>>> classifiers_;
    std::vector<std::string> keys_;
    std::vector<std::optional<std::string>> values_;
    std::optional<std::string> transition_;
    std::optional<std::string> timestamp_;
    std::optional<std::string> start_timestamp_;
    LogEntryFields entry_;
    std::int32_t entry_number_ = 0;
    bool in_trace_ = false;
    bool in_event_ = false;
    bool seen_trace_ = false;
};

}  // namespace

std::vector<LogProcess> list_xes_process(const std::string& path, const EventLogOptions& options,
                                         std::vector<std::string>* refused) {
    XesPass pass(path, options, std::nullopt, nullptr);
    auto list = pass.run();
    if (refused != nullptr) *refused = std::move(list);
    return {pass.process()};
}

ProcessHeader read_xes_process(const std::string& path, const EventLogOptions& options,
                               const std::string& id,
                               const WorkflowLogFile::EntryHandler& on_entry) {
    XesPass pass(path, options, id, &on_entry);
    auto refused = pass.run();
    ProcessHeader header = pass.header();
    header.refused_entities = std::move(refused);
    return header;
}

}  // namespace vesk
