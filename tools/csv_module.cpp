#include "csv_module.h"

#include <map>
#include <sstream>
#include <vector>

#include "log/xml_text.h"

namespace vesk::tools {

namespace {

using vesk::xml_escaped;

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ','))
        fields.push_back(field);
    return fields;
}

// Line and column (1-based, in bytes) of the first character XML cannot hold.
void check_line(const std::string& line, int number) {
    if (const auto problem = vesk::xml_text_problem(line))
        throw CsvInputError("line " + std::to_string(number) + ", column " +
                            std::to_string(problem->offset + 1) + ": " + problem->what);
}

void check_argument(const std::string& text, const char* what) {
    if (const auto problem = vesk::xml_text_problem(text))
        throw CsvInputError(std::string(what) + " holds " + problem->what);
}

struct Entry {
    std::string task, event, date, time;
};

}  // namespace

std::string csv_to_workflow_log(std::istream& in, const std::string& input,
                                const std::string& dtd) {
    check_argument(input, "the input file name");
    check_argument(dtd, "the DTD location");
    if (dtd.find('"') != std::string::npos)
        throw CsvInputError("the DTD location cannot hold a double quote");
    std::vector<std::string> order;
    std::map<std::string, std::vector<Entry>> cases;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || (number == 1 && line.rfind("case", 0) == 0)) continue;
        check_line(line, number);
        const auto f = fields_of(line);
        if (f.size() < 2) throw CsvInputError("line " + std::to_string(number) + " has no task");
        if (cases.find(f[0]) == cases.end()) order.push_back(f[0]);
        cases[f[0]].push_back(
            {f[1], f.size() > 2 ? f[2] : "", f.size() > 3 ? f[3] : "", f.size() > 4 ? f[4] : ""});
    }
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<!DOCTYPE WorkFlow_log SYSTEM \"" << dtd << "\">\n"
        << "<WorkFlow_log>\n  <source program=\"csv2xml\"/>\n"
        << "  <process id=\"1\" description=\"" << xml_escaped(input) << "\">\n";
    for (const std::string& id : order) {
        xml << "    <process_instance id=\"" << xml_escaped(id) << "\">\n";
        for (const Entry& e : cases[id]) {
            xml << "      <audit_trail_entry>";
            if (!e.date.empty()) xml << "<date>" << xml_escaped(e.date) << "</date>";
            if (!e.time.empty()) xml << "<time>" << xml_escaped(e.time) << "</time>";
            xml << "<task_name>" << xml_escaped(e.task) << "</task_name>";
            if (!e.event.empty()) xml << "<event kind=\"" << xml_escaped(e.event) << "\"/>";
            xml << "</audit_trail_entry>\n";
        }
        xml << "    </process_instance>\n";
    }
    xml << "  </process>\n</WorkFlow_log>\n";
    return xml.str();
}

}  // namespace vesk::tools
