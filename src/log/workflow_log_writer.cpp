#include "log/workflow_log_writer.h"

#include "xml/xml_text.h"

namespace vesk {

namespace {

std::string checked(const std::string& text, const char* what, const std::string& where) {
    if (const auto problem = xml_text_problem(text))
        throw LogWriteError(where + ": the " + what + " holds " + problem->what + " (byte " +
                            std::to_string(problem->offset + 1) + ")");
    return xml_escaped(text);
}

}  // namespace

WorkflowLogWriter::WorkflowLogWriter(const std::string& dtd_url, const std::string& program) {
    // A SYSTEM literal can hold no references: a double quote cannot be written at all.
    if (dtd_url.find('"') != std::string::npos)
        throw LogWriteError("the DTD location cannot hold a double quote");
    checked(dtd_url, "DTD location", "the arguments");
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE WorkFlow_log SYSTEM \"" +
           dtd_url + "\">\n<WorkFlow_log>\n  <source program=\"" +
           checked(program, "program name", "the arguments") + "\"/>\n";
}

void WorkflowLogWriter::begin_process(const std::string& id,
                                      const std::optional<std::string>& description) {
    if (in_process_) end_process();
    out_ += "  <process id=\"" + checked(id, "process id", "process " + id) + "\"";
    if (description)
        out_ += " description=\"" + checked(*description, "description", "process " + id) + "\"";
    out_ += ">\n";
    in_process_ = true;
}

void WorkflowLogWriter::begin_instance(const std::string& id) {
    if (in_instance_) end_instance();
    out_ += "    <process_instance id=\"" + checked(id, "case id", "case " + id) + "\">\n";
    in_instance_ = true;
}

void WorkflowLogWriter::entry(const WrittenEntry& e, const std::string& where) {
    std::string xml = "      <audit_trail_entry>";
    if (e.date) xml += "<date>" + checked(*e.date, "date", where) + "</date>";
    if (e.time) xml += "<time>" + checked(*e.time, "time", where) + "</time>";
    xml += "<task_name>" + checked(e.task, "task name", where) + "</task_name>";
    if (e.kind) xml += "<event kind=\"" + checked(*e.kind, "event kind", where) + "\"/>";
    if (e.originator)
        xml += "<originator>" + checked(*e.originator, "originator", where) + "</originator>";
    if (!e.data.empty()) {
        xml += "<data>";
        for (const auto& [name, value] : e.data)
            xml += "<attribute name=\"" + checked(name, "attribute name", where) + "\">" +
                   checked(value, "attribute value", where) + "</attribute>";
        xml += "</data>";
    }
    out_ += xml + "</audit_trail_entry>\n";
}

void WorkflowLogWriter::end_instance() {
    if (!in_instance_) return;
    out_ += "    </process_instance>\n";
    in_instance_ = false;
}

void WorkflowLogWriter::end_process() {
    end_instance();
    if (!in_process_) return;
    out_ += "  </process>\n";
    in_process_ = false;
}

const std::string& WorkflowLogWriter::text() {
    if (!finished_) {
        end_process();
        out_ += "</WorkFlow_log>\n";
        finished_ = true;
    }
    return out_;
}

}  // namespace vesk
