#include "gui/vesk_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

#include <QEventLoop>
#include <QInputDialog>

#include "base/util_functions.h"
#include "gui/choice_list_widget.h"
#include "gui/forwarded_dialogs.h"
#include "gui/vesk_help.h"
#include "gui/vesk_out_folder.h"
#include "gui/vesk_relations.h"
#include "gui/vesk_relations_editor.h"

using vesk::ChoiceList;
using vesk::MainWindowLogic;

QString qt_file_filter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i].trimmed() + " (" + parts[i + 1] + ")";
    return filters.join(";;");
}

namespace {

// The dialogs a user answers.
class QtModalDialogs : public ModalDialogs {
public:
    QtModalDialogs(QWidget* owner, Tvesk_out_form& folder) : owner_(owner), folder_(folder) {}
    std::optional<std::string> open_file(const std::string& filter,
                                         const std::string& folder) override {
        const QString chosen = QFileDialog::getOpenFileName(
            owner_, "Open", QString::fromStdString(folder), qt_file_filter(filter));
        if (chosen.isEmpty()) return std::nullopt;
        return chosen.toStdString();
    }
    void warning(const std::string& text) override {
        QMessageBox::warning(owner_, "Vesk", QString::fromStdString(text), QMessageBox::Ok);
    }
    void information(const std::string& text) override {
        QMessageBox::information(QApplication::activeWindow(), "Vesk", QString::fromStdString(text),
                                 QMessageBox::Ok);
    }
    void error(const std::string& text) override {
        QMessageBox::critical(owner_, "Vesk", QString::fromStdString(text), QMessageBox::Ok);
    }
    std::optional<std::string> input(const std::string& caption,
                                     const std::string& prompt) override {
        bool ok = false;
        const QString text =
            QInputDialog::getText(QApplication::activeWindow(), QString::fromStdString(caption),
                                  QString::fromStdString(prompt), QLineEdit::Normal, "", &ok);
        if (!ok) return std::nullopt;
        return text.toStdString();
    }
    std::optional<std::string> choose_folder(const std::string& current) override {
        // Placed beside the main window, never beyond the screen's right edge.
        const QRect screen = owner_->screen() != nullptr ? owner_->screen()->availableGeometry()
                                                         : QRect(0, 0, 1920, 1080);
        const int x = std::min(owner_->x() + owner_->width() + 5, screen.width() - folder_.width());
        folder_.move(x, owner_->y() + 40);
        return folder_.choose(current);
    }

private:
    QWidget* owner_;
    Tvesk_out_form& folder_;
};

// A label whose double click toggles the debug tab.
class DoubleClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> on_double_click;

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override {
        if (on_double_click) on_double_click();
    }
};

QComboBox* combo(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    return box;
}

QCheckBox* check(QWidget* parent, const char* name, const char* caption, bool ticked) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(ticked);
    return box;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, bool enabled = true) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setEnabled(enabled);
    return b;
}

QLineEdit* line(QWidget* parent, const char* name, bool read_only = false) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(read_only);
    return edit;
}

}  // namespace

// The logic's dialogs: the modal ones from ModalDialogs, the status line and the progress bar
// from the window, repainted at once as a long command goes on.
class TVesk_mainform::WindowDialogs : public ForwardedDialogs<vesk::UserDialogs> {
public:
    WindowDialogs(TVesk_mainform& window, ModalDialogs*& modal)
        : ForwardedDialogs(modal), window_(window) {}
    // The main window waits, taking events, until the inspector has been closed.
    void inspect(const vesk::InspectorEntry& entry) override {
        Tvesk_relations_inspector& inspector = *window_.inspector_;
        if (entry.source == vesk::InspectorEntry::Source::task_list)
            inspector.Open_with_task_list(entry.file, entry.resolve_externals, entry.process);
        else
            inspector.Open_with_relations_file(entry.file, entry.resolve_externals);
        window_.set_content_enabled(false);
        QEventLoop wait;
        QObject::connect(&inspector, &Tvesk_relations_inspector::closed, &wait, &QEventLoop::quit);
        if (inspector.isVisible()) wait.exec();
        window_.set_content_enabled(true);
        window_.activateWindow();
    }
    void status_shown(const std::string& status) override {
        window_.current_status2_->setText(QString::fromStdString(status));
        window_.current_status2_->repaint();
    }
    void busy(bool busy) override {
        window_.progress_->setVisible(busy);
        window_.progress_->repaint();
    }

private:
    TVesk_mainform& window_;
};

