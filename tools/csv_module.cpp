#include "csv_module.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <vector>

#include "log/event_log_formats.h"
#include "log/iso_timestamp.h"
#include "log/workflow_log_writer.h"
#include "xml/sax_pass.h"
#include "xml/xml_text.h"

namespace vesk::tools {

namespace {

struct Record {
    std::vector<std::string> fields;
    int line = 0;  // where the record starts
};

std::string lower_trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    std::string out = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Every physical line must be text an XML log can hold: the place is told exactly.
void check_text(const std::string& text) {
    int line = 1;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        const auto end = std::min(text.find('\n', begin), text.size());
        if (const auto problem =
                xml_text_problem(std::string_view(text).substr(begin, end - begin)))
            throw CsvInputError("line " + std::to_string(line) + ", column " +
                                std::to_string(problem->offset + 1) + ": " + problem->what);
        if (end == text.size()) break;
        begin = end + 1;
        ++line;
    }
}

char detect_delimiter(const std::string& text) {
    std::map<char, int> counts = {{',', 0}, {';', 0}, {'\t', 0}};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '\n') break;
        if (!quoted && counts.count(c) > 0) ++counts[c];
    }
    char best = ',';
    for (const char c : {';', '\t'})
        if (counts[c] > counts[best]) best = c;
    return best;
}

std::vector<Record> parse_records(const std::string& text, char delimiter) {
    std::vector<Record> records;
    Record record;
    std::string field;
    int line = 1;
    record.line = 1;
    bool quoted = false, was_quoted = false, any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                field += c;
            }
            continue;
        }
        if (c == '"' && field.empty() && !was_quoted) {
            quoted = was_quoted = any = true;
        } else if (c == delimiter) {
            record.fields.push_back(std::move(field));
            field.clear();
            was_quoted = false;
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (any || !field.empty()) {
                record.fields.push_back(std::move(field));
                records.push_back(std::move(record));
            }
            record = Record{};
            field.clear();
            was_quoted = any = false;
            record.line = ++line;
        } else if (was_quoted) {
            throw CsvInputError("line " + std::to_string(line) +
                                ": text after the closing quote of a field");
        } else {
            field += c;
            any = true;
        }
    }
    if (quoted)
        throw CsvInputError("line " + std::to_string(record.line) + ": a quote is not closed");
    if (any || !field.empty()) {
        record.fields.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    return records;
}

struct Columns {
    int case_id = -1, activity = -1, timestamp = -1, start = -1, lifecycle = -1, date = -1,
        time = -1, resource = -1;
    bool header = false;
    // The header's other columns: attributes of the events.
    std::vector<int> others;
};

int find_column(const std::vector<std::string>& header, const std::string& chosen,
                std::initializer_list<const char*> names) {
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string name = lower_trimmed(header[i]);
        if (!chosen.empty()) {
            if (name == lower_trimmed(chosen)) return static_cast<int>(i);
            continue;
        }
        for (const char* candidate : names)
            if (name == candidate) return static_cast<int>(i);
    }
    if (!chosen.empty()) throw CsvInputError("the header has no column \"" + chosen + "\"");
    return -1;
}

// "case \"CaseID\", activity \"Task\"; not read: \"When\"": what each column was taken for.
std::string columns_text(const std::vector<std::string>& header, const Columns& c) {
    const std::pair<const char*, int> roles[] = {{"case", c.case_id},
                                                 {"activity", c.activity},
                                                 {"timestamp", c.timestamp},
                                                 {"start timestamp", c.start},
                                                 {"lifecycle", c.lifecycle},
                                                 {"date", c.date},
                                                 {"time", c.time},
                                                 {"resource", c.resource}};
    std::string taken, left;
    for (const auto& [role, column] : roles)
        if (column >= 0)
            taken += (taken.empty() ? "" : ", ") + std::string(role) + " \"" +
                     header[static_cast<std::size_t>(column)] + "\"";
    for (std::size_t i = 0; i < header.size(); ++i) {
        bool used = false;
        for (const auto& [role, column] : roles)
            used = used || column == static_cast<int>(i);
        if (!used) left += (left.empty() ? "" : ", ") + ("\"" + header[i] + "\"");
    }
    return "columns taken: " + (taken.empty() ? std::string("none") : taken) +
           (left.empty() ? "" : "; as attributes: " + left);
}

