// Pictures of the windows for the documentation: each tab of the main window on the example
// log, the help window and the folder dialog. vesk_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <iostream>

#include "app/util_functions.h"
#include "app/vesk_main.h"
#include "gui/vesk_help.h"
#include "gui/vesk_out_folder.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: vesk_screenshots OUTPUT_FOLDER\n";
        return 2;
    }
    const QString out = argv[1];
    const std::filesystem::path program = vesk::program_folder();
    TVesk_mainform window(program, program);
    window.show();
    window.open_log_at_start((program / "example_log.xml").string());
    window.findChild<QPushButton*>("Build_relations_button")->click();
    auto* tabs = window.findChild<QTabWidget*>("TabControl");
    tabs->setTabVisible(3, true);
    const char* names[] = {"window-convert.png", "window-relations.png", "window-export.png",
                           "window-debug.png"};
    for (int i = 0; i < 4; ++i) {
        tabs->setCurrentIndex(i);
        if (i == 3) window.findChild<QPushButton*>("debug_info_button")->click();
        QApplication::processEvents();
        window.grab().save(out + "/" + names[i]);
    }
    window.help("      Building relations");
    QApplication::processEvents();
    window.help_window().grab().save(out + "/window-help.png");
    Tvesk_out_form& folder = window.folder_dialog();
    folder.select_folder(QDir::homePath().toStdString());
    folder.show();
    QApplication::processEvents();
    QTimer::singleShot(300, [&] {
        folder.grab().save(out + "/window-folder.png");
        QApplication::quit();
    });
    return QApplication::exec();
}