namespace {

vesk::InspectorDrawing default_drawing(const std::filesystem::path& program_folder) {
    vesk::InspectorDrawing drawing;
    try {
        drawing.work_folder = vesk::user_work_folder();
    } catch (const std::exception&) {
        // The inspector says so when it is asked to draw.
    }
    drawing.find_dot = [program_folder] { return vesk::find_dot(program_folder); };
    return drawing;
}

}  // namespace

TVesk_mainform::TVesk_mainform(std::filesystem::path program_folder,
                               std::filesystem::path data_folder, ModalDialogs* dialogs,
                               std::optional<vesk::InspectorDrawing> drawing)
    : controller_(std::make_unique<vesk::Tvesk_util>()) {
    setObjectName("Vesk_mainform");
    setWindowTitle("Vesk V2.10");
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // The windows made after the main one, in the order of start-up.
    folder_ = new Tvesk_out_form(this);
    help_ = new Tvesk_helpform(this);
    if (dialogs == nullptr) {
        own_dialogs_ = std::make_unique<QtModalDialogs>(this, *folder_);
        dialogs = own_dialogs_.get();
    }
    modal_ = dialogs;
    window_dialogs_ = std::make_unique<WindowDialogs>(*this, modal_);
    editor_ = std::make_unique<TVesk_relations_editor_form>();
    inspector_ = std::make_unique<Tvesk_relations_inspector>(
        *controller_, modal_, *editor_,
        drawing ? std::move(*drawing) : default_drawing(program_folder),
        [this](bool busy) { window_dialogs_->busy(busy); });
    logic_ = std::make_unique<MainWindowLogic>(*controller_, *window_dialogs_,
                                               std::move(program_folder), std::move(data_folder));

    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("TabControl");
    build_convert_tab(tabs_);
    build_relations_tab(tabs_);
    build_export_tab(tabs_);
    build_debug_tab(tabs_);
    layout->addWidget(tabs_);
    use_external_dtd_ = check(this, "use_external_DTD", "Use external DTD's", false);
    layout->addWidget(use_external_dtd_);
    build_help_menu();
    tabs_->setCurrentIndex(1);

    // The controls take the defaults of the state first; start then works from them.
    show_state();
    run([this] { logic_->start(); });
    setFixedSize(sizeHint().expandedTo(QSize(720, 520)));
}

TVesk_mainform::~TVesk_mainform() = default;

void TVesk_mainform::set_content_enabled(bool enabled) {
    tabs_->setEnabled(enabled);
    use_external_dtd_->setEnabled(enabled);
}

void TVesk_mainform::build_convert_tab(QTabWidget* tabs) {
    auto* tab = new QWidget(tabs);
    auto* group = new QGroupBox("Conversion", tab);
    auto* form = new QFormLayout(group);
    dtd_log_url_ = line(group, "DTD_LOG_URL");
    dtd_rel_url_ = line(group, "DTD_REL_URL");
    xml_source_ = combo(group, "XML_source");
    xml_source_->installEventFilter(this);
    log_file_name_ = line(group, "log_file_name");
    xml_file_name_ = line(group, "XML_file_name");
    auto* load = button(group, "Load_log", "Open log file");
    auto* convert = button(group, "Convert", "Convert");
    form->addRow("WorkFlow_log.dtd:", dtd_log_url_);
    form->addRow("WF_relations.dtd:", dtd_rel_url_);
    form->addRow("Conversion module to use", xml_source_);
    auto* input_row = new QHBoxLayout;
    input_row->addWidget(log_file_name_);
    input_row->addWidget(load);
    form->addRow("Filename of the input file", input_row);
    form->addRow("Filename of the XML file", xml_file_name_);
    form->addRow("", convert);
    (new QVBoxLayout(tab))->addWidget(group);
    tabs->addTab(tab, "Convert log to XML");
    connect(load, &QPushButton::clicked, this,
            [this] { run([this] { logic_->open_log_file(); }); });
    connect(convert, &QPushButton::clicked, this, [this] { run([this] { logic_->convert(); }); });
    connect(log_file_name_, &QLineEdit::textEdited, this, [this](const QString& text) {
        run([this, text] { logic_->log_file_name_changed(text.toStdString()); });
    });
}