// Each column of the header once: two of one name would leave the second unread.
void check_header_names(const Record& first) {
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < first.fields.size(); ++i) {
        const std::string name = lower_trimmed(first.fields[i]);
        if (name.empty()) continue;
        const auto [at, added] = seen.emplace(name, i);
        if (!added)
            throw CsvInputError("line " + std::to_string(first.line) + ", column " +
                                std::to_string(i + 1) + ": the header names \"" + first.fields[i] +
                                "\" again (first in column " + std::to_string(at->second + 1) +
                                ")");
    }
}

// Every row as wide as the header, and every field short enough for the log's reader.
void check_rows(const std::vector<Record>& records, bool header) {
    const std::size_t width = records.front().fields.size();
    if (header && records.size() == 1) throw CsvInputError("the file holds a header and no rows");
    for (const Record& r : records) {
        if (header && r.fields.size() != width)
            throw CsvInputError("line " + std::to_string(r.line) + ", column " +
                                std::to_string(std::min(r.fields.size(), width) + 1) + ": " +
                                std::to_string(r.fields.size()) + " fields where the header has " +
                                std::to_string(width));
        for (std::size_t i = 0; i < r.fields.size(); ++i)
            if (r.fields[i].size() > kMaxXmlTextLength)
                throw CsvInputError("line " + std::to_string(r.line) + ", column " +
                                    std::to_string(i + 1) + ": a field of " +
                                    std::to_string(r.fields[i].size()) +
                                    " bytes, longer than a log's text may be (" +
                                    std::to_string(kMaxXmlTextLength) + ")");
    }
}

Columns columns_of(const Record& first, const CsvOptions& o) {
    const auto& h = first.fields;
    Columns c;
    c.case_id = find_column(h, o.case_column,
                            {"case id", "case", "case_id", "caseid", "case:concept:name",
                             "case concept:name", "trace id", "trace"});
    c.activity = find_column(h, o.activity_column,
                             {"activity", "activity name", "concept:name", "task", "event name"});
    c.timestamp = find_column(h, o.timestamp_column,
                              {"timestamp", "time:timestamp", "complete timestamp",
                               "completetimestamp", "end timestamp", "end time", "complete time"});
    c.start = find_column(h, o.start_column,
                          {"start timestamp", "start_timestamp", "starttimestamp", "start time"});
    c.lifecycle =
        find_column(h, o.lifecycle_column,
                    {"lifecycle", "lifecycle:transition", "transition", "event type", "event"});
    c.date = find_column(h, "", {"date"});
    c.time = find_column(h, "", {"time"});
    c.resource = find_column(h, "", {"org:resource", "resource", "originator"});
    c.header = c.case_id >= 0 && c.activity >= 0;
    for (int i = 0; i < static_cast<int>(h.size()); ++i)
        if (i != c.case_id && i != c.activity && i != c.timestamp && i != c.start &&
            i != c.lifecycle && i != c.date && i != c.time && i != c.resource &&
            !lower_trimmed(h[static_cast<std::size_t>(i)]).empty())
            c.others.push_back(i);
    const bool first_format = !h.empty() && lower_trimmed(h[0]) == "case" &&
                              (h.size() < 2 || lower_trimmed(h[1]) == "task");
    const bool names_columns =
        c.case_id >= 0 || c.activity >= 0 || c.timestamp >= 0 || c.start >= 0 || c.lifecycle >= 0;
    if (!c.header && names_columns && !first_format)
        throw CsvInputError(std::string("line ") + std::to_string(first.line) +
                            ": the header names no " + (c.case_id < 0 ? "case" : "activity") +
                            " column (name it with --" + (c.case_id < 0 ? "case" : "activity") +
                            "=COLUMN)");
    // The first format's third field is an event kind: a first row whose third field is none
    // is a header of names the module does not know, not a case.
    const bool unknown_header = !c.header && !first_format && h.size() >= 3 &&
                                !lower_trimmed(h[2]).empty() && lower_trimmed(h[2]) != "normal" &&
                                !standard_event_kind(lower_trimmed(h[2]));
    if (unknown_header) {
        std::string names;
        for (const std::string& name : h)
            names += (names.empty() ? "" : ", ") + ("\"" + name + "\"");
        throw CsvInputError(std::string("line ") + std::to_string(first.line) +
                            ": the header names none of the columns the module knows (" + names +
                            "); name them with --case=COLUMN, --activity=COLUMN and "
                            "--timestamp=COLUMN");
    }
    if (c.header && c.timestamp < 0 && c.start < 0 && c.date < 0)
        throw CsvInputError("line " + std::to_string(first.line) +
                            ": no column of the header is a timestamp (" + columns_text(h, c) +
                            "); name it with --timestamp=COLUMN");
    if (!c.header) {
        // The module's first format, "case,task,event,date,time", without a header.
        c = Columns{};
        c.case_id = 0;
        c.activity = 1;
        c.lifecycle = 2;
        c.date = 3;
        c.time = 4;
    }
    return c;
}

