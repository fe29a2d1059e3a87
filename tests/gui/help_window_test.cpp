// The help window and the shipped help file: every topic of the menu has real text.

#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gui/vesk_help.h"
#include "ui/main_window_logic.h"

#include <QPushButton>

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void everyTopicOfTheMenuHasItsSection() {
        std::ifstream in(std::filesystem::path(VESK_CLI_PATH).parent_path() / "help.txt");
        std::stringstream text;
        text << in.rdbuf();
        for (const char* topic :
             {"Converting log files", "Building relations", "Exporting a Petrinet",
              "Inspecting relations", "Vesk in general"}) {
            const auto lines = vesk::help_section(text.str(), topic);
            QVERIFY2(lines.size() > 10, topic);
        }
    }

    void showsTheLinesUnderItsCaption() {
        Tvesk_helpform window;
        window.show_help({"one", "two"}, "Help on: Vesk in general");
        QCOMPARE(window.windowTitle(), QString("Help on: Vesk in general"));
        QCOMPARE(window.text(), QString("one\ntwo"));
        window.findChild<QPushButton*>("OK")->click();
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
