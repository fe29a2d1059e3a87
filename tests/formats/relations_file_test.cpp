#include "formats/vesk_task_relations_file.h"

#include <gtest/gtest.h>

#include <random>

#include "log/vesk_logline_reader.h"
#include "mining/vesk_task_build.h"
#include "support/cli_run.h"
#include "support/task_dump.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using test::names;

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

TEST(RelationsWriter, EmptyTaskListWritesTheFrameOnly) {
    Towned_tasklist tasks;
    EXPECT_EQ(relations_file_text(tasks, "x.dtd", '.'),
              crlf({"<?xml version=\"1.0\"?>", "<!DOCTYPE WF_relations SYSTEM \"x.dtd\">",
                    "<WF_relations>", "  <tasks>", "  </tasks>", "  <facts>", "  </facts>",
                    "</WF_relations>"}));
}

TEST(RelationsWriter, TasksAndFactsByteForByte) {
    Towned_tasklist tasks;
    Ttask* a = tasks.create("check_in_complete");
    Ttask* b = tasks.create("R&D <1> \"x\"_normal");
    Ttask* c = tasks.create("plain_start");
    a->is_trace_start = true;
    b->is_trace_end = true;
    b->loop_length = 2;
    c->loop_length = 2;
    c->times_in_log = 0;
    b->tasks_in_two_loop.add(a);
    for (int i = 0; i < 3; ++i)
        a->record_successor(b);
    b->record_predecessor(a);
    b->record_successor(c);
    c->record_predecessor(b);
    a->add_long_successor(c, 2);
    EXPECT_EQ(relations_file_text(tasks, "http://host/WF_relations.dtd", ','),
              test::golden("relations/small_task_list/expected.xml"));
}

class RelationsReaderTest : public ::testing::Test {
protected:
    void read(const std::string& body) {
        const std::string path = dir_.write("r.xml", "<WF_relations>" + body + "</WF_relations>");
        read_relations_file(tasks_, document_, path, facts_, sink_);
    }
    test::TempDir dir_;
    XmlDocument document_;
    Towned_tasklist tasks_;
    Tfactslist facts_{tasks_};
    RecordingSink sink_;
};

TEST_F(RelationsReaderTest, TaskDefaultsAndLeniency) {
    read(
        "<tasks>"
        "<task name='a' kind='complete'><is_trace_start>TRUE</is_trace_start>"
        "<is_trace_end>true</is_trace_end><loop_length>0</loop_length></task>"
        "<!-- not a task -->"
        "<task name='b'><loop_length>2</loop_length><times_in_log>7</times_in_log>"
        "<tasks_in_two_loop><task_ref name_ref='c' kind_ref='start'/>"
        "<task_ref name_ref='nobody'/><task_ref name_ref='a' kind_ref='complete'/>"
        "</tasks_in_two_loop></task>"
        "<task name='c' kind='start'><loop_length>x</loop_length></task>"
        "<task name='d' kind=''><loop_length>-3</loop_length><times_in_log>0</times_in_log>"
        "</task>"
        "</tasks><facts/>");
    ASSERT_EQ(tasks_.count(), 4);
    EXPECT_EQ(tasks_.name_at(1), "b_normal");
    EXPECT_EQ(tasks_.name_at(3), "d_normal");
    const Ttask& a = *tasks_.get(0);
    EXPECT_FALSE(a.is_trace_start);
    EXPECT_TRUE(a.is_trace_end);
    EXPECT_EQ(a.loop_length, kNone);
    EXPECT_EQ(tasks_.get(1)->loop_length, 2);
    EXPECT_EQ(tasks_.get(1)->times_in_log, 7);
    EXPECT_EQ(tasks_.get(2)->loop_length, kNone);
    EXPECT_EQ(tasks_.get(3)->loop_length, -3);
    EXPECT_EQ(tasks_.get(3)->times_in_log, 1);
    // A reference to a later task resolves; an unknown one ends the list.
    EXPECT_EQ(names(tasks_.get(1)->tasks_in_two_loop), "c_start");
    EXPECT_EQ(names(tasks_.get(2)->tasks_in_two_loop), "b_normal");
    EXPECT_TRUE(sink_.messages.empty());
}

TEST_F(RelationsReaderTest, FactDefaultsAndTheMissingDistanceWarning) {
    read(
        "<tasks><task name='a' kind='complete'/><task name='b'/></tasks><facts>"
        "<fact kind='succ' certainty='0,25'><task1 id='a' kind='complete'/><task2 id='b'/></fact>"
        "<fact kind='Succ' certainty=''><task1 id='a' kind='complete'/><task2 id='b'/></fact>"
        "<fact certainty='1E-6'><task1 id='b'/><task2 id='b'/></fact>"
        "<fact kind='excl'><task1 id='b'/><task2 id='a' kind='complete'/></fact>"
        "<fact kind='long_succ'><task1 id='a' kind='complete'/><task2 id='b'/></fact>"
        "<fact kind='long_succ'><task1 id='b'/><task2 id='b'/><distance>4</distance></fact>"
        "<fact kind='long_succ'><task1 id='b'/><task2 id='a'/><distance/></fact>"
        "<fact kind='caus'><task1 id='zzz'/><task2 id='b'/></fact>"
        "</facts>");
    ASSERT_EQ(facts_.count(), 6);  // the last two name tasks that were never declared
    EXPECT_DOUBLE_EQ(facts_.get(0)->certainty, 0.25);
    EXPECT_EQ(facts_.get(1)->kind, Trelation_kind::succ);
    EXPECT_EQ(facts_.get(1)->distance, 1);  // a direct succession is at distance 1
    EXPECT_DOUBLE_EQ(facts_.get(1)->certainty, 1.0);
    EXPECT_DOUBLE_EQ(facts_.get(2)->certainty, 1e-6);
    EXPECT_EQ(facts_.get(3)->kind, Trelation_kind::excl);
    EXPECT_EQ(facts_.get(4)->distance, 0);
    EXPECT_EQ(facts_.get(5)->distance, 4);
    EXPECT_FALSE(facts_.get(0)->used);
    // Two facts without a distance, two warnings, even for the fact that is then dropped.
    ASSERT_EQ(sink_.messages.size(), 2u);
    EXPECT_EQ(sink_.messages[0].text, kMissingDistanceWarning);
    EXPECT_EQ(sink_.messages[0].level, RecordingSink::Level::warning);
    // Nothing is switched on yet, so the tasks carry no relations.
    EXPECT_TRUE(tasks_.get(0)->successor_counts().empty());
    EXPECT_TRUE(tasks_.get(0)->causal_successors().empty());
}