struct Event {
    WrittenEntry entry;
    std::string sort_key;  // "YYYYMMDDhhmmssfff", empty when there is no timestamp
    int line;
};

bool read_int(const std::string& text, std::size_t& at, int max_digits, int& value) {
    const std::size_t start = at;
    value = 0;
    while (at < text.size() && at - start < static_cast<std::size_t>(max_digits) &&
           text[at] >= '0' && text[at] <= '9')
        value = value * 10 + (text[at++] - '0');
    return at > start;
}

// D/M/YYYY or M/D/YYYY (also with - or .), with an optional time, as an ISO text.
std::optional<std::string> day_month_form(const std::string& text, CsvOptions::DateOrder order,
                                          int line) {
    std::size_t at = 0;
    int a = 0, b = 0, year = 0;
    if (!read_int(text, at, 2, a) || at >= text.size()) return std::nullopt;
    const char separator = text[at];
    if (separator != '/' && separator != '-' && separator != '.') return std::nullopt;
    ++at;
    if (!read_int(text, at, 2, b) || at >= text.size() || text[at] != separator)
        return std::nullopt;
    ++at;
    const std::size_t year_start = at;
    if (!read_int(text, at, 4, year) || at - year_start != 4) return std::nullopt;
    int day = a, month = b;
    if (order == CsvOptions::DateOrder::month_first) std::swap(day, month);
    if (order == CsvOptions::DateOrder::unknown) {
        if (a > 12 && b <= 12) {
            day = a;
            month = b;
        } else if (b > 12 && a <= 12) {
            day = b;
            month = a;
        } else if (a > 12 && b > 12) {
            return std::nullopt;  // no month either way: not such a date at all
        } else if (a != b) {
            throw CsvInputError("line " + std::to_string(line) + ": the date \"" + text +
                                "\" reads both day-first and month-first; choose --day-first "
                                "or --month-first");
        }
    }
    std::string rest = text.substr(at);
    int hour = 0, minute = 0, second = 0;
    std::string fraction;
    if (!rest.empty()) {
        std::size_t r = rest.find_first_not_of(" T");
        if (r == std::string::npos || r == 0) return std::nullopt;
        if (!read_int(rest, r, 2, hour) || r >= rest.size() || rest[r] != ':') return std::nullopt;
        ++r;
        if (!read_int(rest, r, 2, minute)) return std::nullopt;
        if (r < rest.size() && rest[r] == ':') {
            ++r;
            if (!read_int(rest, r, 2, second)) return std::nullopt;
            if (r < rest.size() && rest[r] == '.') fraction = rest.substr(r);
            r = rest.size();
        }
        if (r != rest.size() && fraction.empty()) return std::nullopt;
    }
    char iso[40];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute,
                  second);
    return std::string(iso) + fraction;
}

std::optional<LogTimestamp> timestamp_of(const std::string& raw, const CsvOptions& options,
                                         int line) {
    const std::string text = lower_trimmed(raw).empty() ? std::string() : raw;
    if (text.empty()) return std::nullopt;
    if (auto stamp = log_timestamp(text, options.local_time)) return stamp;
    if (const auto iso = day_month_form(text, options.date_order, line))
        if (auto stamp = log_timestamp(*iso, options.local_time)) return stamp;
    throw CsvInputError("line " + std::to_string(line) + ": the timestamp \"" + raw +
                        "\" cannot be read (ISO 8601, or D/M/YYYY or M/D/YYYY with a time)");
}

std::string sort_key_of(const LogTimestamp& t) {
    // DD-MM-YYYY and HH:MM:SS.fff into one comparable text.
    return t.date.substr(6, 4) + t.date.substr(3, 2) + t.date.substr(0, 2) + t.time;
}

