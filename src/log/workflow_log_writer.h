#pragma once
// Writes XML workflow logs for the conversion modules: every text is checked against what XML
// can hold before anything is written, so a module never leaves a log the reader rejects.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vesk {

// Text an XML log cannot hold; what() says where.
class LogWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct WrittenEntry {
    std::string task;
    std::optional<std::string> kind;
    std::optional<std::string> date;  // DD-MM-YYYY
    std::optional<std::string> time;  // HH:MM[:SS[.fff]]
    // Who did it, and further attributes by name ("case:" before a name: the case's).
    std::optional<std::string> originator = std::nullopt;
    std::vector<std::pair<std::string, std::string>> data = {};
};

class WorkflowLogWriter {
public:
    // program names the converter in the "source" element.
    WorkflowLogWriter(const std::string& dtd_url, const std::string& program);

    void begin_process(const std::string& id, const std::optional<std::string>& description);
    void begin_instance(const std::string& id);
    // where names the entry in an error ("line 12", "event 3 of trace 7").
    void entry(const WrittenEntry& entry, const std::string& where);
    void end_instance();
    void end_process();
    // The whole file.
    const std::string& text();

private:
    std::string out_;
    bool in_process_ = false;
    bool in_instance_ = false;
    bool finished_ = false;
};

}  // namespace vesk
