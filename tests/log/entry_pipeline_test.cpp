// The XML pass on a thread of its own must give what the pass on the calling thread gives: the
// same lines, diagnostics and header, the same error at the same entry, and a stop from the
// handler must end the pass.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "log/vesk_logline_reader.h"
#include "support/log_xml.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

Tevent_filter every_event_type() {
    return {true, true, true, true, true, true, true};
}

// Everything a read produced, as text, so that two reads compare in one assertion.
std::string dump(const ProcessLog& log) {
    std::ostringstream out;
    out << log.description << ' ' << log.case_count << '\n';
    for (const Tlog_line& line : log.lines) {
        const Tdate d = line.date();
        const Ttime t = line.time();
        out << line.case_number() << ' ' << log.lines.name(line) << ' '
            << static_cast<int>(line.event_type()) << ' ' << d.day << '-' << d.month << '-'
            << d.year << ' ' << t.hour << ':' << t.minute << ':' << t.second << '.' << t.millisecond
            << ' ' << line.loop_length;
        for (const std::int32_t partner : log.lines.two_loop_partners(line))
            out << ' ' << log.lines.name_of(partner);
        out << '\n';
    }
    const ReadDiagnostics& r = log.diagnostics;
    out << r.entries << ' ' << r.passed_filter << ' ' << r.unknown_kind_entries << ' '
        << r.default_dates << ' ' << r.default_times << ' ' << r.first_bad_date.value_or("-") << ' '
        << r.first_bad_time.value_or("-") << ' ' << r.format_notes.missing_timestamps << ' '
        << r.format_notes.bad_timestamps << ' ' << r.format_notes.unmapped_transitions;
    for (const auto& kind : r.kinds)
        out << ' ' << kind.kind << '=' << kind.count;
    return out.str();
}

void expect_same_reads(const std::string& path, const Tevent_filter& filter) {
    const WorkflowLogFile file(path, false);
    const std::string id = file.list_processes().front().id;
    const ProcessLog one = read_process_log(file, id, filter, {}, ReadThreads::one);
    const ProcessLog two = read_process_log(file, id, filter, {}, ReadThreads::two);
    EXPECT_GT(one.lines.size(), 0u) << path;
    EXPECT_EQ(dump(one), dump(two)) << path;
}

TEST(EntryPipeline, BothPlacesOfThePassReadTheSame) {
    const test::TempDir dir;
    // Many batches, a loop in every case and a case of a bad date and time at the end.
    test::Process process;
    for (int c = 0; c < 3000; ++c)
        process.cases.push_back({{"a"}, {"b", "start"}, {"a"}, {"c", "suspend"}, {"a"}});
    process.cases.push_back({{"x", "complete", "31-02-2002", "25:00"}});
    expect_same_reads(dir.write("log.xml", test::log_xml({process})), every_event_type());
    expect_same_reads(dir.write("log.xml", test::log_xml({process})), test::complete_only());

    const std::filesystem::path shared = VESK_SHARED_XES;
    for (const char* name : {"running-example.xes", "interval_event_log.xes", "helpdesk.xes.gz",
                             "bpic2012.xes.gz", "08_receipt.xes.gz"}) {
        if (!std::filesystem::exists(shared / name)) continue;
        expect_same_reads((shared / name).string(), every_event_type());
    }
}

TEST(EntryPipeline, ABrokenFileFailsAfterTheSameEntries) {
    const test::TempDir dir;
    const std::string xml = test::abc_log_xml(4000);
    const WorkflowLogFile file(dir.write("broken.xml", xml.substr(0, xml.size() * 2 / 3)), false);
    std::vector<std::string> messages;
    std::vector<std::int64_t> entries;
    for (const ReadThreads threads : {ReadThreads::one, ReadThreads::two}) {
        std::int64_t seen = 0;
        try {
            read_process_entries(
                file, "1", [&seen](const LogEntryFields&) { ++seen; }, threads);
            ADD_FAILURE() << "a broken file was read";
        } catch (const XmlReadError& error) {
            messages.push_back(error.what());
        }
        entries.push_back(seen);
    }
    EXPECT_EQ(messages[0], messages[1]);
    EXPECT_EQ(entries[0], entries[1]);
    EXPECT_GT(entries[0], 2048);  // more than one batch was handed over
}

TEST(EntryPipeline, AHandlerThatStopsEndsThePass) {
    const test::TempDir dir;
    const WorkflowLogFile file(dir.write("log.xml", test::abc_log_xml(20000)), false);
    struct Stop {};
    std::int64_t seen = 0;
    const auto stop_at_5000 = [&seen](const LogEntryFields&) {
        if (++seen == 5000) throw Stop{};
    };
    EXPECT_THROW(read_process_entries(file, "1", stop_at_5000, ReadThreads::two), Stop);
    EXPECT_EQ(seen, 5000);
}

}  // namespace
}  // namespace vesk