void TVesk_mainform::build_relations_tab(QTabWidget* tabs) {
    auto* tab = new QWidget(tabs);
    auto* layout = new QVBoxLayout(tab);

    auto* open_group = new QGroupBox("Open Workflow Log", tab);
    auto* open_layout = new QHBoxLayout(open_group);
    auto* open_xml = button(open_group, "open_XML", "Open XML log");
    available_processes_ = combo(open_group, "Available_processes");
    open_layout->addWidget(open_xml);
    open_layout->addWidget(new QLabel("Select an available process", open_group));
    open_layout->addWidget(available_processes_, 1);
    layout->addWidget(open_group);

    auto* mining = new QGroupBox("Rediscovering the Petrinet", tab);
    auto* mining_layout = new QHBoxLayout(mining);
    auto* events = new QGroupBox("Used events", mining);
    auto* events_layout = new QGridLayout(events);
    schedule_ = check(events, "Schedule", "Schedule", false);
    start_ = check(events, "Start", "Start", false);
    suspend_ = check(events, "Suspend", "Suspend", false);
    resume_label_ = new QLabel("/ Resume", events);
    resume_label_->setObjectName("Resume_label");
    complete_ = check(events, "Complete", "Complete", true);
    withdraw_ = check(events, "Withdraw", "Withdraw", false);
    abort_ = check(events, "Abort", "Abort", false);
    events_layout->addWidget(schedule_, 0, 0);
    events_layout->addWidget(start_, 1, 0);
    events_layout->addWidget(suspend_, 2, 0);
    events_layout->addWidget(resume_label_, 2, 1);
    events_layout->addWidget(complete_, 3, 0);
    events_layout->addWidget(withdraw_, 4, 0);
    events_layout->addWidget(abort_, 5, 0);
    mining_layout->addWidget(events);
    auto* buttons = new QVBoxLayout;
    build_relations_button_ = button(mining, "Build_relations_button", "Build relations", false);
    edit_relations_button_ = button(mining, "edit_relations_button", "Edit relations", false);
    buttons->addWidget(build_relations_button_);
    buttons->addWidget(edit_relations_button_);
    buttons->addStretch();
    mining_layout->addLayout(buttons);
    auto* overlap = new QGroupBox("Overlap parallel", mining);
    auto* overlap_layout = new QGridLayout(overlap);
    start_choice_1_ = combo(overlap, "start_event_choice_1");
    stop_choice_1_ = combo(overlap, "stop_event_choice_1");
    start_choice_2_ = combo(overlap, "start_event_choice_2");
    stop_choice_2_ = combo(overlap, "stop_event_choice_2");
    auto* picture =
        new QLabel("activity 1: start .. stop   overlaps   activity 2: start .. stop", overlap);
    picture->setWordWrap(true);
    overlap_layout->addWidget(picture, 0, 0, 1, 2);
    overlap_layout->addWidget(new QLabel("1", overlap), 1, 0);
    overlap_layout->addWidget(start_choice_1_, 1, 1);
    overlap_layout->addWidget(stop_choice_1_, 1, 2);
    overlap_layout->addWidget(new QLabel("2", overlap), 2, 0);
    overlap_layout->addWidget(start_choice_2_, 2, 1);
    overlap_layout->addWidget(stop_choice_2_, 2, 2);
    for (QComboBox* box : {start_choice_1_, stop_choice_1_, start_choice_2_, stop_choice_2_})
        box->installEventFilter(this);
    mining_layout->addWidget(overlap);
    layout->addWidget(mining);

    auto* export_group = new QGroupBox("Relations export", tab);
    auto* export_layout = new QHBoxLayout(export_group);
    output_folder2_ = line(export_group, "output_folder2", true);
    change_export_rel_button_ = button(export_group, "change_export_rel_button", "...", false);
    export_relations_button_ = button(export_group, "Export_relations_button", "Export", false);
    export_layout->addWidget(output_folder2_, 1);
    export_layout->addWidget(change_export_rel_button_);
    export_layout->addWidget(export_relations_button_);
    layout->addWidget(export_group);

    auto* status_row = new QHBoxLayout;
    current_status2_ = new QLabel("Welcome to Vesk", tab);
    current_status2_->setObjectName("Current_status2");
    progress_ = new QProgressBar(tab);
    progress_->setObjectName("Progress_bar");
    progress_->setRange(0, 0);  // a long step's length is not known in advance
    progress_->setMaximumWidth(160);
    progress_->setVisible(false);
    filename2_ = new QLabel("filename", tab);
    filename2_->setObjectName("Filename2");
    auto* label = new DoubleClickLabel("Right click anytime for help", tab);
    label->setObjectName("Label23");
    label->on_double_click = [this] { run([this] { logic_->toggle_debug_tab(); }); };
    label23_ = label;
    status_row->addWidget(current_status2_, 1);
    status_row->addWidget(progress_);
    layout->addLayout(status_row);
    layout->addWidget(filename2_);
    layout->addWidget(label23_);
    tabs->addTab(tab, "Build relations");

    connect(open_xml, &QPushButton::clicked, this,
            [this] { run([this] { logic_->open_xml_log(); }); });
    connect(available_processes_, &QComboBox::activated, this,
            [this] { run([this] { logic_->process_chosen(); }); });
    for (QCheckBox* box : {schedule_, start_, suspend_, complete_, withdraw_, abort_})
        connect(box, &QCheckBox::clicked, this,
                [this] { run([this] { logic_->event_choice(); }); });
    connect(build_relations_button_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->build_relations(); }); });
    connect(edit_relations_button_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->edit_relations(); }); });
    connect(export_relations_button_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->export_relations(); }); });
    connect(change_export_rel_button_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->choose_relations_folder(); }); });
}

