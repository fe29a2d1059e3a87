#include "control/read_warnings.h"

#include "xml/xml_entities.h"

namespace vesk {

namespace {

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string kind_list(const ReadDiagnostics& d) {
    std::string text;
    for (const auto& kind : d.kinds) {
        if (!text.empty()) text += ", ";
        text += (kind.present ? quoted(kind.kind) : std::string("no kind")) + " " +
                std::to_string(kind.count);
    }
    return text;
}

std::string entries(std::int32_t count) {
    return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

// Adds the warning to both lists.
void add(ReadWarnings& result, std::string kind, std::int64_t count, std::string example,
         std::string text) {
    result.warnings.push_back(text);
    result.details.push_back({std::move(kind), count, std::move(example), std::move(text)});
}

std::string first_of(const std::vector<std::string>& texts) {
    return texts.empty() ? std::string() : texts.front();
}

std::string first_text(const std::optional<std::string>& text, const char* missing) {
    return text ? "the first reads " + quoted(*text) : std::string("the first has no ") + missing;
}

}  // namespace

std::string event_types_read(const Tevent_filter& f) {
    std::string text;
    const auto add = [&text](bool on, const char* name) {
        if (!on) return;
        if (!text.empty()) text += ", ";
        text += name;
    };
    add(f.schedule, "schedule");
    add(f.start, "start");
    add(f.suspend, "suspend");
    add(f.resume, "resume");
    add(f.complete, "complete");
    add(f.withdraw, "withdraw");
    add(f.abort, "abort");
    return text.empty() ? "none" : text;
}

namespace {

// Why nothing of the process was kept.
std::string nothing_read_text(const ReadDiagnostics& d, const Tevent_filter& filter,
                              const std::string& process_id) {
    if (d.entries == 0) return "process " + process_id + " has no audit trail entries";
    if (d.passed_filter == 0)
        return "process " + process_id + " has no events of the types read (" +
               event_types_read(filter) + "); its " + entries(d.entries) +
               " have the event kinds " + kind_list(d);
    return "every case of process " + process_id +
           " was dropped: each holds an abort or withdraw event, and those are not read (" +
           event_types_read(filter) + ")";
}

std::string spelling_list(const std::vector<std::string>& spellings) {
    std::string text;
    for (const std::string& spelling : spellings)
        text += (text.empty() ? "" : ", ") + quoted(spelling);
    return text;
}

// What the XES and MXML readers could not map.
void add_format_warnings(const FormatNotes& notes, ReadWarnings& result) {
    if (notes.unmapped_transitions > 0)
        add(result, "unmapped_lifecycle_transition", notes.unmapped_transitions,
            first_of(notes.unmapped_spellings),
            std::to_string(notes.unmapped_transitions) +
                " events have a lifecycle transition that is none of schedule, start, "
                "suspend, resume, complete, withdraw, abort (" +
                spelling_list(notes.unmapped_spellings) +
                "); they were read without a kind, as \"normal\" (--lifecycle-into-name "
                "keeps them apart in the names instead)");
    if (!notes.skipped_nested_keys.empty())
        add(result, "nested_attribute", static_cast<std::int64_t>(notes.skipped_nested_keys.size()),
            notes.skipped_nested_keys.front(),
            "list and container attributes are not read: " +
                spelling_list(notes.skipped_nested_keys));
    if (!notes.event_log) return;
    // The timestamps of an XES or MXML log stand for both the date and the time.
    if (notes.missing_timestamps > 0)
        add(result, "missing_timestamp", notes.missing_timestamps, "",
            std::to_string(notes.missing_timestamps) +
                " events have no timestamp; they count as 01-01-2002 12:00");
    if (notes.bad_timestamps > 0)
        add(result, "unreadable_timestamp", notes.bad_timestamps,
            notes.first_bad_timestamp.value_or(""),
            std::to_string(notes.bad_timestamps) +
                " timestamps could not be read (the first reads " +
                quoted(notes.first_bad_timestamp.value_or("")) +
                "); they count as 01-01-2002 12:00. Timestamps are read as ISO 8601, "
                "YYYY-MM-DDTHH:MM:SS[.fff][Z|+HH:MM], years 1 to 9999");
}

}  // namespace

ReadWarnings read_warnings(const ReadDiagnostics& d, const Tevent_filter& filter,
                           const std::string& process_id, std::size_t kept_lines,
                           const CaseFilterResult& cases) {
    ReadWarnings result;
    if (kept_lines == 0) {
        result.nothing_read = true;
        result.filtered_out = cases.total > 0 && cases.kept == 0;
        add(result, "nothing_read", d.entries, "",
            result.filtered_out
                ? "process " + process_id + ": the case filter " + case_filter_removals_text(cases)
                : nothing_read_text(d, filter, process_id));
    }
    if (d.unknown_kind_entries > 0)
        add(result, "unknown_event_kind", d.unknown_kind_entries, first_of(d.unknown_kinds),
            entries(d.unknown_kind_entries) +
                " have an event kind that is none of schedule, start, suspend, resume, "
                "complete, withdraw, abort, normal (" +
                spelling_list(d.unknown_kinds) +
                "); kinds are compared exactly, so these entries were dropped by the "
                "event filter or read as \"normal\"");
    const FormatNotes& notes = d.format_notes;
    add_format_warnings(notes, result);
    if (d.default_dates > 0 && !notes.event_log)
        add(result, "unreadable_date", d.default_dates, d.first_bad_date.value_or(""),
            entries(d.default_dates) + " have no readable date (" +
                first_text(d.first_bad_date, "date") +
                "); they count as 01-01-2002. Dates are read as DD-MM-YYYY");
    if (d.default_times > 0 && !notes.event_log)
        add(result, "unreadable_time", d.default_times, d.first_bad_time.value_or(""),
            entries(d.default_times) + " have no readable time (" +
                first_text(d.first_bad_time, "time") +
                "); they count as 12:00. Times are read as HH:MM[:SS[.fff]]");
    if (!d.refused_entities.empty())
        add(result, "refused_entity", static_cast<std::int64_t>(d.refused_entities.size()),
            d.refused_entities.front(), refusal_text(d.refused_entities));
    return result;
}

std::string refused_entities_warning(const std::vector<std::string>& refused) {
    return refusal_text(refused);
}

}  // namespace vesk
