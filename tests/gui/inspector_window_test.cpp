// The relations inspector and editor driven as a user drives them, offscreen, from the main
// window: build, inspect, edit a transition's facts, rebuild, replay, click a place, close and
// export, ending in the files the command line writes.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "base/util_functions.h"
#include "gui/vesk_main.h"
#include "gui/vesk_relations.h"
#include "gui/vesk_relations_editor.h"
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

// Keeps the text of a label each time it is painted.
class PaintWatch : public QObject {
public:
    PaintWatch(QLabel* label, QStringList& painted) : label_(label), painted_(painted) {
        label->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !label_->text().isEmpty())
            painted_.append(label_->text());
        return false;
    }

private:
    QLabel* label_;
    QStringList& painted_;
};

// QVERIFY2 builds its message whether or not the check fails.
const char* first(const std::vector<std::string>& messages) {
    return messages.empty() ? "" : messages.front().c_str();
}

std::vector<std::string> net_lines(vesk::Tvesk_util& controller) {
    std::vector<std::string> lines;
    controller.net_text(lines);
    return lines;
}

}  // namespace

class InspectorWindowTest : public QObject {
    Q_OBJECT

    // Clicks the middle of the rectangle whose url is `url`.
    static void click_element(Tvesk_relations_inspector& inspector, const std::string& url) {
        const vesk::Trectangle* hit = nullptr;
        for (const vesk::Trectangle& r : inspector.logic().rectangles().rectangles())
            if (r.url == url) hit = &r;
        QVERIFY2(hit != nullptr, url.c_str());
        auto* picture = find<QLabel>(inspector, "Petrinet_image");
        const QPoint at = inspector.control_position(*hit);
        QTest::mouseMove(picture, at);
        QTest::mouseClick(picture, Qt::LeftButton, {}, at);
    }

    // Opens the editor on "check credit" and sets its first line.
    static void edit_check_credit(TVesk_mainform& window, bool checked, QString* line) {
        TVesk_relations_editor_form& editor = window.editor();
        when_shown(editor, [&editor, checked, line] {
            QCOMPARE(find<QLabel>(editor, "Chosen_fact")->text(), QString("check credit_complete"));
            QListWidgetItem* first = find<QListWidget>(editor, "Checklist")->item(0);
            if (line != nullptr) *line = first->text();
            first->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
            find<QPushButton>(editor, "Accept_button")->click();
        });
        click_element(window.inspector(), "check credit\\ncomplete");
        QVERIFY(!editor.isVisible());
    }

private slots:
    // A long replay says in the inspector how many cases it has replayed; the line goes when
    // the replay is over.
    void aLongReplayCountsItsCasesInTheInspector() {
        vesk::test::TempDir dir;
        const std::string log = dir.write("long.xml", vesk::test::abc_log_xml(20000));
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers,
                              vesk::InspectorDrawing{"", [] { return std::nullopt; }});
        answers.files.push_back(log);
        QTest::mouseClick(find<QPushButton>(window, "open_XML"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(window, "Build_relations_button"), Qt::LeftButton);
        Tvesk_relations_inspector& inspector = window.inspector();
        inspector.Open_with_task_list(log, false, "1");
        QVERIFY(QTest::qWaitForWindowExposed(&inspector));
        auto* line = find<QLabel>(inspector, "Inspector_progress");
        QStringList painted;
        PaintWatch watch(line, painted);
        find<QPushButton>(inspector, "Make_Petrinet_button")->click();
        find<QPushButton>(inspector, "Replay_process_button")->click();
        // The replay reads the process first: 60,000 events, told every 20,000; the last line
        // is the end's.
        painted.removeDuplicates();
        QVERIFY2(painted.first().startsWith("Reading: 20,000 events ("),
                 qPrintable(painted.first()));
        QVERIFY(painted.contains("Replaying: 20,000 of 20,000 cases"));
        QCOMPARE(painted.last(), QString("Replayed: 20,000 of 20,000 cases"));
        QVERIFY(!line->isVisible());
        auto* grid = find<QTableWidget>(inspector, "Time_info");
        QCOMPARE(grid->item(0, 3)->text(), QString("20000"));

        // Cancel, clicked as the replay goes, leaves no figures at all; Close meanwhile is not
        // carried out afterwards.
        QTimer::singleShot(0, [&inspector] {
            find<QPushButton>(inspector, "Inspector_cancel")->click();
            inspector.close();
        });
        find<QPushButton>(inspector, "Replay_process_button")->click();
        QVERIFY(inspector.isVisible());
        QCOMPARE(grid->item(0, 3)->text(), QString());
        QCOMPARE(find<QLabel>(inspector, "Replay_summary")->text(),
                 QString("Replay cancelled: no figures are shown."));
        inspector.close();
    }