void TVesk_mainform::build_export_tab(QTabWidget* tabs) {
    auto* tab = new QWidget(tabs);
    auto* layout = new QVBoxLayout(tab);
    auto* import = new QGroupBox("Import XML relations file", tab);
    relations_inspector_button_ = button(import, "relations_inspector_button", "Open relations");
    (new QHBoxLayout(import))->addWidget(relations_inspector_button_);
    layout->addWidget(import);

    auto* detail = new QGroupBox("Export detail level", tab);
    auto* grid = new QGridLayout(detail);
    const char* groups[3][2] = {{"WaitTime_choice", "Waiting time"},
                                {"Synctime_choice", "Sync time"},
                                {"Sojourntime_choice", "Sojourn time"}};
    const char* prefixes[3] = {"WT_", "ST_", "SJ_"};
    const char* figures[4][2] = {
        {"mean", "mean"}, {"var", "variance"}, {"min", "minimum"}, {"max", "maximum"}};
    QCheckBox** group_boxes[3] = {&wait_choice_, &sync_choice_, &sojourn_choice_};
    for (int g = 0; g < 3; ++g) {
        *group_boxes[g] = check(detail, groups[g][0], groups[g][1], true);
        grid->addWidget(*group_boxes[g], 0, g);
        for (int f = 0; f < 4; ++f) {
            const std::string name = std::string(prefixes[g]) + figures[f][0];
            figure_boxes_[g][f] = check(detail, name.c_str(), figures[f][1], f != 1);
            grid->addWidget(figure_boxes_[g][f], f + 1, g);
        }
        connect(*group_boxes[g], &QCheckBox::clicked, this, [this] { statistic_group(); });
    }
    layout->addWidget(detail);

    auto* files = new QGroupBox("Export", tab);
    auto* form = new QFormLayout(files);
    auto* folder_row = new QHBoxLayout;
    output_folder_ = line(files, "Output_folder", true);
    change_export_pnet_button_ = button(files, "Change_export_pnet_button", "...", false);
    folder_row->addWidget(output_folder_, 1);
    folder_row->addWidget(change_export_pnet_button_);
    form->addRow("Output folder", folder_row);
    cluster_colour_ = combo(files, "Cluster_Color_choice");
    cluster_colour_->addItem("sky blue", 0xF0CAA6);
    cluster_colour_->addItem("white", 0xFFFFFF);
    cluster_colour_->addItem("light grey", 0xD3D3D3);
    cluster_colour_->addItem("pale yellow", 0xC0FFFF);
    cluster_colour_->addItem("pale green", 0xC0FFC0);
    form->addRow("Cluster color", cluster_colour_);
    write_chances_ = check(files, "Write_Chances", "write probabilities", true);
    form->addRow("", write_chances_);
    export_html_ = button(files, "Export_HTML", "Export Petrinet", false);
    form->addRow("", export_html_);
    layout->addWidget(files);

    auto* dot = new QGroupBox("DOT options", tab);
    auto* dot_form = new QFormLayout(dot);
    orientation_ = combo(dot, "Drawing_orientation_choice");
    orientation_->addItems({"Left to right", "Top to bottom"});
    page_size_ = combo(dot, "Page_size_choice");
    page_size_->addItems({"A4", "Letter"});
    dot_form->addRow("Petrinet orientation", orientation_);
    dot_form->addRow("Page size", page_size_);
    auto* render_row = new QHBoxLayout;
    make_map_ = button(dot, "make_MAP", "Make jpg/map");
    make_ps_ = button(dot, "make_PS", "Make ps/jpg");
    render_row->addWidget(make_map_);
    render_row->addWidget(make_ps_);
    dot_form->addRow("", render_row);
    layout->addWidget(dot);
    tabs->addTab(tab, "Export Petrinet");
    connect(change_export_pnet_button_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->choose_export_folder(); }); });
    connect(cluster_colour_, &QComboBox::activated, this,
            [this] { controller_->set_cluster_colour(cluster_colour_->currentData().toUInt()); });
    connect(relations_inspector_button_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->open_relations(); }); });
    connect(export_html_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->export_petrinet(); }); });
    connect(make_map_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->make_jpg_map(); }); });
    connect(make_ps_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->make_ps_jpg(); }); });
}

