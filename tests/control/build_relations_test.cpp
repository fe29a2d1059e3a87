#include "control/build_relations.h"

#include <gtest/gtest.h>

#include "control/relations_inspection.h"
#include "support/log_xml.h"
#include "support/task_dump.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using test::Entry;
using test::Process;

class BuildRelationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string log = test::log_xml({Process{
            .cases = {{Entry{"P", "complete"}, Entry{"A", "start"}, Entry{"B", "start"},
                       Entry{"A", "complete"}, Entry{"B", "complete"}, Entry{"Q", "complete"}}}}});
        controller_.load_log(dir_.write("log.xml", log), false);
        request_.process_id = "1";
        request_.events = apply_event_choice({.schedule = false,
                                              .start = true,
                                              .suspend = false,
                                              .complete = true,
                                              .withdraw = false,
                                              .abort = false});
    }
    test::TempDir dir_;
    Tvesk_util controller_;
    BuildRelationsRequest request_;
};

TEST_F(BuildRelationsTest, StatusLineAndOverlapVariantsInOrder) {
    request_.overlaps = {{"start", "start"}, {"start", "complete"}};
    std::vector<std::string> statuses;
    build_relations(controller_, request_,
                    [&statuses](const std::string& status) { statuses.push_back(status); });
    EXPECT_EQ(statuses, (std::vector<std::string>{"Activating XML file", "Parallel with time 2",
                                                  "Relations Built"}));
    const Ttask* b_start = controller_.main_task_list().find_by_name("B_start");
    EXPECT_EQ(test::names(b_start->parallel()), "A_start A_complete");
}

TEST_F(BuildRelationsTest, ExportedRelationsReopenWithoutContradictions) {
    build_relations(controller_, request_);
    const auto path = controller_.write_relations(dir_.path(), "log.xml 1 relations", "r.dtd");
    EXPECT_EQ(path.filename(), "log.xml 1 relations.xml");
    EXPECT_EQ(relations_file_base_name("/some/where/log.xml", "1"), "log.xml 1 relations");

    Tvesk_util reopened;
    RelationsInspection inspection(reopened);
    RecordingSink sink;
    inspection.open_with_relations_file(path.string(), false, sink);
    EXPECT_TRUE(inspection.erroneous_sets().empty());
    EXPECT_EQ(reopened.main_task_list().count(), controller_.main_task_list().count());
    // Sorted by task1 name, all switched on.
    const Tfactslist& facts = inspection.facts();
    ASSERT_GT(facts.count(), 0);
    EXPECT_EQ(facts.get(0)->task1->name(), "A_complete");
    for (const Tfact& fact : facts.facts())
        EXPECT_TRUE(fact.used);

    inspection.apply();
    std::vector<std::string> before, after;
    controller_.relations_text(before);
    reopened.relations_text(after);
    EXPECT_EQ(before.size(), after.size());
}

TEST_F(BuildRelationsTest, ContradictingFactsFormErroneousSets) {
    build_relations(controller_, request_);
    RelationsInspection inspection(controller_);
    inspection.open_with_task_list();
    EXPECT_TRUE(inspection.erroneous_sets().empty());
    Tfactslist& facts = inspection.facts();
    Ttask* p = controller_.main_task_list().find_by_name("P_complete");
    Ttask* a = controller_.main_task_list().find_by_name("A_start");
    Tfact contradiction(a, 0, 1.0, Trelation_kind::caus, p);
    contradiction.used = true;
    facts.add(contradiction);
    inspection.check_relations();
    ASSERT_EQ(inspection.erroneous_sets().size(), 1u);
}

}  // namespace
}  // namespace vesk