TEST_F(RelationsReaderTest, MissingSectionsAndBrokenFilesAreErrors) {
    EXPECT_THROW(read("<facts/>"), LogFormatError);
    EXPECT_THROW(read("<tasks/>"), LogFormatError);
    EXPECT_THROW(read("<tasks>"), XmlReadError);
}

TEST(Certainty, AnySeparatorReadsAndUnreadableTextGivesOne) {
    EXPECT_DOUBLE_EQ(parse_certainty("0.5"), 0.5);
    EXPECT_DOUBLE_EQ(parse_certainty("0,5"), 0.5);
    EXPECT_DOUBLE_EQ(parse_certainty("1"), 1.0);
    EXPECT_DOUBLE_EQ(parse_certainty("0.333333333333333"), 0.333333333333333);
    EXPECT_DOUBLE_EQ(parse_certainty("2,5E-6"), 2.5e-6);
    EXPECT_DOUBLE_EQ(parse_certainty(""), 1.0);
    EXPECT_DOUBLE_EQ(parse_certainty("abc"), 1.0);
}

// Random logs: a written file reads back to the same tasks and facts; after one open and apply
// (which turns each direct succession into one count), writing is a fixed point.
TEST(RelationsRoundTrip, WriteReadWriteOnRandomLogs) {
    std::mt19937 random(7);
    const char* const task_names[] = {"A_complete", "B&C_complete", "x_y_start", "D_start",
                                      "A_start"};
    std::uniform_int_distribution<int> pick(0, 4), length(1, 9), cases(1, 5);
    test::TempDir dir;
    for (int round = 0; round < 300; ++round) {
        Tloglist log;
        for (int c = cases(random); c > 0; --c)
            for (int i = length(random); i > 0; --i)
                log.emplace_back(task_names[pick(random)], c);
        compute_loop_information(log);
        Towned_tasklist built;
        build_task_list(log, built);
        const std::string first = relations_file_text(built, "d.dtd", '.');
        Tfactslist written(built);
        written.build_from_tasks();

        const auto read_back = [&](const std::string& text, Towned_tasklist& tasks,
                                   Tfactslist& facts) {
            XmlDocument document;
            RecordingSink sink;
            read_relations_file(tasks, document, dir.write("r.xml", text), facts, sink);
            EXPECT_TRUE(sink.messages.empty());
        };
        Towned_tasklist tasks;
        Tfactslist facts(tasks);
        read_back(first, tasks, facts);
        ASSERT_EQ(tasks.count(), built.count());
        for (std::int32_t i = 0; i < tasks.count(); ++i) {
            EXPECT_EQ(tasks.get(i)->name(), built.get(i)->name());
            EXPECT_EQ(tasks.get(i)->loop_length, built.get(i)->loop_length);
            EXPECT_EQ(tasks.get(i)->is_trace_start, built.get(i)->is_trace_start);
            EXPECT_EQ(tasks.get(i)->is_trace_end, built.get(i)->is_trace_end);
            // References are read both ways, so a read list may hold more partners.
            if (built.get(i)->loop_length != 2) continue;
            for (const Ttask* partner : built.get(i)->tasks_in_two_loop)
                EXPECT_NE(tasks.get(i)->tasks_in_two_loop.find_task(partner), nullptr);
        }
        ASSERT_EQ(facts.count(), written.count());
        for (std::int32_t i = 0; i < facts.count(); ++i) {
            EXPECT_EQ(fact_text(*facts.get(i)), fact_text(*written.get(i)));
            EXPECT_EQ(facts.get(i)->distance, written.get(i)->distance);
            EXPECT_NEAR(facts.get(i)->certainty, written.get(i)->certainty, 1e-14);
        }

        facts.mark_all_used();
        facts.sort();
        facts.apply_to_tasks(tasks);
        const std::string second = relations_file_text(tasks, "d.dtd", '.');
        Towned_tasklist again;
        Tfactslist again_facts(again);
        read_back(second, again, again_facts);
        again_facts.mark_all_used();
        again_facts.sort();
        again_facts.apply_to_tasks(again);
        ASSERT_EQ(relations_file_text(again, "d.dtd", '.'), second) << "round " << round;
    }
}

}  // namespace
}  // namespace vesk
