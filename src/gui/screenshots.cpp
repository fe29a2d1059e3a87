// Pictures of the windows for the documentation: each tab of the main window on the example
// log, the relations inspector with a drawn net and a place's figures (and, on a real log, the
// grid of Best noise), the relations editor, the help window and the folder dialog.
// vesk_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <iostream>

#include "base/util_functions.h"
#include "gui/qt_modal_dialogs.h"
#include "gui/vesk_help.h"
#include "gui/vesk_main.h"
#include "gui/vesk_out_folder.h"
#include "gui/vesk_process_map.h"
#include "gui/vesk_relations.h"
#include "gui/vesk_relations_editor.h"

namespace {

// A click on the element of the drawn net whose url is `url`, as the mouse makes it, the view
// scrolled to it first as a user would.
void click_element(Tvesk_relations_inspector& inspector, const std::string& url) {
    auto* picture = inspector.findChild<QWidget*>("Petrinet_image");
    for (const vesk::Trectangle& r : inspector.logic().rectangles().rectangles()) {
        if (r.url != url) continue;
        const QPointF at = inspector.control_position(r);
        inspector.findChild<QScrollArea*>("ScrollBox1")
            ->ensureVisible(static_cast<int>(at.x()), static_cast<int>(at.y()), 300, 100);
        const QPointF global = picture->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(picture, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(picture, &release);
        return;
    }
    std::cerr << "vesk_screenshots: the drawn net has no " << url << "\n";
}

// Messages go to stderr instead of dialogs that nobody would close.
// For the picture of an error in front of the editor, the input answers and the errors are the
// window's own for a while.
class PrintedDialogs : public vesk::ModalDialogs {
public:
    std::optional<std::string> open_file(const std::string&, const std::string&) override {
        return file;
    }
    std::optional<std::string> save_file(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> choose_folder(const std::string&) override { return std::nullopt; }
    std::optional<std::string> input(const std::string&, const std::string&) override {
        return answer;
    }
    void warning(const std::string& text) override {
        if (real != nullptr) return real->warning(text);
        std::cerr << "warning: " << text << "\n";
    }
    void information(const std::string& text) override { std::cerr << text << "\n"; }
    void error(const std::string& text) override {
        if (real != nullptr) return real->error(text);
        std::cerr << "error: " << text << "\n";
    }

    std::optional<std::string> answer;
    std::optional<std::string> file;
    QtModalDialogs* real = nullptr;
};

// The whole screen a moment after `act` opened a message box, then the box closed.
void picture_with_box(const QString& path, const std::function<void()>& act) {
    QTimer::singleShot(500, [path] {
        if (QScreen* screen = QGuiApplication::primaryScreen()) screen->grabWindow(0).save(path);
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    act();
}

// A log chosen where a relations file was expected: the warning in front of the main window,
// whose buttons stay as the build left them.
void failed_open_relations(TVesk_mainform& window, PrintedDialogs& dialogs, QtModalDialogs& real,
                           const std::string& log, const QString& out) {
    window.findChild<QTabWidget*>("TabControl")->setCurrentIndex(2);
    dialogs.file = log;
    dialogs.real = &real;
    picture_with_box(out + "/window-open-relations-failed.png", [&window] {
        window.findChild<QPushButton*>("relations_inspector_button")->click();
    });
    dialogs.file.reset();
    dialogs.real = nullptr;
}

// A bad distance answered in the editor: the error box, pictured with the whole screen so that
// it shows in front of the editor, then closed.
void error_over_editor(TVesk_relations_editor_form& editor, PrintedDialogs& dialogs,
                       QtModalDialogs& real, const QString& out) {
    auto* relations = editor.findChild<QComboBox*>("Relations_List");
    relations->setCurrentIndex(relations->findText("     >>> "));
    // A distance of 0, which the editor refuses.
    dialogs.answer.emplace(1, '0');
    dialogs.real = &real;
    picture_with_box(out + "/window-error-over-editor.png",
                     [&editor] { editor.findChild<QPushButton*>("Add_relation_button")->click(); });
    dialogs.answer.reset();
    dialogs.real = nullptr;
}

// The inspector with the inductive net of a real log and a place's figures.
void inductive_picture(TVesk_mainform& window, const std::string& log, const QString& out) {
    window.open_log_at_start(log);
    // The window takes its events while it reads, so a timer catches it in the middle.
    bool pictured = false;
    QTimer::singleShot(150, [&] {
        window.grab().save(out + "/window-progress.png");
        pictured = true;
    });
    window.findChild<QPushButton*>("Build_relations_button")->click();
    if (!pictured) std::cerr << "the build was over before the progress could be pictured\n";
    // The map of what was built, with the paths a reader can follow.
    Tvesk_process_map_form& map = window.map_window();
    window.findChild<QPushButton*>("Process_map_button")->click();
    map.resize(1100, 820);
    map.findChild<QSlider*>("map_paths")->setValue(20);
    // dot lays the map out on another thread.
    while (map.drawing())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();
    map.grab().save(out + "/window-process-map.png");
    map.close();
    const std::string process = vesk::process_id_of_entry(
        window.findChild<QComboBox*>("Available_processes")->currentText().toStdString());
    Tvesk_relations_inspector& inspector = window.inspector();
    inspector.resize(1100, 760);
    inspector.Open_with_task_list(log, false, process);
    // At the default noise the log does not fit the net: the replay still measures every case,
    // and lists what it found.
    inspector.findChild<QPushButton*>("Make_Petrinet_inductive_button")->click();
    inspector.findChild<QPushButton*>("Replay_process_button")->click();
    click_element(inspector, "place\\n3");
    QApplication::processEvents();
    inspector.grab().save(out + "/window-inspector-inductive.png");
    // Best noise: the grid of thresholds under the net it chose.
    inspector.findChild<QPushButton*>("Best_noise_button")->click();
    QApplication::processEvents();
    inspector.grab().save(out + "/window-inspector-best-noise.png");
    inspector.close();
    // The loans over 20,000 alone, by the case filter's attribute condition.
    window.findChild<QComboBox*>("filter_attribute_key")->setCurrentText("AMOUNT_REQ");
    window.findChild<QComboBox*>("filter_attribute_comparison")->setCurrentText(">");
    window.findChild<QLineEdit*>("filter_attribute_value")->setText("20000");
    window.findChild<QPushButton*>("Build_relations_button")->click();
    QApplication::processEvents();
    window.grab().save(out + "/window-case-filter-attribute.png");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: vesk_screenshots OUTPUT_FOLDER [LOG]\n"
                     "  with LOG: the inspector with the inductive net of that log only\n";
        return 2;
    }
    const QString out = argv[1];
    const std::filesystem::path program = vesk::program_folder();
    PrintedDialogs dialogs;
    TVesk_mainform window(program, program, &dialogs);
    window.show();
    if (argc == 3) {
        inductive_picture(window, argv[2], out);
        return 0;
    }
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
    // At its default size, as a user first sees it.
    Tvesk_relations_inspector& inspector = window.inspector();
    inspector.Open_with_task_list((program / "example_log.xml").string(), false, "1");
    inspector.findChild<QPushButton*>("Make_Petrinet_button")->click();
    inspector.findChild<QPushButton*>("Replay_process_button")->click();
    click_element(inspector, "place\\n2");
    QApplication::processEvents();
    inspector.grab().save(out + "/window-inspector.png");
    // The editor is modal: it is pictured and closed from inside its wait.
    TVesk_relations_editor_form& editor = window.editor();
    QtModalDialogs real_dialogs(&window, window.folder_dialog());
    QTimer::singleShot(300, [&] {
        editor.grab().save(out + "/window-editor.png");
        error_over_editor(editor, dialogs, real_dialogs, out);
        editor.reject();
    });
    click_element(inspector, "check credit\\ncomplete");
    inspector.close();
    failed_open_relations(window, dialogs, real_dialogs, (program / "example_log.xml").string(),
                          out);

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
