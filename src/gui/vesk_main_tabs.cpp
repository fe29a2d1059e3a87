// The main window's four tabs: their controls and what each control runs.

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

#include "gui/named_widgets.h"
#include "gui/vesk_main.h"
#include "gui/vesk_process_map.h"

namespace {

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

}  // namespace

void TVesk_mainform::build_convert_tab(QTabWidget* tabs) {
    auto* tab = new QWidget(tabs);
    auto* group = new QGroupBox("Conversion", tab);
    auto* form = new QFormLayout(group);
    dtd_log_url_ = named_line(group, "DTD_LOG_URL");
    dtd_rel_url_ = named_line(group, "DTD_REL_URL");
    xml_source_ = named_combo(group, "XML_source");
    xml_source_->installEventFilter(this);
    log_file_name_ = named_line(group, "log_file_name");
    xml_file_name_ = named_line(group, "XML_file_name");
    auto* load = named_button(group, "Load_log", "Open log file");
    auto* convert = named_button(group, "Convert", "Convert");
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
    auto* open_xml = build_open_group(tab, layout);
    auto* mining = new QGroupBox("Rediscovering the Petrinet", tab);
    auto* mining_layout = new QHBoxLayout(mining);
    mining_layout->addWidget(build_events_group(mining));
    auto* buttons = new QVBoxLayout;
    build_relations_button_ =
        named_button(mining, "Build_relations_button", "Build relations", false);
    edit_relations_button_ = named_button(mining, "edit_relations_button", "Edit relations", false);
    process_map_button_ = named_button(mining, "Process_map_button", "Process map", false);
    buttons->addWidget(build_relations_button_);
    buttons->addWidget(edit_relations_button_);
    buttons->addWidget(process_map_button_);
    buttons->addStretch();
    mining_layout->addLayout(buttons);
    mining_layout->addWidget(build_overlap_group(mining));
    layout->addWidget(mining);
    layout->addWidget(build_filter_group(tab));
    build_relations_export_group(tab, layout);
    build_status_rows(tab, layout);
    tabs->addTab(tab, "Build relations");
    connect_relations_tab(open_xml);
}

QPushButton* TVesk_mainform::build_open_group(QWidget* tab, QVBoxLayout* layout) {
    auto* open_group = new QGroupBox("Open Workflow Log", tab);
    auto* open_layout = new QHBoxLayout(open_group);
    auto* open_xml = named_button(open_group, "open_XML", "Open XML log");
    available_processes_ = named_combo(open_group, "Available_processes");
    open_layout->addWidget(open_xml);
    open_layout->addWidget(new QLabel("Select an available process", open_group));
    open_layout->addWidget(available_processes_, 1);
    layout->addWidget(open_group);
    return open_xml;
}

QWidget* TVesk_mainform::build_events_group(QWidget* mining) {
    auto* events = new QGroupBox("Used events", mining);
    auto* events_layout = new QGridLayout(events);
    schedule_ = named_check(events, "Schedule", "Schedule", false);
    start_ = named_check(events, "Start", "Start", false);
    suspend_ = named_check(events, "Suspend", "Suspend", false);
    resume_label_ = new QLabel("/ Resume", events);
    resume_label_->setObjectName("Resume_label");
    complete_ = named_check(events, "Complete", "Complete", true);
    withdraw_ = named_check(events, "Withdraw", "Withdraw", false);
    abort_ = named_check(events, "Abort", "Abort", false);
    events_layout->addWidget(schedule_, 0, 0);
    events_layout->addWidget(start_, 1, 0);
    events_layout->addWidget(suspend_, 2, 0);
    events_layout->addWidget(resume_label_, 2, 1);
    events_layout->addWidget(complete_, 3, 0);
    events_layout->addWidget(withdraw_, 4, 0);
    events_layout->addWidget(abort_, 5, 0);
    return events;
}

QWidget* TVesk_mainform::build_overlap_group(QWidget* mining) {
    auto* overlap = new QGroupBox("Overlap parallel", mining);
    auto* overlap_layout = new QGridLayout(overlap);
    start_choice_1_ = named_combo(overlap, "start_event_choice_1");
    stop_choice_1_ = named_combo(overlap, "stop_event_choice_1");
    start_choice_2_ = named_combo(overlap, "start_event_choice_2");
    stop_choice_2_ = named_combo(overlap, "stop_event_choice_2");
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
    return overlap;
}

