// The main window driven as a user drives it, offscreen: controls found by their names.

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>

#include "gui/application_identity.h"
#include "gui/qt_modal_dialogs.h"
#include "gui/vesk_help.h"
#include "gui/vesk_main.h"
#include "gui/vesk_out_folder.h"
#include "support/cli_run.h"
#include "support/log_xml.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace {

using Answers = vesk::testing::Scripted<>;

const std::filesystem::path kPrograms = std::filesystem::path(VESK_CLI_PATH).parent_path();

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    template <typename T>
    static T* find(QWidget& window, const char* name) {
        T* child = window.findChild<T*>(name);
        if (child == nullptr) qFatal("no control %s", name);
        return child;
    }

    // The user picks the file in the Open XML log dialog.
    static void open_log(TVesk_mainform& window, Answers& answers, const std::string& path) {
        answers.files.push_back(path);
        QTest::mouseClick(find<QPushButton>(window, "open_XML"), Qt::LeftButton);
    }

private slots:
    // Cancel stops a long read: nothing is built, the commands that need relations stay off,
    // and the button is gone again.
    void cancelStopsALongRead() {
        vesk::test::TempDir dir;
        const std::string log = dir.write("long.xml", vesk::test::abc_log_xml(20000));
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers);
        window.show();
        open_log(window, answers, log);
        auto* cancel = find<QPushButton>(window, "Cancel_button");
        QVERIFY(!cancel->isVisible());
        // The user's click, taken while the window paints between two steps of the read.
        bool shown = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (!cancel->isVisible()) return;
            shown = true;
            cancel->click();
        });
        poll.start(0);
        find<QPushButton>(window, "Build_relations_button")->click();
        poll.stop();
        QVERIFY(shown);
        const QString status = find<QLabel>(window, "Current_status2")->text();
        QVERIFY2(status.endsWith("Relations NOT built: cancelled"), qPrintable(status));
        QVERIFY(!find<QPushButton>(window, "edit_relations_button")->isEnabled());
        QVERIFY(!find<QPushButton>(window, "Process_map_button")->isEnabled());
        QVERIFY(!cancel->isVisible());
        QVERIFY(find<QPushButton>(window, "Build_relations_button")->isEnabled());
    }

    // A click made while Build relations runs is dropped, not queued to run the build again.
    void aClickDuringALongCommandIsDropped() {
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers);
        window.show();
        open_log(window, answers, VESK_EXAMPLE_LOG);
        auto* build = find<QPushButton>(window, "Build_relations_button");
        int builds = 0;
        connect(build, &QPushButton::clicked, [&builds] { ++builds; });
        // The user's second click, waiting in the queue while the first one runs.
        const QPoint centre = build->rect().center();
        const QPointF global = build->mapToGlobal(QPointF(centre));
        QCoreApplication::postEvent(
            build, new QMouseEvent(QEvent::MouseButtonPress, QPointF(centre), global,
                                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            build, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(centre), global,
                                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        build->click();
        QCoreApplication::processEvents();
        QCOMPARE(builds, 1);
        QCOMPARE(find<QLabel>(window, "Current_status2")->text(), QString("Relations Built"));
        QVERIFY(find<QTabWidget>(window, "TabControl")->isEnabled());
    }

    // A mouse reaches the drop-down lists' double click: two presses in a row move to the next
    // item and the list stays closed; one press opens the list after the double-click time.
    void twoPressesMoveADropDownListOnAndOneOpensIt() {
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers);
        window.show();
        auto* box = find<QComboBox>(window, "XML_source");
        QVERIFY(box->count() >= 2);
        const QString first = box->itemText(0);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->currentText(), box->itemText(1));
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QVERIFY(!box->view()->isVisible());
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(!box->view()->isVisible());
        QTRY_VERIFY(box->view()->isVisible());
        box->hidePopup();
        QVERIFY(box->currentText() != first);
    }

    // A right click on a text box shows the help, as anywhere else in the window.
    void aRightClickOnATextBoxShowsTheHelp() {
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers);
        window.show();
        auto* line = find<QLineEdit>(window, "DTD_LOG_URL");
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                                line->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(line, &click);
        QTRY_VERIFY(window.help_menu().isVisible());
        window.help_menu().hide();
    }

    // A message raised while a modal window (the relations editor) is open belongs to it, so
    // that it opens in front of it instead of behind it.
    void aMessageBelongsToTheModalWindowInFront() {
        QWidget main_window;
        Tvesk_out_form folder(&main_window);
        QtModalDialogs dialogs(&main_window, folder);
        QDialog editor(&main_window);
        editor.setModal(true);
        QWidget* parent_seen = nullptr;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (box != nullptr) {
                    parent_seen = box->parentWidget();
                    box->accept();
                }
                editor.reject();
            });
            dialogs.warning("The distance must be a number");
        });
        editor.exec();
        QCOMPARE(parent_seen, static_cast<QWidget*>(&editor));
    }

    // The caption is the window's own: nothing is appended to it or to a message box's title.
    void theCaptionIsVeskAlone() {
        identify_application();
        QCOMPARE(QGuiApplication::applicationDisplayName(), QApplication::applicationName());
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers);
        QCOMPARE(window.windowTitle(), QString("Vesk V2.10"));
    }

    // The open dialog shows every log Vesk reads at first, and each pattern once.
    void theOpenDialogFiltersShowEveryLogFirst() {
        const QStringList filters = qt_file_filter(vesk::kXmlLogFilter).split(";;");
        QCOMPARE(filters.first(),
                 QString("Logs Vesk reads (*.xml *.XML *.xes *.xes.gz *.mxml *.mxml.gz)"));
        QCOMPARE(filters.at(1), QString("XML files (*.xml *.XML)"));
        for (const QString& filter : filters)
            QVERIFY2(filter.count('(') == 1, qPrintable(filter));
    }

    void startsWithTheDefaultsOfEveryControl() {
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers);
        QCOMPARE(window.windowTitle(), QString("Vesk V2.10"));
        auto* tabs = find<QTabWidget>(window, "TabControl");
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(!tabs->isTabVisible(3));
        QVERIFY(find<QCheckBox>(window, "Complete")->isChecked());
        QVERIFY(!find<QCheckBox>(window, "Withdraw")->isEnabled());
        QVERIFY(!find<QPushButton>(window, "Build_relations_button")->isEnabled());
        QCOMPARE(find<QLabel>(window, "Current_status2")->text(), QString("Welcome to Vesk"));
        QCOMPARE(find<QComboBox>(window, "XML_source")->currentText(), QString("csv"));
        QVERIFY(find<QCheckBox>(window, "WT_mean")->isChecked());
        QVERIFY(!find<QCheckBox>(window, "WT_var")->isChecked());
        QVERIFY(find<QCheckBox>(window, "Write_Chances")->isChecked());
        QVERIFY(!find<QCheckBox>(window, "use_external_DTD")->isChecked());
        QCOMPARE(find<QComboBox>(window, "Drawing_orientation_choice")->currentText(),
                 QString("Left to right"));
        const auto actions = window.help_menu().actions();
        QCOMPARE(actions.size(), 6);
        QVERIFY(!actions[0]->isEnabled());
        QCOMPARE(actions[5]->text(), QString("      Vesk in general"));
    }

    void buildsAndExportsTheRelationsTheCommandLineWrites() {
        vesk::test::TempDir dir;
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers);
        open_log(window, answers, VESK_EXAMPLE_LOG);
        QCOMPARE(find<QLabel>(window, "Current_status2")->text(), QString("Workflow-log read"));
        QCOMPARE(find<QLabel>(window, "Filename2")->text(), QString(VESK_EXAMPLE_LOG));
        auto* processes = find<QComboBox>(window, "Available_processes");
        QCOMPARE(processes->count(), 3);
        processes->setCurrentIndex(2);
        find<QCheckBox>(window, "Start")->click();
        find<QCheckBox>(window, "Schedule")->click();
        auto* start1 = find<QComboBox>(window, "start_event_choice_1");
        auto* stop1 = find<QComboBox>(window, "stop_event_choice_1");
        QCOMPARE(start1->count(), 3);  // schedule, start, complete
        // A double click moves to the next item.
        QTest::mouseDClick(start1, Qt::LeftButton);
        QCOMPARE(start1->currentText(), QString("start"));
        stop1->setCurrentIndex(2);
        QTest::mouseClick(find<QPushButton>(window, "Build_relations_button"), Qt::LeftButton);
        QCOMPARE(find<QLabel>(window, "Current_status2")->text(), QString("Relations Built"));
        QVERIFY(find<QPushButton>(window, "Export_relations_button")->isEnabled());
        std::filesystem::create_directories(dir.path() / "window");
        answers.folders.push_back((dir.path() / "window").string() + "/");
        QTest::mouseClick(find<QPushButton>(window, "change_export_rel_button"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(window, "Export_relations_button"), Qt::LeftButton);
        const std::string dtd = find<QLineEdit>(window, "DTD_REL_URL")->text().toStdString();
        QCOMPARE(vesk::test::run_cli({"relations", VESK_EXAMPLE_LOG, "--process", "3", "--events",
                                      "schedule,start,complete", "--overlap", "start:complete",
                                      "--out", (dir.path() / "shell").string(), "--dtd", dtd, "-q"})
                     .code,
                 0);
        const std::string name = "example_log.xml 3 relations.xml";
        const std::string from_window = vesk::test::read_file(dir.path() / "window" / name);
        QVERIFY2(!from_window.empty(), "the window wrote no relations file");
        QVERIFY(from_window == vesk::test::read_file(dir.path() / "shell" / name));
        // The export says what it wrote where, under the tabs, seen from any tab.
        auto* written = find<QLabel>(window, "Written_status");
        QCOMPARE(written->text().toStdString(),
                 "Wrote the relations: " + (dir.path() / "window" / name).string());
        find<QTabWidget>(window, "TabControl")->setCurrentIndex(2);
        window.show();
        QVERIFY(written->isVisible());
    }

    void failuresShowTheirMessageAndStatus() {
        vesk::test::TempDir dir;
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers);
        open_log(window, answers, dir.write("bad.xml", "<log><process id=\"1\">"));
        QCOMPARE(answers.warnings.size(), std::size_t(1));
        QCOMPARE(find<QLabel>(window, "Current_status2")->text(), QString("Workflow-log NOT read"));
        open_log(window, answers,
                 dir.write("starts.xml",
                           "<log><process id=\"1\"><i><e><task_name>a</task_name><event "
                           "kind=\"start\"/></e></i></process></log>"));
        QTest::mouseClick(find<QPushButton>(window, "Build_relations_button"), Qt::LeftButton);
        QVERIFY(find<QLabel>(window, "Current_status2")->text().contains("Relations NOT built"));
        QVERIFY(!find<QPushButton>(window, "Export_relations_button")->isEnabled());
    }

    void theLabelTogglesTheDebugTabAndTheXmlNameFollowsTheLog() {
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers);
        auto* tabs = find<QTabWidget>(window, "TabControl");
        QTest::mouseDClick(find<QLabel>(window, "Label23"), Qt::LeftButton);
        QVERIFY(tabs->isTabVisible(3));
        QTest::mouseDClick(find<QLabel>(window, "Label23"), Qt::LeftButton);
        QVERIFY(!tabs->isTabVisible(3));
        auto* input = find<QLineEdit>(window, "log_file_name");
        QTest::keyClicks(input, "a.log");
        QCOMPARE(find<QLineEdit>(window, "XML_file_name")->text(), QString("a.xml"));
        window.help("      Building relations");
        QCOMPARE(window.help_window().windowTitle(), QString("Help on: Building relations"));
        QVERIFY(window.help_window().text().contains("Used events"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
