#pragma once
// Small XML workflow logs written from a compact description, for reader tests.

#include <optional>
#include <string>
#include <vector>

#include "log/vesk_logline_reader.h"

namespace vesk::test {

struct Entry {
    std::string task;
    std::optional<std::string> kind = "complete";  // empty: no event element
    std::optional<std::string> date = std::nullopt;
    std::optional<std::string> time = std::nullopt;
};

using Case = std::vector<Entry>;

struct Process {
    std::optional<std::string> id = "1";
    std::optional<std::string> description = std::nullopt;
    std::vector<Case> cases = {};
};

// The reader's filter with only complete events, the default of a new run.
inline Tevent_filter complete_only() {
    Tevent_filter filter;
    filter.complete = true;
    return filter;
}

inline std::string entry_xml(const Entry& e) {
    std::string xml = "<audit_trail_entry>";
    if (e.date) xml += "<date>" + *e.date + "</date>";
    if (e.time) xml += "<time>" + *e.time + "</time>";
    xml += "<task_name>" + e.task + "</task_name>";
    if (e.kind) xml += "<event kind=\"" + *e.kind + "\"/>";
    return xml + "</audit_trail_entry>\n";
}

inline std::string process_xml(const Process& p) {
    std::string xml = "<process";
    if (p.id) xml += " id=\"" + *p.id + "\"";
    if (p.description) xml += " description=\"" + *p.description + "\"";
    xml += ">\n";
    for (const Case& c : p.cases) {
        xml += "  <process_instance>\n";
        for (const Entry& e : c)
            xml += "    " + entry_xml(e);
        xml += "  </process_instance>\n";
    }
    return xml + "</process>\n";
}

inline std::string log_xml(const std::vector<Process>& processes, const std::string& head = "") {
    std::string xml = "<?xml version=\"1.0\"?>\n<WorkFlow_log>\n" + head;
    for (const Process& p : processes)
        xml += process_xml(p);
    return xml + "</WorkFlow_log>\n";
}

// A process of `cases` cases a, b, c: long enough for every long step to report its progress.
inline std::string abc_log_xml(int cases) {
    Process process;
    for (int c = 0; c < cases; ++c)
        process.cases.push_back({Entry{"a"}, Entry{"b"}, Entry{"c"}});
    return log_xml({process});
}

}  // namespace vesk::test
