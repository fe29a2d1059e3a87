// The main window's commands without a window: event rules, lists, status texts and failures,
// and an exported relations file equal to the command line's.

#include "ui/main_window_logic.h"
#include "ui/relations_inspector_logic.h"

#include <gtest/gtest.h>

#include "attributes/hand_log.h"

#include <deque>
#include <functional>

#include "support/cli_run.h"
#include "support/log_xml.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

// Dialogs answered from a script; what was shown is kept.
class ScriptedDialogs : public testing::Scripted<UserDialogs> {
public:
    std::vector<std::string> statuses;
    std::vector<InspectorEntry> inspected;
    // What a user does in the inspector before closing it.
    std::function<void(const InspectorEntry&)> in_inspector;
    std::vector<Progress> progressed;
    void status_shown(const std::string& status) override { statuses.push_back(status); }
    void busy(bool) override {}
    void progress(const Progress& progress) override { progressed.push_back(progress); }
    void inspect(const InspectorEntry& entry) override {
        inspected.push_back(entry);
        if (in_inspector) in_inspector(entry);
    }
};

class MainWindowLogicTest : public ::testing::Test {
protected:
    MainWindowLogicTest()
        : folder_(std::filesystem::path(VESK_CLI_PATH).parent_path()),
          logic_(controller_, dialogs_, folder_, folder_) {
        logic_.start();
    }
    std::filesystem::path folder_;
    Tvesk_util controller_;
    ScriptedDialogs dialogs_;
    MainWindowLogic logic_;
};

// A long Build relations tells the window how far the reading and the relations have come.
TEST_F(MainWindowLogicTest, BuildRelationsReportsTheEventsReadAndTheCasesWalked) {
    test::TempDir dir;
    logic_.open_xml_log_file(dir.write("long.xml", test::abc_log_xml(20000)));
    logic_.build_relations();
    std::vector<Progress> reading, building;
    for (const Progress& step : dialogs_.progressed)
        (step.step == "Reading" ? reading : building).push_back(step);
    // 60,000 events: three reports of reading, the share of the file growing short of the
    // whole (the last lines are not read yet at the last report).
    ASSERT_EQ(reading.size(), 3u);
    EXPECT_EQ(reading.front().done, 20000);
    EXPECT_EQ(reading.front().unit, "events");
    double share = 0;
    for (const Progress& step : reading) {
        EXPECT_GT(step.share, share);
        share = step.share;
    }
    EXPECT_LT(share, 1.0);
    EXPECT_GT(share, 0.9);
    // The 20,000th case ends the log.
    ASSERT_EQ(building.size(), 1u);
    EXPECT_EQ(building.front().step, "Building relations");
    EXPECT_EQ(building.front().done, 20000);
    EXPECT_DOUBLE_EQ(building.front().share, 1.0);
    EXPECT_EQ(logic_.state().status, "Relations Built");
}

TEST_F(MainWindowLogicTest, StartSetsTheFoldersTheModulesAndTheEventChoice) {
    const MainWindowState& s = logic_.state();
    EXPECT_EQ(s.output_folder, folder_.string() + "/");
    EXPECT_EQ(s.output_folder2, s.output_folder);
    EXPECT_EQ(s.xml_source.items, (std::vector<std::string>{"csv", "xes", "mxml"}));
    EXPECT_EQ(s.xml_source.selected, 0);
    EXPECT_EQ(s.start_event_choice_1.items, std::vector<std::string>{"complete"});
    EXPECT_EQ(s.status, "Welcome to Vesk");
    EXPECT_FALSE(s.build_relations_enabled);
    EXPECT_FALSE(s.debug_tab_visible);
    logic_.toggle_debug_tab();
    EXPECT_TRUE(logic_.state().debug_tab_visible);
}

