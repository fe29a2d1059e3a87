#include "log/vesk_logline_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

#include "base/file_util.h"
#include "base/text_util.h"

namespace vesk {

namespace {

// The characters from 1-based position `first`, at most `count` of them, as far as they exist.
std::string_view copy_chars(std::string_view text, std::size_t first, std::size_t count) {
    if (first > text.size()) return {};
    return text.substr(first - 1, count);
}

// Decimal digits only, at least one, within 32 bits; by digit arithmetic, as every line has
// seven of these.
std::optional<std::int32_t> parse_number(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

// The list's id of each task-event name: one lookup of the task name per entry, the name with
// its event made once.
class NameTable {
public:
    explicit NameTable(Tloglist& lines) : lines_(lines) {}

    std::int32_t name_for(const std::string& task, EventType event) {
        auto it = ids_.find(std::string_view(task));
        if (it == ids_.end()) it = ids_.try_emplace(task, kNoIds).first;
        std::int32_t& id = it->second[static_cast<std::size_t>(event)];
        if (id < 0) {
            refuse_marker_in_name<LogFormatError>(task, "activity");
            id = lines_.intern(task + "_" + event_type_name(event));
        }
        return id;
    }

private:
    static constexpr std::array<std::int32_t, 8> kNoIds = {-1, -1, -1, -1, -1, -1, -1, -1};
    Tloglist& lines_;
    std::unordered_map<std::string, std::array<std::int32_t, 8>, TextHash, std::equal_to<>> ids_;
};

// Lines arrive case by case; a case that holds an unwanted abort or withdraw is dropped whole.
// Counts what the read forgave, without changing what it reads.
class DiagnosticsCollector {
public:
    explicit DiagnosticsCollector(ReadDiagnostics& d) : d_(d) {}

    void entry(const std::optional<std::string>& kind, EventType event) {
        d_.entries = checked_add(d_.entries, 1);
        const std::string_view text = kind ? std::string_view(*kind) : std::string_view();
        const auto same = [&](const ReadDiagnostics::KindCount& k) {
            return k.present == kind.has_value() && k.kind == text;
        };
        // Kinds come in runs (start, complete, start, ...): the last two found are tried first.
        if (last_ >= d_.kinds.size() || !same(d_.kinds[last_])) {
            std::swap(last_, before_);
            if (last_ >= d_.kinds.size() || !same(d_.kinds[last_])) {
                last_ = static_cast<std::size_t>(
                    std::find_if(d_.kinds.begin(), d_.kinds.end(), same) - d_.kinds.begin());
                if (last_ == d_.kinds.size())
                    d_.kinds.push_back({std::string(text), kind.has_value(), 0});
            }
        }
        auto it = d_.kinds.begin() + static_cast<std::ptrdiff_t>(last_);
        it->count = checked_add(it->count, 1);
        if (kind && event == EventType::normal && *kind != "normal") {
            d_.unknown_kind_entries = checked_add(d_.unknown_kind_entries, 1);
            auto& seen = d_.unknown_kinds;
            if (seen.size() < ReadDiagnostics::kSpellingsKept &&
                std::find(seen.begin(), seen.end(), *kind) == seen.end())
                seen.push_back(*kind);
        }
    }

    void passed() { d_.passed_filter = checked_add(d_.passed_filter, 1); }

    void default_date(const std::optional<std::string>& text) {
        if (d_.default_dates == 0) d_.first_bad_date = text;
        d_.default_dates = checked_add(d_.default_dates, 1);
    }

    void default_time(const std::optional<std::string>& text) {
        if (d_.default_times == 0) d_.first_bad_time = text;
        d_.default_times = checked_add(d_.default_times, 1);
    }

private:
    ReadDiagnostics& d_;
    std::size_t last_ = SIZE_MAX;
    std::size_t before_ = SIZE_MAX;
};

class CaseCollector {
public:
    CaseCollector(Tloglist& lines, const Tevent_filter& filter, ReadDiagnostics& diagnostics)
        : lines_(lines), filter_(filter), diagnostics_(diagnostics), names_(lines) {}

    void take(const LogEntryFields& entry) {
        for (const ReadAttribute& attribute : entry.case_attributes)
            lines_.attributes().set_case(entry.case_number, attribute);
        if (entry.case_only) return;
        const EventType event =
            entry.event_kind ? event_type_of(*entry.event_kind) : EventType::normal;
        diagnostics_.entry(entry.event_kind, event);
        if (!passes_event_filter(entry.event_kind, event, filter_)) return;
        diagnostics_.passed();
        if (entry.case_number != current_case_) start_case(entry.case_number);

        Tlog_line& line = lines_.append(names_.name_for(entry.task_name, event), entry.case_number);
        line.set_event_type(event);
        const auto date = entry.date ? parse_log_date(*entry.date) : std::nullopt;
        if (!date) diagnostics_.default_date(entry.date);
        line.set_date(date.value_or(kDefaultDate));
        const auto time = entry.time ? parse_log_time(*entry.time) : std::nullopt;
        if (!time) diagnostics_.default_time(entry.time);
        line.set_time(time.value_or(kDefaultTime));
        for (const ReadAttribute& attribute : entry.attributes)
            lines_.attributes().set_event(lines_.size() - 1, attribute);

        const bool unwanted = (event == EventType::abort && !filter_.abort) ||
                              (event == EventType::withdraw && !filter_.withdraw);
        keep_case_ = keep_case_ && !unwanted;
    }

    void finish() { finish_case(); }

private:
    void start_case(std::int32_t case_number) {
        finish_case();
        current_case_ = case_number;
        case_begin_ = lines_.size();
        keep_case_ = true;
    }

    void finish_case() {
        if (!keep_case_) lines_.truncate(case_begin_);
    }

    Tloglist& lines_;
    const Tevent_filter& filter_;
    DiagnosticsCollector diagnostics_;
    NameTable names_;
    std::int32_t current_case_ = -1;
    std::size_t case_begin_ = 0;
    bool keep_case_ = true;
};

}  // namespace

std::optional<Tdate> parse_log_date(std::string_view text) {
    const auto day = parse_number(copy_chars(text, 1, 2));
    const auto month = parse_number(copy_chars(text, 4, 2));
    const auto year = parse_number(copy_chars(text, 7, 4));
    if (!day || !month || !year) return std::nullopt;
    const Tdate date{*day, *month, *year};
    if (!is_valid_date(date)) return std::nullopt;
    return date;
}

std::optional<Ttime> parse_log_time(std::string_view text) {
    if (text.size() < 5) return std::nullopt;
    const auto hour = parse_number(copy_chars(text, 1, 2));
    const auto minute = parse_number(copy_chars(text, 4, 2));
    const auto second = text.size() > 7 ? parse_number(copy_chars(text, 7, 2)) : 0;
    const auto millisecond =
        text.size() > 9 ? parse_number(copy_chars(text, 10, std::string_view::npos)) : 0;
    if (!hour || !minute || !second || !millisecond) return std::nullopt;
    const Ttime time{*hour, *minute, *second, *millisecond};
    if (!is_valid_time(time)) return std::nullopt;
    return time;
}

bool passes_event_filter(const std::optional<std::string>& kind, EventType event,
                         const Tevent_filter& filter) {
    if (!kind) return true;
    switch (event) {
        case EventType::complete:
            return filter.complete;
        case EventType::schedule:
            return filter.schedule;
        case EventType::start:
            return filter.start;
        case EventType::suspend:
            return filter.suspend;
        case EventType::resume:
            return filter.resume;
        case EventType::abort:
        case EventType::withdraw:
            return true;
        case EventType::normal:
            return *kind == "normal";  // an unknown kind is not read
    }
    return false;
}

bool passes_event_filter(const std::optional<std::string>& kind, const Tevent_filter& filter) {
    return passes_event_filter(kind, kind ? event_type_of(*kind) : EventType::normal, filter);
}

ProcessLog read_process_log(const WorkflowLogFile& file, const std::string& process_id,
                            const Tevent_filter& filter, const ProgressCallback& progress,
                            ReadThreads threads) {
    ProcessLog result;
    CaseCollector collector(result.lines, filter, result.diagnostics);
    std::int64_t events = 0;
    const std::int64_t bytes = progress ? content_size(file.path()) : 0;
    const auto take = [&](const LogEntryFields& entry) {
        collector.take(entry);
        if (!progress || ++events % kProgressEvery != 0) return;
        const double share =
            bytes > 0 ? std::min(1.0, static_cast<double>(entry.bytes_parsed) / bytes) : -1;
        progress({"Reading", events, 0, share, "events"});
    };
    const ProcessHeader header = read_process_entries(file, process_id, take, threads);
    collector.finish();
    result.description = header.description.value_or("none");
    result.case_count = header.case_count;
    result.diagnostics.refused_entities = header.refused_entities;
    result.diagnostics.format_notes = header.notes;
    compute_loop_information(result.lines);
    return result;
}

}  // namespace vesk
