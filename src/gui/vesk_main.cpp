#include "gui/vesk_main.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
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
#include <QMouseEvent>
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

#include "base/number_format.h"
#include "base/util_functions.h"
#include "gui/choice_list_widget.h"
#include "gui/forwarded_dialogs.h"
#include "gui/named_widgets.h"
#include "gui/qt_modal_dialogs.h"
#include "gui/vesk_help.h"
#include "gui/vesk_out_folder.h"
#include "gui/vesk_process_map.h"
#include "gui/vesk_relations.h"
#include "gui/vesk_relations_editor.h"

using vesk::ChoiceList;
using vesk::MainWindowLogic;

namespace {}  // namespace

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
        if (busy_) take_events();
    }
    // While a long command runs the window's controls are off: the window keeps painting at
    // each step, and clicks made meanwhile reach disabled controls and are dropped, instead of
    // being queued and running the command again once it is done.
    // The inspector's long steps: the bar only. Its window stays as it is, and no events are
    // taken in the middle of its commands.
    void inspector_busy(bool busy) {
        inspector_busy_ = busy;
        if (!busy) window_.inspector_->show_progress({});
        window_.progress_->setRange(0, 0);
        window_.progress_->setVisible(busy);
        window_.progress_->repaint();
    }
    void progress(const vesk::Progress& progress) override {
        QProgressBar& bar = *window_.progress_;
        const double share = progress.total > 0
                                 ? static_cast<double>(progress.done) / progress.total
                                 : progress.share;
        if (share >= 0) {
            bar.setRange(0, 1000);
            bar.setValue(static_cast<int>(std::min(1.0, share) * 1000));
        } else {
            bar.setRange(0, 0);
        }
        bar.repaint();
        std::string text = progress.step + ": " + vesk::grouped_number(progress.done);
        if (progress.total > 0) text += " of " + vesk::grouped_number(progress.total);
        if (!progress.unit.empty()) text += " " + progress.unit;
        if (progress.total <= 0 && share >= 0)
            text += " (" + std::to_string(static_cast<int>(share * 100)) + "%)";
        if (inspector_busy_) {
            // The inspector keeps painting and takes its Cancel; its other commands wait.
            window_.inspector_->show_progress(QString::fromStdString(text));
            take_events();
            if (window_.inspector_->cancel_asked()) throw vesk::Cancelled();
            return;
        }
        if (!busy_) return;
        window_.current_status2_->setText(QString::fromStdString(text));
        window_.cancel_->setVisible(progress.step == "Reading");
        take_events();
        if (cancel_asked_) {
            cancel_asked_ = false;
            throw vesk::Cancelled();
        }
    }
    void ask_cancel() { cancel_asked_ = true; }
    void busy(bool busy) override {
        cancel_asked_ = false;
        window_.cancel_->setVisible(false);
        window_.progress_->setRange(0, 0);
        if (busy && !busy_) window_.set_content_enabled(false);
        window_.progress_->setVisible(busy);
        window_.progress_->repaint();
        if (!busy && busy_) {
            take_events();
            window_.set_content_enabled(true);
        }
        busy_ = busy;
    }

