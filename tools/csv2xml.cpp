// Conversion module: a log of comma-separated lines "case,task,event,date,time" (date DD-MM-YYYY,
// time HH:MM[:SS]; a first line starting with "case" is a header) becomes an XML workflow log
// with one process. Lines of a case need not be adjacent; their order within the case is kept.
//
// csv2xml INPUT XML DTD_URL YES|NO

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ','))
        fields.push_back(field);
    return fields;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

struct Entry {
    std::string task, event, date, time;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: csv2xml INPUT XML DTD_URL YES|NO\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "csv2xml: cannot read " << argv[1] << '\n';
        return 1;
    }
    std::vector<std::string> order;
    std::map<std::string, std::vector<Entry>> cases;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || (number == 1 && line.rfind("case", 0) == 0)) continue;
        const auto f = fields_of(line);
        if (f.size() < 2) {
            std::cerr << "csv2xml: line " << number << " has no task\n";
            return 1;
        }
        if (cases.find(f[0]) == cases.end()) order.push_back(f[0]);
        cases[f[0]].push_back(
            {f[1], f.size() > 2 ? f[2] : "", f.size() > 3 ? f[3] : "", f.size() > 4 ? f[4] : ""});
    }
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<!DOCTYPE WorkFlow_log SYSTEM \"" << escaped(argv[3]) << "\">\n"
        << "<WorkFlow_log>\n  <source program=\"csv2xml\"/>\n"
        << "  <process id=\"1\" description=\"" << escaped(argv[1]) << "\">\n";
    for (const std::string& id : order) {
        xml << "    <process_instance id=\"" << escaped(id) << "\">\n";
        for (const Entry& e : cases[id]) {
            xml << "      <audit_trail_entry>";
            if (!e.date.empty()) xml << "<date>" << escaped(e.date) << "</date>";
            if (!e.time.empty()) xml << "<time>" << escaped(e.time) << "</time>";
            xml << "<task_name>" << escaped(e.task) << "</task_name>";
            if (!e.event.empty()) xml << "<event kind=\"" << escaped(e.event) << "\"/>";
            xml << "</audit_trail_entry>\n";
        }
        xml << "    </process_instance>\n";
    }
    xml << "  </process>\n</WorkFlow_log>\n";
    std::ofstream out(argv[2], std::ios::binary);
    out << xml.str();
    if (!out) {
        std::cerr << "csv2xml: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