void TVesk_mainform::build_debug_tab(QTabWidget* tabs) {
    debug_tab_ = new QWidget(tabs);
    auto* layout = new QVBoxLayout(debug_tab_);
    auto* choice = new QGroupBox("Debug Choice", debug_tab_);
    auto* choice_layout = new QHBoxLayout(choice);
    show_relations_ = new QRadioButton("Relations", choice);
    show_relations_->setObjectName("Show_relations_choice");
    show_relations_->setChecked(true);
    show_net_ = new QRadioButton("Petrinet", choice);
    show_net_->setObjectName("Show_PTnet_choice");
    show_times_ = new QRadioButton("Timing info", choice);
    show_times_->setObjectName("Show_times_choice");
    choice_layout->addWidget(show_relations_);
    choice_layout->addWidget(show_net_);
    choice_layout->addWidget(show_times_);
    auto* info = button(choice, "debug_info_button", "Show info");
    choice_layout->addWidget(info);
    layout->addWidget(choice);
    debug_view_ = new QPlainTextEdit(debug_tab_);
    debug_view_->setObjectName("DebugView");
    debug_view_->setReadOnly(true);
    layout->addWidget(debug_view_, 1);
    tabs->addTab(debug_tab_, "Debug info");
    tabs->setTabVisible(tabs->indexOf(debug_tab_), false);
    connect(info, &QPushButton::clicked, this, [this] { show_info(); });
}

void TVesk_mainform::build_help_menu() {
    help_menu_ = new QMenu(this);
    help_menu_->setObjectName("HelpMenu");
    QAction* heading = help_menu_->addAction("Help is available on:");
    heading->setEnabled(false);
    for (const char* topic : {"Converting log files", "Building relations", "Exporting a Petrinet",
                              "Inspecting relations", "Vesk in general"}) {
        const QString caption = QString(6, ' ') + topic;
        QAction* action = help_menu_->addAction(caption);
        connect(action, &QAction::triggered, this, [this, caption] { help(caption); });
    }
}

void TVesk_mainform::help(const QString& caption) {
    try {
        const std::string text = caption.toStdString();
        help_->show_help(logic_->help_lines(text),
                         QString::fromStdString(MainWindowLogic::help_caption(text)));
    } catch (const std::exception& error) {
        modal_->error(error.what());
    }
}

void TVesk_mainform::contextMenuEvent(QContextMenuEvent* event) {
    help_menu_->popup(event->globalPos());
}