TEST_F(MainWindowLogicTest, EventChoiceRules) {
    MainWindowState& s = logic_.state();
    // Withdraw keeps Complete on.
    s.ticked = {.schedule = true,
                .start = false,
                .suspend = false,
                .complete = true,
                .withdraw = true,
                .abort = false};
    logic_.event_choice();
    EXPECT_TRUE(s.ticked.complete);
    EXPECT_TRUE(s.ticked.withdraw);
    // Unticking Complete with Schedule disables and unticks Withdraw and Abort.
    s.ticked.complete = false;
    s.ticked.abort = true;
    logic_.event_choice();
    EXPECT_FALSE(s.enabled.withdraw);
    EXPECT_FALSE(s.ticked.withdraw);
    EXPECT_FALSE(s.enabled.abort);
    EXPECT_FALSE(s.ticked.abort);
    // Suspend brings resume, and its label follows.
    s.ticked = {.schedule = false,
                .start = true,
                .suspend = true,
                .complete = true,
                .withdraw = false,
                .abort = false};
    logic_.event_choice();
    EXPECT_TRUE(s.resume_flag);
    EXPECT_TRUE(s.resume_label_enabled);
    EXPECT_EQ(s.stop_event_choice_2.items,
              (std::vector<std::string>{"start", "suspend", "resume", "complete"}));
    EXPECT_EQ(s.stop_event_choice_2.selected, 0);
    // Next item wraps from the last to the first.
    ChoiceList& list = s.start_event_choice_1;
    list.selected = 3;
    MainWindowLogic::next_item(list);
    EXPECT_EQ(list.selected, 0);
    MainWindowLogic::next_item(list);
    EXPECT_EQ(list.selected, 1);
}

TEST_F(MainWindowLogicTest, BuildAndExportGiveTheCommandLinesRelationsFile) {
    test::TempDir dir;
    dialogs_.files.push_back(std::string(VESK_EXAMPLE_LOG));
    logic_.open_xml_log();
    EXPECT_EQ(dialogs_.opened_in, folder_.string() + "/");  // the example log's folder
    MainWindowState& s = logic_.state();
    EXPECT_EQ(s.available_processes.items.front(), "1 (order handling)");
    EXPECT_TRUE(s.build_relations_enabled);
    s.available_processes.selected = 2;  // "3 (travel approval)": the id is "3"
    s.ticked = {.schedule = true,
                .start = true,
                .suspend = false,
                .complete = true,
                .withdraw = false,
                .abort = false};
    logic_.event_choice();
    s.start_event_choice_1.selected = 1;  // start
    s.stop_event_choice_1.selected = 2;   // complete
    dialogs_.statuses.clear();
    logic_.build_relations();
    EXPECT_EQ(dialogs_.statuses,
              (std::vector<std::string>{"Activating XML file", "Parallel with time 1",
                                        "Relations Built"}));
    EXPECT_EQ(s.process_id, "3");
    EXPECT_TRUE(s.export_relations_enabled);
    dialogs_.folders.push_back(dir.path().string() + "/window/");
    std::filesystem::create_directories(dir.path() / "window");
    logic_.choose_relations_folder();
    logic_.export_relations();
    ASSERT_EQ(test::run_cli({"relations", VESK_EXAMPLE_LOG, "--process", "3", "--events",
                             "schedule,start,complete", "--overlap", "start:complete", "--out",
                             (dir.path() / "shell").string(), "--dtd", s.dtd_rel_url, "-q"})
                  .code,
              0);
    const std::string name = "example_log.xml 3 relations.xml";
    EXPECT_EQ(test::read_file(dir.path() / "window" / name),
              test::read_file(dir.path() / "shell" / name));
}

TEST_F(MainWindowLogicTest, FailuresSayWhatWentWrong) {
    test::TempDir dir;
    logic_.open_xml_log_file(dir.write("broken.xml", "<log><process id=\"1\">"));
    // The message first, then the reason on a line of its own.
    EXPECT_EQ(dialogs_.warnings,
              std::vector<std::string>{"The specified file could not be read.\nline 1: "
                                       "Premature end of data in tag process line 1"});
    EXPECT_EQ(logic_.state().status, "Workflow-log NOT read");
    EXPECT_FALSE(logic_.state().build_relations_enabled);

    // A process without events of the chosen types: the buttons stay off, the status says why.
    logic_.open_xml_log_file(
        dir.write("starts.xml",
                  "<log><process id=\"1\"><i><e><task_name>a</task_name><event kind=\"start\"/>"
                  "</e></i></process></log>"));
    logic_.build_relations();
    EXPECT_EQ(logic_.state().status.rfind("Activating XML file - Relations NOT built: ", 0), 0u)
        << logic_.state().status;
    EXPECT_NE(logic_.state().status.find("no events of the types read"), std::string::npos);
    EXPECT_FALSE(logic_.state().export_relations_enabled);
}

