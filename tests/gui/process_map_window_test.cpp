// The process map window, offscreen: opened from the Build relations tab after a build with a
// case filter, its picture drawn in the background and fitted, its sliders redrawing it with the
// zoom kept, Save picture, its variants listed.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <filesystem>

#include "base/util_functions.h"
#include "gui/map_picture_view.h"
#include "gui/vesk_main.h"
#include "gui/vesk_process_map.h"
#include "gui/vesk_relations.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/window_driving.h"

namespace {

using vesk::testing::find;
using vesk::testing::kPrograms;
using vesk::testing::when_shown;

}  // namespace

class ProcessMapWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theMapOfAFilteredBuildIsDrawnAndFollowsTheSliders() {
        if (!vesk::find_dot(kPrograms)) QSKIP("dot is not installed");
        vesk::test::TempDir dir;
        vesk::testing::Scripted<> answers;
        TVesk_mainform window(kPrograms, kPrograms, &answers,
                              vesk::InspectorDrawing{dir.path().string() + "/",
                                                     [] { return vesk::find_dot(kPrograms); }});
        window.show();
        auto* map_button = find<QPushButton>(window, "Process_map_button");
        QVERIFY(!map_button->isEnabled());
        answers.files.push_back(VESK_EXAMPLE_LOG);
        QTest::mouseClick(find<QPushButton>(window, "open_XML"), Qt::LeftButton);
        QTest::keyClicks(find<QLineEdit>(window, "filter_top_variants"), "2");
        QTest::mouseClick(find<QPushButton>(window, "Build_relations_button"), Qt::LeftButton);
        const QString status = find<QLabel>(window, "Current_status2")->text();
        QVERIFY2(status.startsWith("Relations Built (kept "), qPrintable(status));
        QVERIFY(map_button->isEnabled());

        QTest::mouseClick(map_button, Qt::LeftButton);
        Tvesk_process_map_form& map = window.map_window();
        QVERIFY(map.isVisible());
        // dot lays the map out on another thread; the window says it is drawing meanwhile.
        QVERIFY(map.drawing());
        QVERIFY(find<QProgressBar>(map, "map_drawing")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!map.drawing(), 20000);
        auto* picture = find<MapPictureView>(map, "map_picture");
        QVERIFY(picture->has_picture());
        // Opened fitted to the laid-out view: the whole drawing fills it, not a speck.
        const QRectF fitted = picture->mapFromScene(picture->sceneRect()).boundingRect();
        QVERIFY2(fitted.width() > picture->viewport()->width() * 0.8 ||
                     fitted.height() > picture->viewport()->height() * 0.8 || picture->zoom() == 1,
                 qPrintable(QString::number(fitted.width())));
        // Two variants kept, both listed.
        QCOMPARE(find<QListWidget>(map, "map_variants")->count(), 2);
        const QString all = find<QLabel>(map, "map_shown")->text();
        // A zoom chosen by the user stays when the sliders draw the map again.
        QTest::mouseClick(find<QPushButton>(map, "map_zoom_in"), Qt::LeftButton);
        const double zoomed = picture->zoom();
        find<QSlider>(map, "map_activities")->setValue(0);
        QTRY_VERIFY_WITH_TIMEOUT(!map.drawing(), 20000);
        const QString fewest = find<QLabel>(map, "map_shown")->text();
        QVERIFY2(fewest.startsWith("1 of "), qPrintable(all + " / " + fewest));
        QCOMPARE(find<QLabel>(map, "map_activities_value")->text(), QString("0%"));
        QVERIFY(picture->has_picture());
        QCOMPARE(picture->zoom(), zoomed);

        // Save picture writes what dot draws, in the format the name asks for.
        for (const char* name : {"map.svg", "map.png", "map.pdf"}) {
            answers.saved.push_back((dir.path() / name).string());
            QTest::mouseClick(find<QPushButton>(map, "map_save"), Qt::LeftButton);
            QVERIFY2(std::filesystem::file_size(dir.path() / name) > 100, name);
        }
        answers.saved.push_back((dir.path() / "map.gif").string());
        QTest::mouseClick(find<QPushButton>(map, "map_save"), Qt::LeftButton);
        QCOMPARE(answers.errors.size(), std::size_t{1});
        QVERIFY(!std::filesystem::exists(dir.path() / "map.gif"));

        // A filter the window cannot read builds nothing and says which box is wrong; the last
        // build, its status and its map stay.
        find<QLineEdit>(window, "filter_from")->setText("next week");
        QTest::mouseClick(find<QPushButton>(window, "Build_relations_button"), Qt::LeftButton);
        QCOMPARE(find<QLabel>(window, "Current_status2")->text(), status);
        QCOMPARE(answers.warnings.size(), std::size_t{1});
        QVERIFY2(answers.warnings.front() ==
                     "Nothing was built: the case filter box From takes a date (YYYY-MM-DD, or "
                     "YYYY-MM-DD HH:MM), not \"next week\". Correct the box and build again.",
                 answers.warnings.front().c_str());
        QVERIFY(map_button->isEnabled());
        QCOMPARE(find<QListWidget>(map, "map_variants")->count(), 2);

        // Closing the main window closes the map window and the inspector with it.
        map.show();
        QVERIFY(map.isVisible());
        Tvesk_relations_inspector& inspector = window.inspector();
        bool inspected = false;
        when_shown(inspector, [&] {
            inspected = true;
            window.close();
        });
        QTest::mouseClick(find<QPushButton>(window, "edit_relations_button"), Qt::LeftButton);
        QVERIFY(inspected);
        QVERIFY(!inspector.isVisible());
        QVERIFY(!map.isVisible());
    }
};

QTEST_MAIN(ProcessMapWindowTest)
#include "process_map_window_test.moc"