bool TVesk_mainform::eventFilter(QObject* watched, QEvent* event) {
    // A double click on a drop-down list moves its selection to the next item.
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* box = qobject_cast<QComboBox*>(watched)) {
            run([this, box] {
                vesk::MainWindowState& s = logic_->state();
                ChoiceList* list = box == xml_source_       ? &s.xml_source
                                   : box == start_choice_1_ ? &s.start_event_choice_1
                                   : box == stop_choice_1_  ? &s.stop_event_choice_1
                                   : box == start_choice_2_ ? &s.start_event_choice_2
                                                            : &s.stop_event_choice_2;
                MainWindowLogic::next_item(*list);
            });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TVesk_mainform::open_log_at_start(const std::string& path) {
    run([this, &path] { logic_->open_xml_log_file(path); });
}

template <typename Command>
void TVesk_mainform::run(Command&& command) {
    if (showing_) return;  // signals raised while the state is being shown
    read_state();
    command();
    show_state();
}

void TVesk_mainform::read_state() {
    vesk::MainWindowState& s = logic_->state();
    s.dtd_log_url = dtd_log_url_->text().toStdString();
    s.dtd_rel_url = dtd_rel_url_->text().toStdString();
    s.xml_source.selected = xml_source_->currentIndex();
    s.log_file_name = log_file_name_->text().toStdString();
    s.xml_file_name = xml_file_name_->text().toStdString();
    s.available_processes = read_choice_list(available_processes_);
    s.ticked = {schedule_->isChecked(), start_->isChecked(),    suspend_->isChecked(),
                complete_->isChecked(), withdraw_->isChecked(), abort_->isChecked()};
    s.start_event_choice_1 = read_choice_list(start_choice_1_);
    s.stop_event_choice_1 = read_choice_list(stop_choice_1_);
    s.start_event_choice_2 = read_choice_list(start_choice_2_);
    s.stop_event_choice_2 = read_choice_list(stop_choice_2_);
    s.write_chances = write_chances_->isChecked();
    s.cluster_colour = cluster_colour_->currentData().toUInt();
    QCheckBox* groups[3] = {wait_choice_, sync_choice_, sojourn_choice_};
    for (std::size_t g = 0; g < 3; ++g) {
        s.statistic_groups[g] = groups[g]->isChecked();
        for (std::size_t f = 0; f < 4; ++f)
            s.figure_boxes[g][f] = figure_boxes_[g][f]->isChecked();
    }
    s.orientation = orientation_->currentText().toStdString();
    s.page_size = page_size_->currentText().toStdString();
    s.use_external_dtd = use_external_dtd_->isChecked();
}

void TVesk_mainform::show_state() {
    showing_ = true;
    const vesk::MainWindowState& s = logic_->state();
    dtd_log_url_->setText(QString::fromStdString(s.dtd_log_url));
    dtd_rel_url_->setText(QString::fromStdString(s.dtd_rel_url));
    show_choice_list(xml_source_, s.xml_source);
    log_file_name_->setText(QString::fromStdString(s.log_file_name));
    xml_file_name_->setText(QString::fromStdString(s.xml_file_name));
    show_choice_list(available_processes_, s.available_processes);
    const auto tick = [](QCheckBox* box, bool ticked, bool enabled) {
        box->setChecked(ticked);
        box->setEnabled(enabled);
    };
    tick(schedule_, s.ticked.schedule, s.enabled.schedule);
    tick(start_, s.ticked.start, s.enabled.start);
    tick(suspend_, s.ticked.suspend, s.enabled.suspend);
    tick(complete_, s.ticked.complete, s.enabled.complete);
    tick(withdraw_, s.ticked.withdraw, s.enabled.withdraw);
    tick(abort_, s.ticked.abort, s.enabled.abort);
    resume_label_->setEnabled(s.resume_label_enabled);
    show_choice_list(start_choice_1_, s.start_event_choice_1);
    show_choice_list(stop_choice_1_, s.stop_event_choice_1);
    show_choice_list(start_choice_2_, s.start_event_choice_2);
    show_choice_list(stop_choice_2_, s.stop_event_choice_2);
    build_relations_button_->setEnabled(s.build_relations_enabled);
    edit_relations_button_->setEnabled(s.edit_relations_enabled);
    export_relations_button_->setEnabled(s.export_relations_enabled);
    change_export_rel_button_->setEnabled(s.change_export_rel_enabled);
    output_folder2_->setText(QString::fromStdString(s.output_folder2));
    current_status2_->setText(QString::fromStdString(s.status));
    filename2_->setText(QString::fromStdString(s.file_name_label));
    export_html_->setEnabled(s.export_html_enabled);
    change_export_pnet_button_->setEnabled(s.change_export_pnet_enabled);
    output_folder_->setText(QString::fromStdString(s.output_folder));
    tabs_->setTabVisible(tabs_->indexOf(debug_tab_), s.debug_tab_visible);
    showing_ = false;
}

void TVesk_mainform::statistic_group() {
    QCheckBox* groups[3] = {wait_choice_, sync_choice_, sojourn_choice_};
    for (int g = 0; g < 3; ++g)
        for (QCheckBox* box : figure_boxes_[g])
            box->setEnabled(groups[g]->isChecked());
}

void TVesk_mainform::show_info() {
    debug_view_->clear();
    std::vector<std::string> lines;
    if (show_relations_->isChecked()) controller_->relations_text(lines);
    if (show_net_->isChecked()) controller_->net_text(lines);
    if (show_times_->isChecked()) controller_->timing_text(lines);
    QStringList text;
    for (const std::string& l : lines)
        text << QString::fromStdString(l);
    debug_view_->setPlainText(text.join('\n'));
}