TEST(HelpFile, TopicsMatchHeadingsTrimmedAndInLowerCase) {
    const std::string text =
        "before any heading\n"
        "**Converting log files   \n"
        "first\n"
        "** Exporting a Petrinet\n"
        "not this one: the blank after the stars stays\n"
        "**EXPORTING A PETRINET\n"
        "export\n"
        "**converting LOG files\n"
        "second\n";
    EXPECT_EQ(help_topic("      Conv&erting log files"), "Converting log files");
    EXPECT_EQ(help_section(text, help_topic("      Converting log files")),
              (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(help_section(text, "Exporting a Petrinet"), std::vector<std::string>{"export"});
    EXPECT_TRUE(help_section(text, "Vesk in general").empty());
    EXPECT_EQ(MainWindowLogic::help_caption("      Vesk in general"), "Help on: Vesk in general");
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

// The inspector's road without its window: build the net, replay, close.
void build_and_replay(Tvesk_util& controller, const InspectorEntry& entry,
                      const std::string& work_folder) {
    struct Quiet : testing::Scripted<InspectorDialogs> {
        void edit_relations(RelationsEditorLogic&) override {}
        void busy(bool) override {}
    } quiet;
    RelationsInspectorLogic inspector(controller, quiet,
                                      {work_folder, [] { return std::nullopt; }});
    if (entry.source == InspectorEntry::Source::task_list)
        inspector.open_with_task_list(entry.file, entry.resolve_externals, entry.process);
    else
        inspector.open_with_relations_file(entry.file, entry.resolve_externals);
    inspector.make_petrinet();
    inspector.replay_process();
    inspector.close();
}

TEST_F(MainWindowLogicTest, ExportPetrinetWritesTheCommandLinesFilesAndHonoursTheGroups) {
    test::TempDir dir;
    logic_.open_xml_log_file(VESK_EXAMPLE_LOG);
    logic_.build_relations();
    dialogs_.in_inspector = [&](const InspectorEntry& entry) {
        build_and_replay(controller_, entry, dir.path().string() + "/");
    };
    EXPECT_FALSE(logic_.state().export_html_enabled);
    logic_.edit_relations();
    ASSERT_EQ(dialogs_.inspected.size(), 1u);
    EXPECT_EQ(dialogs_.inspected[0].process, "1");
    EXPECT_TRUE(logic_.state().export_html_enabled);
    EXPECT_TRUE(logic_.state().change_export_pnet_enabled);

    MainWindowState& s = logic_.state();
    s.output_folder = (dir.path() / "window").string() + "/";
    std::filesystem::create_directories(dir.path() / "window");
    logic_.export_petrinet();
    ASSERT_TRUE(dialogs_.warnings.empty()) << dialogs_.warnings.front();
    ASSERT_EQ(test::run_cli({"mine", VESK_EXAMPLE_LOG, "--process", "1", "--out",
                             (dir.path() / "shell").string(), "-q"})
                  .code,
              0);
    for (const char* name : {"example_log.xml 1 low.dot", "example_log.xml 1 high.dot",
                             "example_log.xml 1 .tpn", "Default.htm"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(std::filesystem::exists(dir.path() / "window" / name));
        EXPECT_EQ(test::read_file(dir.path() / "window" / name),
                  test::read_file(dir.path() / "shell" / name));
    }

    // The waiting group ticked with none of its figures: no waiting figures at all; with the
    // group unticked its ticked figures are left out as well.
    s.figure_boxes[0] = {false, false, false, false};
    s.statistic_groups[1] = false;
    logic_.export_petrinet();
    const std::string high = test::read_file(dir.path() / "window" / "example_log.xml 1 high.dot");
    EXPECT_EQ(high.find("Waiting"), std::string::npos);
    EXPECT_EQ(high.find("Sync"), std::string::npos);
    EXPECT_NE(high.find("Sojourn"), std::string::npos);

    s.output_folder = (dir.path() / "missing" / "deeper").string() + "/";
    logic_.export_petrinet();
    EXPECT_EQ(dialogs_.warnings,
              (std::vector<std::string>{
                  "The export file could not be written. Try specifying another path."}));
}

TEST_F(MainWindowLogicTest, OpenRelationsNamesTheExportAfterTheFileAndReportsABadOne) {
    test::TempDir dir;
    logic_.open_xml_log_file(VESK_EXAMPLE_LOG);
    logic_.build_relations();
    logic_.state().output_folder2 = dir.path().string() + "/";
    logic_.export_relations();
    const std::string relations = (dir.path() / "example_log.xml 1 relations.xml").string();
    ASSERT_TRUE(std::filesystem::exists(relations));

    dialogs_.files.push_back(dir.write("broken.xml", "<WF_relations><fact"));
    dialogs_.in_inspector = [&](const InspectorEntry& entry) {
        build_and_replay(controller_, entry, dir.path().string() + "/");
    };
    logic_.open_relations();
    ASSERT_EQ(dialogs_.warnings.size(), 1u);
    EXPECT_EQ(dialogs_.warnings.front().rfind("The specified file could not be read.\nline 1: ", 0),
              0u);
    EXPECT_FALSE(logic_.state().export_html_enabled);

    // A filter box that cannot be read stops the open before anything is reset.
    logic_.state().case_filter.from = "soon";
    dialogs_.files.push_back(relations);
    logic_.open_relations();
    ASSERT_EQ(dialogs_.warnings.size(), 2u);
    EXPECT_EQ(dialogs_.warnings.back().rfind("From takes a date", 0), 0u);
    EXPECT_FALSE(logic_.state().export_html_enabled);
    // The filter boxes hold for the inspector's replay as for a build.
    logic_.state().case_filter = {.top_variants = "1"};
    dialogs_.files.push_back(relations);
    logic_.open_relations();
    EXPECT_EQ(controller_.case_filter().top_variants, 1);
    EXPECT_TRUE(logic_.state().export_html_enabled);
    EXPECT_EQ(logic_.state().output_folder, dir.path().string() + "/");
    EXPECT_EQ(logic_.export_base(), "example_log.xml 1 relations ");
    // The main window's own log is still the one it opened.
    EXPECT_EQ(controller_.log_file_name(), VESK_EXAMPLE_LOG);
}

// Cancelling Open relations keeps the net and the export it made; an empty net is never
// exported over good files; after Open relations the relations file is named after it.
TEST_F(MainWindowLogicTest, NothingIsLostByACancelledOpenOrAnEmptyNet) {
    test::TempDir dir;
    const std::string folder = dir.path().string() + "/";
    const std::filesystem::path tpn = dir.path() / "example_log.xml 1 .tpn";
    Tvesk_util fresh_controller;
    ScriptedDialogs fresh_dialogs;
    MainWindowLogic fresh(fresh_controller, fresh_dialogs, folder_, folder_);
    fresh.state().output_folder = folder;
    fresh.export_petrinet();
    EXPECT_EQ(fresh_dialogs.warnings, std::vector<std::string>{MainWindowLogic::kNoNetToExport});
    EXPECT_FALSE(std::filesystem::exists(tpn));

    logic_.open_xml_log_file(VESK_EXAMPLE_LOG);
    logic_.build_relations();
    dialogs_.in_inspector = [&](const InspectorEntry& entry) {
        build_and_replay(controller_, entry, folder);
    };
    logic_.edit_relations();
    logic_.state().output_folder = folder;
    logic_.export_petrinet();
    const std::string exported = test::read_file(tpn);
    ASSERT_FALSE(exported.empty());
    // The export says what it wrote where: at least the text net and a page per place.
    const std::string& written = logic_.state().written;
    std::size_t count = 0;
    ASSERT_EQ(std::sscanf(written.c_str(), "Wrote %zu files of the net into ", &count), 1)
        << written;
    EXPECT_GT(count, controller_.net().places().size());
    EXPECT_TRUE(written.ends_with(" into " + folder)) << written;
    logic_.open_relations();  // no file chosen
    EXPECT_TRUE(logic_.state().export_html_enabled);
    logic_.export_petrinet();
    EXPECT_EQ(test::read_file(tpn), exported);

    logic_.state().output_folder2 = folder;
    logic_.export_relations();
    const std::string relations = (dir.path() / "example_log.xml 1 relations.xml").string();
    dialogs_.files.push_back(relations);
    logic_.open_relations();
    logic_.export_relations();
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "example_log.xml 1 relations relations.xml"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / " 1 relations.xml"));
}

// A log that cannot be read leaves the one that is open as it was: its name, its processes and
// what Build relations reads.
TEST_F(MainWindowLogicTest, AFailedOpenKeepsTheLogThatWasOpen) {
    test::TempDir dir;
    logic_.open_xml_log_file(VESK_EXAMPLE_LOG);
    const std::vector<std::string> processes = logic_.state().available_processes.items;
    logic_.open_xml_log_file(dir.write("bad.xml", "<WorkFlow_log><process id="));
    ASSERT_EQ(dialogs_.warnings.size(), 1u);
    EXPECT_EQ(dialogs_.warnings.front().rfind("The specified file could not be read.\nline 1: ", 0),
              0u);
    EXPECT_EQ(logic_.state().xml_file_name, VESK_EXAMPLE_LOG);
    EXPECT_EQ(logic_.state().available_processes.items, processes);
    EXPECT_EQ(controller_.log_file_name(), VESK_EXAMPLE_LOG);
    logic_.build_relations();
    EXPECT_EQ(logic_.state().status, "Relations Built");
    EXPECT_EQ(dialogs_.warnings.size(), 1u);
}

// Edit relations and Export relations work on the relations of the open log: a failed build
// or another log turns them off.
TEST_F(MainWindowLogicTest, EditRelationsNeedsRelationsOfTheOpenLog) {
    test::TempDir dir;
    logic_.open_xml_log_file(VESK_EXAMPLE_LOG);
    logic_.build_relations();
    EXPECT_TRUE(logic_.state().edit_relations_enabled);
    const std::string starts = dir.write(
        "starts.xml", test::log_xml({{.id = "s", .cases = {{{"a", "start"}, {"b", "start"}}}}}));
    logic_.open_xml_log_file(starts);
    EXPECT_FALSE(logic_.state().edit_relations_enabled);
    EXPECT_FALSE(logic_.state().export_relations_enabled);
    logic_.build_relations();  // no complete events: nothing is built
    EXPECT_NE(logic_.state().status.find("Relations NOT built"), std::string::npos);
    EXPECT_FALSE(logic_.state().edit_relations_enabled);
}

// The case filter's attribute condition: the key box offers the log's keys from the open on,
// a condition keeps the cases worked out by hand (the hand log: amounts 15000, 500, 20000),
// and one the log cannot take builds nothing and says why.
TEST_F(MainWindowLogicTest, AttributeConditionsFilterTheBuildAndNameTheirFault) {
    test::TempDir dir;
    logic_.open_xml_log_file(dir.write("hand.xes", test::kHandXes));
    const std::vector<std::string>& keys = logic_.state().attribute_keys;
    for (const char* key : {"concept:name", "amount", "rate", "org:resource", "items"})
        EXPECT_NE(std::find(keys.begin(), keys.end(), key), keys.end()) << key;
    logic_.state().case_filter.attribute_key = "amount";
    logic_.state().case_filter.attribute_comparison = ">";
    logic_.state().case_filter.attribute_value = "1000";
    logic_.build_relations();
    EXPECT_EQ(logic_.state().status, "Relations Built (kept 2 of 3 cases)");
    logic_.state().case_filter.attribute_on_events = true;
    logic_.state().case_filter.attribute_key = "org:resource";
    logic_.state().case_filter.attribute_comparison = "=";
    logic_.state().case_filter.attribute_value = "bob";
    logic_.build_relations();
    EXPECT_EQ(controller_.log().size(), 2u);
    logic_.state().case_filter.attribute_key = "amount";
    logic_.state().case_filter.attribute_value = "many";
    logic_.build_relations();
    ASSERT_EQ(dialogs_.warnings.size(), 1u);
    EXPECT_NE(dialogs_.warnings.front().find("\"amount=many\""), std::string::npos)
        << dialogs_.warnings.front();
    EXPECT_FALSE(logic_.state().edit_relations_enabled);
}

}  // namespace
}  // namespace vesk