std::string field(const Record& r, int column) {
    return column >= 0 && static_cast<std::size_t>(column) < r.fields.size()
               ? r.fields[static_cast<std::size_t>(column)]
               : std::string();
}

// The resource and the other columns of a row, empty fields left out.
WrittenEntry extra_fields(const Record& row, const Record& header, const Columns& c) {
    WrittenEntry entry;
    if (const std::string resource = field(row, c.resource); !resource.empty())
        entry.originator = resource;
    for (const int column : c.others)
        if (const std::string value = field(row, column); !value.empty())
            entry.data.emplace_back(field(header, column), value);
    return entry;
}

}  // namespace

std::string csv_to_workflow_log(std::istream& in, const std::string& input_name,
                                const std::string& dtd_url, const CsvOptions& options,
                                std::vector<std::string>* notes) {
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    check_text(text);
    if (const auto problem = xml_text_problem(input_name))
        throw CsvInputError("the input file name holds " + problem->what);
    const char delimiter = options.delimiter.value_or(detect_delimiter(text));
    const std::vector<Record> records = parse_records(text, delimiter);
    if (records.empty()) throw CsvInputError("the file holds no rows");
    const Columns c = columns_of(records.front(), options);
    if (c.header) check_header_names(records.front());
    check_rows(records, c.header);
    if (notes != nullptr && c.header) notes->push_back(columns_text(records.front().fields, c));

    std::vector<std::string> order;
    std::map<std::string, std::vector<Event>> cases;
    for (std::size_t i = c.header ? 1 : 0; i < records.size(); ++i) {
        const Record& r = records[i];
        // The module's first format let its header start with "case".
        if (!c.header && i == 0 && lower_trimmed(field(r, 0)).starts_with("case")) continue;
        const std::string case_id = field(r, c.case_id);
        const std::string activity = field(r, c.activity);
        if (activity.empty())
            throw CsvInputError("line " + std::to_string(r.line) + " has no activity");
        if (cases.find(case_id) == cases.end()) order.push_back(case_id);
        auto& events = cases[case_id];

        std::optional<std::string> kind;
        std::string name = activity;
        if (c.lifecycle >= 0 && !field(r, c.lifecycle).empty()) {
            const std::string transition = field(r, c.lifecycle);
            kind = standard_event_kind(transition);
            if (!kind && options.lifecycle_into_name) {
                name += "+" + transition;
                kind = "complete";
            }
            // An unknown transition leaves the entry without a kind: read as "normal".
        } else {
            // A row without a lifecycle is a complete event, as an XES event without one is.
            kind = "complete";
        }
        const WrittenEntry extra = extra_fields(r, records.front(), c);
        if (c.date >= 0 && c.timestamp < 0 && c.start < 0) {
            // Date and time as the workflow log writes them, passed on as they are.
            WrittenEntry entry = extra;
            entry.task = name;
            entry.kind = kind;
            if (!field(r, c.date).empty()) entry.date = field(r, c.date);
            if (!field(r, c.time).empty()) entry.time = field(r, c.time);
            events.push_back({entry, "", r.line});
            continue;
        }
        const auto start =
            c.start >= 0 ? timestamp_of(field(r, c.start), options, r.line) : std::nullopt;
        if (start) {
            WrittenEntry started = extra;
            started.task = name;
            started.kind = "start";
            started.date = start->date;
            started.time = start->time;
            events.push_back({started, sort_key_of(*start), r.line});
            kind = "complete";
        }
        const auto end = timestamp_of(field(r, c.timestamp), options, r.line);
        WrittenEntry entry = extra;
        entry.task = name;
        entry.kind = kind;
        std::string key;
        if (end) {
            entry.date = end->date;
            entry.time = end->time;
            key = sort_key_of(*end);
        }
        events.push_back({entry, key, r.line});
    }

    WorkflowLogWriter writer(dtd_url, "vesk csv2xml");
    writer.begin_process("1", input_name);
    for (const std::string& id : order) {
        auto& events = cases[id];
        if (options.sort)
            std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
                // Events without a timestamp keep their place after those with one.
                if (a.sort_key.empty() || b.sort_key.empty())
                    return !a.sort_key.empty() && b.sort_key.empty();
                return a.sort_key < b.sort_key;
            });
        writer.begin_instance(id);
        for (const Event& e : events)
            writer.entry(e.entry, "line " + std::to_string(e.line));
    }
    return writer.text();
}

}  // namespace vesk::tools