QWidget* TVesk_mainform::build_filter_group(QWidget* tab) {
    auto* group = new QGroupBox("Case filter (empty boxes keep every case)", tab);
    auto* grid = new QGridLayout(group);
    const auto box = [group](const char* name, const char* tip) {
        QLineEdit* edit = named_line(group, name);
        edit->setToolTip(tip);
        return edit;
    };
    filter_top_variants_ = box("filter_top_variants", "The cases of the N most frequent variants");
    filter_coverage_ = box("filter_variant_coverage",
                           "The most frequent variants that cover this percentage of the cases");
    filter_starts_with_ = box("filter_starts_with",
                              "Cases whose first event is one of these activities (commas "
                              "between)");
    filter_ends_with_ = box("filter_ends_with",
                            "Cases whose last event is one of these activities (commas between)");
    filter_from_ = box("filter_from", "Cases whose first event is at or after YYYY-MM-DD [HH:MM]");
    filter_to_ = box("filter_to",
                     "Cases whose first event is before YYYY-MM-DD [HH:MM] (a bare "
                     "date includes that day)");
    const std::pair<const char*, QLineEdit*> cells[] = {{"Top variants", filter_top_variants_},
                                                        {"Variant coverage %", filter_coverage_},
                                                        {"From", filter_from_},
                                                        {"Starts with", filter_starts_with_},
                                                        {"Ends with", filter_ends_with_},
                                                        {"To", filter_to_}};
    for (int i = 0; i < 6; ++i) {
        grid->addWidget(new QLabel(cells[i].first, group), i / 3, (i % 3) * 2);
        grid->addWidget(cells[i].second, i / 3, (i % 3) * 2 + 1);
    }
    grid->addLayout(build_attribute_condition(group), 2, 0, 1, 6);
    return group;
}

QHBoxLayout* TVesk_mainform::build_attribute_condition(QWidget* group) {
    filter_attribute_scope_ = named_combo(group, "filter_attribute_scope");
    filter_attribute_scope_->addItems({"Cases where", "Events where"});
    filter_attribute_scope_->setToolTip(
        "Cases: the cases whose attribute (or one of whose events) meets the condition; events: "
        "only the events that meet it");
    filter_attribute_key_ = named_combo(group, "filter_attribute_key");
    filter_attribute_key_->setEditable(true);
    filter_attribute_key_->setMinimumContentsLength(16);
    filter_attribute_key_->setToolTip("An attribute of the log's cases or events (empty: none)");
    filter_attribute_comparison_ = named_combo(group, "filter_attribute_comparison");
    for (const char* comparison : vesk::kComparisons)
        filter_attribute_comparison_->addItem(comparison);
    filter_attribute_comparison_->setToolTip(
        "= and != compare values, < <= > >= numbers and dates, ~ looks for the text in the value "
        "(ignoring case)");
    filter_attribute_value_ = named_line(group, "filter_attribute_value");
    filter_attribute_value_->setToolTip("A value, a number, a date (YYYY-MM-DD) or a text");
    auto* row = new QHBoxLayout;
    row->addWidget(filter_attribute_scope_);
    row->addWidget(filter_attribute_key_, 1);
    row->addWidget(filter_attribute_comparison_);
    row->addWidget(filter_attribute_value_, 1);
    return row;
}

void TVesk_mainform::build_relations_export_group(QWidget* tab, QVBoxLayout* layout) {
    auto* export_group = new QGroupBox("Relations export", tab);
    auto* export_layout = new QHBoxLayout(export_group);
    output_folder2_ = named_line(export_group, "output_folder2", true);
    change_export_rel_button_ =
        named_button(export_group, "change_export_rel_button", "...", false);
    export_relations_button_ =
        named_button(export_group, "Export_relations_button", "Export", false);
    export_layout->addWidget(output_folder2_, 1);
    export_layout->addWidget(change_export_rel_button_);
    export_layout->addWidget(export_relations_button_);
    layout->addWidget(export_group);
}