private:
    static void take_events() { QApplication::processEvents(); }

    TVesk_mainform& window_;
    bool busy_ = false;
    bool cancel_asked_ = false;
    bool inspector_busy_ = false;
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
    : controller_(std::make_unique<vesk::Tvesk_util>(vesk::locale_decimal_separator())) {
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
    const vesk::InspectorDrawing drawn_in = drawing ? *drawing : default_drawing(program_folder);
    inspector_ = std::make_unique<Tvesk_relations_inspector>(
        *controller_, modal_, *editor_, drawn_in,
        [this](bool busy) { window_dialogs_->inspector_busy(busy); });
    logic_ = std::make_unique<MainWindowLogic>(*controller_, *window_dialogs_,
                                               std::move(program_folder), std::move(data_folder));
    logic_->set_map_drawing(drawn_in);
    map_window_ = std::make_unique<Tvesk_process_map_form>(logic_->process_map(), *modal_);

    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("TabControl");
    build_convert_tab(tabs_);
    build_relations_tab(tabs_);
    build_export_tab(tabs_);
    build_debug_tab(tabs_);
    layout->addWidget(tabs_);
    use_external_dtd_ = named_check(this, "use_external_DTD", "Use external DTD's", false);
    layout->addWidget(use_external_dtd_);
    written_ = named_label(this, "Written_status", "");
    // Stops a long read between two events; shown only then, outside the tabs that are off.
    cancel_ = named_button(this, "Cancel_button", "Cancel");
    QSizePolicy keep_room = cancel_->sizePolicy();
    keep_room.setRetainSizeWhenHidden(true);
    cancel_->setSizePolicy(keep_room);
    cancel_->setVisible(false);
    connect(cancel_, &QPushButton::clicked, this, [this] { window_dialogs_->ask_cancel(); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(written_, 1);
    bottom->addWidget(cancel_);
    layout->addLayout(bottom);
    build_help_menu();
    tabs_->setCurrentIndex(1);
    popup_timer_.setSingleShot(true);
    connect(&popup_timer_, &QTimer::timeout, this, [this] {
        if (popup_box_ != nullptr) popup_box_->showPopup();
    });
    // Right click anywhere shows the help: text boxes and lists leave the click to the window
    // instead of showing their edit menu.
    for (QWidget* child : findChildren<QLineEdit*>())
        child->setContextMenuPolicy(Qt::NoContextMenu);
    for (QWidget* child : findChildren<QAbstractItemView*>())
        child->setContextMenuPolicy(Qt::NoContextMenu);

    // The controls take the defaults of the state first; start then works from them.
    round_trip_.show();
    run([this] { logic_->start(); });
    setFixedSize(sizeHint().expandedTo(QSize(720, 520)));
}

void TVesk_mainform::closeEvent(QCloseEvent* event) {
    // Every window of the program goes with the main one (the inspector, when a step runs,
    // cancels the step first and closes on the next close).
    inspector_->close();
    map_window_->close();
    help_->close();
    QWidget::closeEvent(event);
}

TVesk_mainform::~TVesk_mainform() = default;

void TVesk_mainform::set_content_enabled(bool enabled) {
    tabs_->setEnabled(enabled);
    use_external_dtd_->setEnabled(enabled);
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

void TVesk_mainform::next_item(QComboBox* box) {
    run([this, box] {
        vesk::MainWindowState& s = logic_->state();
        ChoiceList* list = box == xml_source_       ? &s.xml_source
                           : box == start_choice_1_ ? &s.start_event_choice_1
                           : box == stop_choice_1_  ? &s.stop_event_choice_1
                           : box == start_choice_2_ ? &s.start_event_choice_2
                                                    : &s.stop_event_choice_2;
        MainWindowLogic::next_item(*list);
    });
}

bool TVesk_mainform::eventFilter(QObject* watched, QEvent* event) {
    // A double click on a drop-down list moves its selection to the next item. A press opens
    // the list only once no second press follows within the double-click time: opened at once,
    // the open list took the second click, and the rule was out of a mouse's reach.
    auto* box = qobject_cast<QComboBox*>(watched);
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool double_click = event->type() == QEvent::MouseButtonDblClick;
    if (box == nullptr || !(press || double_click) ||
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return QWidget::eventFilter(watched, event);
    const bool same_box = popup_box_ == box;
    if (press && !(same_box && popup_timer_.isActive())) {
        popup_box_ = box;
        double_counted_ = false;
        popup_timer_.start(QApplication::doubleClickInterval());
        return true;
    }
    popup_timer_.stop();
    // A second press already counted the double click its event then reports.
    if (double_click && same_box && double_counted_) {
        double_counted_ = false;
        return true;
    }
    double_counted_ = press;
    popup_box_ = box;
    next_item(box);
    return true;
}

void TVesk_mainform::open_log_at_start(const std::string& path) {
    run([this, &path] { logic_->open_xml_log_file(path); });
}

void TVesk_mainform::read_controls() {
    vesk::MainWindowState& s = logic_->state();
    s.dtd_log_url = dtd_log_url_->text().toStdString();
    s.dtd_rel_url = dtd_rel_url_->text().toStdString();
    s.xml_source.selected = xml_source_->currentIndex();
    s.log_file_name = log_file_name_->text().toStdString();
    s.xml_file_name = xml_file_name_->text().toStdString();
    s.available_processes = read_choice_list(available_processes_);
    s.ticked = {schedule_->isChecked(), start_->isChecked(),    suspend_->isChecked(),
                complete_->isChecked(), withdraw_->isChecked(), abort_->isChecked()};
    s.case_filter = {filter_top_variants_->text().toStdString(),
                     filter_coverage_->text().toStdString(),
                     filter_starts_with_->text().toStdString(),
                     filter_ends_with_->text().toStdString(),
                     filter_from_->text().toStdString(),
                     filter_to_->text().toStdString(),
                     filter_attribute_scope_->currentIndex() == 1,
                     filter_attribute_key_->currentText().toStdString(),
                     filter_attribute_comparison_->currentText().toStdString(),
                     filter_attribute_value_->text().toStdString()};
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

void TVesk_mainform::show_attribute_keys(const std::vector<std::string>& keys) {
    QStringList items{QString()};
    for (const std::string& key : keys)
        items.push_back(QString::fromStdString(key));
    const QString typed = filter_attribute_key_->currentText();
    QStringList shown;
    for (int i = 0; i < filter_attribute_key_->count(); ++i)
        shown.push_back(filter_attribute_key_->itemText(i));
    if (shown == items) return;
    filter_attribute_key_->clear();
    filter_attribute_key_->addItems(items);
    filter_attribute_key_->setCurrentText(typed);
}

void TVesk_mainform::show_controls() {
    const vesk::MainWindowState& s = logic_->state();
    dtd_log_url_->setText(QString::fromStdString(s.dtd_log_url));
    dtd_rel_url_->setText(QString::fromStdString(s.dtd_rel_url));
    show_choice_list(xml_source_, s.xml_source);
    log_file_name_->setText(QString::fromStdString(s.log_file_name));
    xml_file_name_->setText(QString::fromStdString(s.xml_file_name));
    show_choice_list(available_processes_, s.available_processes);
    show_attribute_keys(s.attribute_keys);
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
    process_map_button_->setEnabled(s.process_map_enabled);
    // A map window left open shows the map of the relations now built (or none).
    if (map_window_->isVisible()) map_window_->follow();
    export_relations_button_->setEnabled(s.export_relations_enabled);
    change_export_rel_button_->setEnabled(s.change_export_rel_enabled);
    output_folder2_->setText(QString::fromStdString(s.output_folder2));
    current_status2_->setText(QString::fromStdString(s.status));
    written_->setText(QString::fromStdString(s.written));
    filename2_->setText(QString::fromStdString(s.file_name_label));
    export_html_->setEnabled(s.export_html_enabled);
    change_export_pnet_button_->setEnabled(s.change_export_pnet_enabled);
    output_folder_->setText(QString::fromStdString(s.output_folder));
    tabs_->setTabVisible(tabs_->indexOf(debug_tab_), s.debug_tab_visible);
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