    // At its default size the inspector shows every column of the figures and the picture,
    // and it opens inside the screen.
    void theDefaultSizeShowsTheFiguresAndThePicture() {
        Answers answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers);
        answers.files.push_back(VESK_EXAMPLE_LOG);
        QTest::mouseClick(find<QPushButton>(window, "open_XML"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(window, "Build_relations_button"), Qt::LeftButton);
        Tvesk_relations_inspector& inspector = window.inspector();
        inspector.move(0, 10000);  // where a window system might put it
        inspector.Open_with_task_list(VESK_EXAMPLE_LOG, false, "1");
        QVERIFY(QTest::qWaitForWindowExposed(&inspector));
        QCOMPARE(inspector.size(), QSize(700, 550));
        auto* grid = find<QTableWidget>(inspector, "Time_info");
        QVERIFY2(grid->horizontalHeader()->length() <= grid->viewport()->width(),
                 "a column of the figures is cut off");
        QVERIFY(grid->viewport()->width() >= 400);
        QVERIFY(find<QWidget>(inspector, "ScrollBox1")->height() >= 150);
        const QRect free = inspector.screen()->availableGeometry();
        QVERIFY(free.contains(inspector.frameGeometry().bottomRight()));
        // Enlarged, the window gives the room to the picture rather than to the figures.
        const int picture_before = find<QWidget>(inspector, "ScrollBox1")->height();
        const int figures_before = grid->height();
        inspector.resize(700, 950);
        QApplication::processEvents();
        const int picture_gain = find<QWidget>(inspector, "ScrollBox1")->height() - picture_before;
        const int figures_gain = grid->height() - figures_before;
        QVERIFY2(picture_gain >= 3 * figures_gain,
                 qPrintable(QString("picture %1, figures %2").arg(picture_gain).arg(figures_gain)));
        inspector.resize(700, 550);
        if (vesk::find_dot(kPrograms)) {
            // Fit: the whole net in the view.
            find<QPushButton>(inspector, "Make_Petrinet_button")->click();
            find<QPushButton>(inspector, "zoom_fit_button")->click();
            const QWidget* view = find<QScrollArea>(inspector, "ScrollBox1")->viewport();
            const QWidget* picture = find<QWidget>(inspector, "Petrinet_image");
            QVERIFY(inspector.logic().state().zoom < 100);
            QVERIFY(picture->width() <= view->width() && picture->height() <= view->height());
            // Best noise: the structure line and the grid below it (eight lines) show whole,
            // scrolled within four lines, and the picture keeps its room.
            find<QPushButton>(inspector, "Best_noise_button")->click();
            QApplication::processEvents();
            const auto* structure = find<QLabel>(inspector, "Structure_info");
            QVERIFY(structure->text().count('\n') >= 7);
            QVERIFY2(structure->height() >= structure->heightForWidth(structure->width()),
                     "the structure line is cut off");
            const int line = structure->fontMetrics().lineSpacing();
            QVERIFY(structure->visibleRegion().boundingRect().height() <= 4 * line);
            QVERIFY(structure->visibleRegion().boundingRect().height() >= 3 * line);
            QVERIFY(find<QWidget>(inspector, "ScrollBox1")->height() >= 100);
        }
        inspector.close();
    }