void TVesk_mainform::build_status_rows(QWidget* tab, QVBoxLayout* layout) {
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
}

void TVesk_mainform::connect_relations_tab(QPushButton* open_xml) {
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
    connect(process_map_button_, &QPushButton::clicked, this, [this] { map_window_->open(); });
    connect(export_relations_button_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->export_relations(); }); });
    connect(change_export_rel_button_, &QPushButton::clicked, this,
            [this] { run([this] { logic_->choose_relations_folder(); }); });
}

void TVesk_mainform::build_export_tab(QTabWidget* tabs) {
    auto* tab = new QWidget(tabs);
    auto* layout = new QVBoxLayout(tab);
    auto* import = new QGroupBox("Import XML relations file", tab);
    relations_inspector_button_ =
        named_button(import, "relations_inspector_button", "Open relations");
    (new QHBoxLayout(import))->addWidget(relations_inspector_button_);
    layout->addWidget(import);
    layout->addWidget(build_detail_group(tab));
    layout->addWidget(build_files_group(tab));
    layout->addWidget(build_dot_group(tab));
    tabs->addTab(tab, "Export Petrinet");
    connect_export_tab();
}

QWidget* TVesk_mainform::build_detail_group(QWidget* tab) {
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
        *group_boxes[g] = named_check(detail, groups[g][0], groups[g][1], true);
        grid->addWidget(*group_boxes[g], 0, g);
        for (int f = 0; f < 4; ++f) {
            const std::string name = std::string(prefixes[g]) + figures[f][0];
            figure_boxes_[g][f] = named_check(detail, name.c_str(), figures[f][1], f != 1);
            grid->addWidget(figure_boxes_[g][f], f + 1, g);
        }
        connect(*group_boxes[g], &QCheckBox::clicked, this, [this] { statistic_group(); });
    }
    return detail;
}

QWidget* TVesk_mainform::build_files_group(QWidget* tab) {
    auto* files = new QGroupBox("Export", tab);
    auto* form = new QFormLayout(files);
    auto* folder_row = new QHBoxLayout;
    output_folder_ = named_line(files, "Output_folder", true);
    change_export_pnet_button_ = named_button(files, "Change_export_pnet_button", "...", false);
    folder_row->addWidget(output_folder_, 1);
    folder_row->addWidget(change_export_pnet_button_);
    form->addRow("Output folder", folder_row);
    cluster_colour_ = named_combo(files, "Cluster_Color_choice");
    cluster_colour_->addItem("sky blue", vesk::kDefaultClusterColour);
    cluster_colour_->addItem("white", 0xFFFFFF);
    cluster_colour_->addItem("light grey", 0xD3D3D3);
    cluster_colour_->addItem("pale yellow", 0xC0FFFF);
    cluster_colour_->addItem("pale green", 0xC0FFC0);
    form->addRow("Cluster color", cluster_colour_);
    write_chances_ = named_check(files, "Write_Chances", "write probabilities", true);
    form->addRow("", write_chances_);
    export_html_ = named_button(files, "Export_HTML", "Export Petrinet", false);
    form->addRow("", export_html_);
    return files;
}

QWidget* TVesk_mainform::build_dot_group(QWidget* tab) {
    auto* dot = new QGroupBox("DOT options", tab);
    auto* dot_form = new QFormLayout(dot);
    orientation_ = named_combo(dot, "Drawing_orientation_choice");
    orientation_->addItems({"Left to right", "Top to bottom"});
    page_size_ = named_combo(dot, "Page_size_choice");
    page_size_->addItems({"A4", "Letter"});
    dot_form->addRow("Petrinet orientation", orientation_);
    dot_form->addRow("Page size", page_size_);
    auto* render_row = new QHBoxLayout;
    make_map_ = named_button(dot, "make_MAP", "Make jpg/map");
    make_ps_ = named_button(dot, "make_PS", "Make ps/jpg");
    render_row->addWidget(make_map_);
    render_row->addWidget(make_ps_);
    dot_form->addRow("", render_row);
    return dot;
}

void TVesk_mainform::connect_export_tab() {
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
    auto* info = named_button(choice, "debug_info_button", "Show info");
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
