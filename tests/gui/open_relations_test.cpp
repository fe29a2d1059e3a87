// Open relations, driven from the main window offscreen: a file that is no relations file
// changes nothing, and the inductive construction after Open relations works on the log the
// relations came from, never on the unrelated log the main window holds.

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "gui/vesk_main.h"
#include "gui/vesk_relations.h"
#include "support/cli_run.h"
#include "support/log_xml.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/window_driving.h"

namespace {

using vesk::testing::find;
using vesk::testing::kPrograms;
using vesk::testing::when_shown;

using Answers = vesk::testing::Scripted<>;

vesk::InspectorDrawing no_drawing() {
    return {"", [] { return std::nullopt; }};
}

// The names of the net's transitions that stand for a task.
std::vector<std::string> visible_transitions(vesk::Tvesk_util& controller) {
    std::vector<std::string> names;
    for (const auto& transition : controller.net().transitions())
        if (transition->task != nullptr) names.push_back(transition->task->name());
    return names;
}

}  // namespace

class OpenRelationsTest : public QObject {
    Q_OBJECT

private slots:
    void aFileThatIsNoRelationsFileChangesNothing() {
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers, no_drawing());
        answers.files.push_back(VESK_EXAMPLE_LOG);
        QTest::mouseClick(find<QPushButton>(window, "open_XML"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(window, "Build_relations_button"), Qt::LeftButton);
        Tvesk_relations_inspector& inspector = window.inspector();
        when_shown(inspector, [&] {
            find<QPushButton>(inspector, "Make_Petrinet_button")->click();
            find<QPushButton>(inspector, "Close_button")->click();
        });
        QTest::mouseClick(find<QPushButton>(window, "edit_relations_button"), Qt::LeftButton);
        const std::vector<std::string> net = visible_transitions(window.controller());
        const int tasks = window.controller().main_task_list().count();
        QVERIFY(!net.empty());
        const char* buttons[] = {"Export_HTML", "edit_relations_button", "Export_relations_button",
                                 "Change_export_pnet_button"};
        for (const char* name : buttons)
            QVERIFY2(find<QPushButton>(window, name)->isEnabled(), name);

        // A log where a relations file was expected.
        answers.warnings.clear();
        answers.files.push_back(VESK_EXAMPLE_LOG);
        QTest::mouseClick(find<QPushButton>(window, "relations_inspector_button"), Qt::LeftButton);
        QVERIFY(!inspector.isVisible());
        QCOMPARE(answers.warnings.size(), std::size_t{1});
        QVERIFY2(answers.warnings.front().find("has no child \"tasks\"") != std::string::npos,
                 answers.warnings.front().c_str());
        for (const char* name : buttons)
            QVERIFY2(find<QPushButton>(window, name)->isEnabled(), name);
        QVERIFY(visible_transitions(window.controller()) == net);
        QCOMPARE(window.controller().main_task_list().count(), tasks);
    }

    void theInductiveConstructionReadsTheLogTheRelationsCameFrom() {
        vesk::test::TempDir dir;
        // The example's relations, written beside a copy of the example log.
        std::filesystem::copy_file(VESK_EXAMPLE_LOG, dir.path() / "example_log.xml");
        const std::string example = (dir.path() / "example_log.xml").string();
        QCOMPARE(vesk::test::run_cli(
                     {"relations", example, "--process", "1", "--out", dir.path().string(), "-q"})
                     .code,
                 0);
        const auto relations = dir.path() / "example_log.xml 1 relations.xml";
        QVERIFY(std::filesystem::exists(relations));
        std::filesystem::copy_file(relations, dir.path() / "no source.xml");

        // The main window holds another log, of tasks a, b and c.
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers, no_drawing());
        answers.files.push_back(dir.write("abc.xml", vesk::test::abc_log_xml(5)));
        QTest::mouseClick(find<QPushButton>(window, "open_XML"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(window, "Build_relations_button"), Qt::LeftButton);

        Tvesk_relations_inspector& inspector = window.inspector();
        std::vector<std::string> net;
        when_shown(inspector, [&] {
            find<QPushButton>(inspector, "Make_Petrinet_inductive_button")->click();
            net = visible_transitions(window.controller());
            find<QPushButton>(inspector, "Close_button")->click();
        });
        answers.files.push_back(relations.string());
        QTest::mouseClick(find<QPushButton>(window, "relations_inspector_button"), Qt::LeftButton);
        QVERIFY(std::find(net.begin(), net.end(), "receive order_complete") != net.end());
        QVERIFY(std::find(net.begin(), net.end(), "a_complete") == net.end());

        // A relations file whose name names no log: the user is told, and no net is made of
        // the unrelated log.
        answers.informations.clear();
        when_shown(inspector, [&] {
            find<QPushButton>(inspector, "Make_Petrinet_inductive_button")->click();
            net = visible_transitions(window.controller());
            find<QPushButton>(inspector, "Close_button")->click();
        });
        answers.files.push_back((dir.path() / "no source.xml").string());
        QTest::mouseClick(find<QPushButton>(window, "relations_inspector_button"), Qt::LeftButton);
        QVERIFY(net.empty());
        QCOMPARE(answers.informations.size(), std::size_t{1});
        QVERIFY(answers.informations.front().find("Open XML log") != std::string::npos);
    }
};

QTEST_MAIN(OpenRelationsTest)
#include "open_relations_test.moc"