    void theWholePathEndsInTheCommandLinesFiles() {
        if (!vesk::find_dot(kPrograms)) QSKIP("dot is not installed");
        vesk::test::TempDir dir;
        Answers answers;
        std::filesystem::create_directories(dir.path() / "drawing");
        vesk::InspectorDrawing drawing{(dir.path() / "drawing").string() + "/",
                                       [] { return vesk::find_dot(kPrograms); }};
        TVesk_mainform window(kPrograms, kPrograms, &answers, drawing);
        window.show();
        answers.files.push_back(VESK_EXAMPLE_LOG);
        QTest::mouseClick(find<QPushButton>(window, "open_XML"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(window, "Build_relations_button"), Qt::LeftButton);
        QVERIFY(find<QPushButton>(window, "edit_relations_button")->isEnabled());
        QVERIFY(!find<QPushButton>(window, "Export_HTML")->isEnabled());

        Tvesk_relations_inspector& inspector = window.inspector();
        bool inspected = false;
        when_shown(inspector, [&] {
            // Whatever fails below, the inspector closes and the main window goes on.
            struct Closer {
                Tvesk_relations_inspector& inspector;
                ~Closer() { find<QPushButton>(inspector, "Close_button")->click(); }
            } closer{inspector};
            QVERIFY(!find<QWidget>(window, "TabControl")->isEnabled());
            QCOMPARE(find<QComboBox>(inspector, "Available_processes")->currentText(),
                     QString("1"));
            QVERIFY(!find<QPushButton>(inspector, "Make_Petrinet_2_button")->isVisible());
            find<QPushButton>(inspector, "Make_Petrinet_button")->click();
            QVERIFY2(answers.warnings.empty(), first(answers.warnings));
            QVERIFY(!find<QLabel>(inspector, "Petrinet_image")->pixmap().isNull());
            const auto first_net = net_lines(window.controller());

            QString line;
            edit_check_credit(window, false, &line);
            find<QPushButton>(inspector, "Make_Petrinet_button")->click();
            QVERIFY(net_lines(window.controller()) != first_net);
            // Switched on again, the fact gives the first net back.
            edit_check_credit(window, true, nullptr);
            find<QPushButton>(inspector, "Make_Petrinet_button")->click();
            QVERIFY(net_lines(window.controller()) == first_net);

            answers.files.push_back(VESK_EXAMPLE_LOG);
            find<QPushButton>(inspector, "open_XML")->click();
            auto* processes = find<QComboBox>(inspector, "Available_processes");
            QCOMPARE(processes->count(), 3);
            QCOMPARE(processes->currentText(), QString("1 (order handling)"));
            find<QPushButton>(inspector, "Replay_process_button")->click();
            auto* grid = find<QTableWidget>(inspector, "Time_info");
            QCOMPARE(grid->item(0, 3)->text(), QString("30"));
            click_element(inspector, "place\\n1");
            QVERIFY(!grid->item(0, 2)->text().isEmpty());
            QCOMPARE(grid->item(0, 2)->text(),
                     QString::number(
                         window.controller().place_figures(1).sojourn_time->Nr_of_observations()));

            // Zoom by key and wheel runs the same commands as the buttons.
            QTest::keyClick(&inspector, Qt::Key_Minus, Qt::ControlModifier);
            QCOMPARE(inspector.logic().state().zoom, 90);
            find<QPushButton>(inspector, "zoom_normal_button")->click();
            QCOMPARE(inspector.logic().state().zoom, 100);
            inspected = true;
        });
        QTest::mouseClick(find<QPushButton>(window, "edit_relations_button"), Qt::LeftButton);
        QVERIFY(inspected);
        QVERIFY(!inspector.isVisible());
        QVERIFY(find<QWidget>(window, "TabControl")->isEnabled());
        QVERIFY(find<QPushButton>(window, "Export_HTML")->isEnabled());

        std::filesystem::create_directories(dir.path() / "window");
        answers.folders.push_back((dir.path() / "window").string() + "/");
        QTest::mouseClick(find<QPushButton>(window, "Change_export_pnet_button"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(window, "Export_HTML"), Qt::LeftButton);
        QVERIFY2(answers.warnings.empty(), first(answers.warnings));
        QCOMPARE(vesk::test::run_cli({"mine", VESK_EXAMPLE_LOG, "--process", "1", "--out",
                                      (dir.path() / "shell").string(), "--render", "-q"})
                     .code,
                 0);
        for (const char* name :
             {"example_log.xml 1 low.dot", "example_log.xml 1 high.dot", "example_log.xml 1 .tpn",
              "example_log.xml 1 .pnml", "Default.htm"}) {
            const auto written = dir.path() / "window" / name;
            QVERIFY2(std::filesystem::exists(written), name);
            QVERIFY2(vesk::test::read_file(written) ==
                         vesk::test::read_file(dir.path() / "shell" / name),
                     name);
        }
        QTest::mouseClick(find<QPushButton>(window, "make_MAP"), Qt::LeftButton);
        QVERIFY2(answers.warnings.empty(), first(answers.warnings));
        for (const char* name : {"example_log.xml 1 low.dot.map", "example_log.xml 1 low.dot.jpg",
                                 "example_log.xml 1 low.dot.thumb.jpg"})
            QVERIFY2(vesk::test::read_file(dir.path() / "window" / name) ==
                         vesk::test::read_file(dir.path() / "shell" / name),
                     name);
    }

    void aRelationsFileWithAContradictionOpensItsErroneousSet() {
        vesk::test::TempDir dir;
        Answers answers;
        vesk::InspectorDrawing drawing{dir.path().string() + "/", [] { return std::nullopt; }};
        TVesk_mainform window(kPrograms, kPrograms, &answers, drawing);
        // check credit both causes and runs parallel to check stock.
        const char* fact =
            "<fact kind=\"%1\" certainty=\"1\"><task1 id=\"check credit\" kind=\"complete\"/>"
            "<task2 id=\"check stock\" kind=\"complete\"/></fact>";
        const std::string file = dir.write(
            "conflict.xml",
            "<WF_relations><tasks>"
            "<task name=\"check credit\" kind=\"complete\"><is_trace_start>true</is_trace_start>"
            "</task><task name=\"check stock\" kind=\"complete\"><is_trace_end>true"
            "</is_trace_end></task></tasks><facts>" +
                QString(fact).arg("caus").toStdString() + QString(fact).arg("par").toStdString() +
                "</facts></WF_relations>");
        answers.files.push_back(file);
        Tvesk_relations_inspector& inspector = window.inspector();
        bool inspected = false;
        when_shown(inspector, [&] {
            struct Closer {
                Tvesk_relations_inspector& inspector;
                ~Closer() { inspector.close(); }
            } closer{inspector};
            auto* sets = find<QComboBox>(inspector, "Erroneous_sets");
            QCOMPARE(sets->count(), 1);
            QCOMPARE(sets->currentText(), QString("Erroneous set 0"));
            TVesk_relations_editor_form& editor = window.editor();
            when_shown(editor, [&] {
                QVERIFY(!find<QCheckBox>(editor, "task_is_start")->isEnabled());
                auto* list = find<QListWidget>(editor, "Checklist");
                QCOMPARE(list->count(), 2);
                list->item(1)->setCheckState(Qt::Unchecked);
                find<QPushButton>(editor, "Accept_button")->click();
            });
            find<QPushButton>(inspector, "Edit_erroneous_relations_button")->click();
            QCOMPARE(sets->count(), 0);
            find<QPushButton>(inspector, "Edit_erroneous_relations_button")->click();
            QCOMPARE(answers.informations,
                     std::vector<std::string>{"There are no erroneus sets to edit"});
            inspected = true;
        });
        QTest::mouseClick(find<QPushButton>(window, "relations_inspector_button"), Qt::LeftButton);
        QVERIFY2(answers.warnings.empty(), first(answers.warnings));
        QVERIFY(inspected);
        QVERIFY(find<QPushButton>(window, "Export_HTML")->isEnabled());
    }
};

QTEST_MAIN(InspectorWindowTest)
#include "inspector_window_test.moc"
