#pragma once
// The main window: four tabs over MainWindowLogic. Each handler copies the controls into the
// logic's state, runs the command and shows the state again; the object names are the
// controls' names, so tests find them.

#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "gui/state_round_trip.h"
#include "ui/main_window_logic.h"
#include "ui/relations_inspector_logic.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QVBoxLayout;
class Tvesk_helpform;
class Tvesk_out_form;
class Tvesk_process_map_form;
class Tvesk_relations_inspector;
class TVesk_relations_editor_form;

using vesk::ModalDialogs;

class TVesk_mainform : public QWidget {
    Q_OBJECT
public:
    // dialogs: null for the real ones. drawing: where the inspector draws; by default the
    // per-user folder and dot as the program finds it.
    TVesk_mainform(std::filesystem::path program_folder, std::filesystem::path data_folder,
                   ModalDialogs* dialogs = nullptr,
                   std::optional<vesk::InspectorDrawing> drawing = std::nullopt);
    ~TVesk_mainform() override;

    vesk::MainWindowLogic& logic() { return *logic_; }
    vesk::Tvesk_util& controller() { return *controller_; }
    Tvesk_helpform& help_window() { return *help_; }
    Tvesk_out_form& folder_dialog() { return *folder_; }
    Tvesk_relations_inspector& inspector() { return *inspector_; }
    TVesk_relations_editor_form& editor() { return *editor_; }
    Tvesk_process_map_form& map_window() { return *map_window_; }
    QMenu& help_menu() { return *help_menu_; }

    // Opens a log at start, as Open XML log does with a chosen file.
    void open_log_at_start(const std::string& path);
    // Runs Help for a help-menu caption.
    void help(const QString& caption);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The map and help windows go with the main one: they would otherwise keep the program
    // running with no way back to it.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void next_item(QComboBox* box);

private:
    class WindowDialogs;

    void set_content_enabled(bool enabled);
    void build_convert_tab(QTabWidget* tabs);
    void build_relations_tab(QTabWidget* tabs);
    QPushButton* build_open_group(QWidget* tab, QVBoxLayout* layout);
    QWidget* build_events_group(QWidget* mining);
    QWidget* build_overlap_group(QWidget* mining);
    QWidget* build_filter_group(QWidget* tab);
    QHBoxLayout* build_attribute_condition(QWidget* group);
    void show_attribute_keys(const std::vector<std::string>& keys);
    void build_relations_export_group(QWidget* tab, QVBoxLayout* layout);
    void build_status_rows(QWidget* tab, QVBoxLayout* layout);
    void connect_relations_tab(QPushButton* open_xml);
    void build_export_tab(QTabWidget* tabs);
    QWidget* build_detail_group(QWidget* tab);
    QWidget* build_files_group(QWidget* tab);
    QWidget* build_dot_group(QWidget* tab);
    void connect_export_tab();
    void build_debug_tab(QTabWidget* tabs);
    void build_help_menu();
    // Controls into the state, and back.
    void read_controls();
    void show_controls();
    template <typename Command>
    void run(Command&& command) {
        round_trip_.run(std::forward<Command>(command));
    }
    void show_info();
    void statistic_group();

    std::unique_ptr<vesk::Tvesk_util> controller_;
    std::unique_ptr<WindowDialogs> window_dialogs_;
    std::unique_ptr<ModalDialogs> own_dialogs_;
    ModalDialogs* modal_ = nullptr;
    std::unique_ptr<vesk::MainWindowLogic> logic_;
    // Windows of their own, not children: their controls have the same names as some of the
    // main window's.
    std::unique_ptr<TVesk_relations_editor_form> editor_;
    std::unique_ptr<Tvesk_relations_inspector> inspector_;
    std::unique_ptr<Tvesk_process_map_form> map_window_;
    Tvesk_helpform* help_ = nullptr;
    Tvesk_out_form* folder_ = nullptr;
    QMenu* help_menu_ = nullptr;
    StateRoundTrip round_trip_{[this] { read_controls(); }, [this] { show_controls(); }};

    QTabWidget* tabs_ = nullptr;
    QWidget* debug_tab_ = nullptr;
    // Conversion.
    QLineEdit *dtd_log_url_, *dtd_rel_url_, *log_file_name_, *xml_file_name_;
    QComboBox* xml_source_;
    // Relations.
    QComboBox* available_processes_;
    QCheckBox *schedule_, *start_, *suspend_, *complete_, *withdraw_, *abort_;
    QLabel* resume_label_;
    QComboBox *start_choice_1_, *stop_choice_1_, *start_choice_2_, *stop_choice_2_;
    QPushButton *build_relations_button_, *edit_relations_button_, *export_relations_button_,
        *change_export_rel_button_, *process_map_button_;
    QLineEdit *filter_top_variants_, *filter_coverage_, *filter_starts_with_, *filter_ends_with_,
        *filter_from_, *filter_to_, *filter_attribute_value_;
    QComboBox *filter_attribute_scope_, *filter_attribute_key_, *filter_attribute_comparison_;
    QLineEdit* output_folder2_;
    QLabel *current_status2_, *filename2_, *label23_;
    // What the last export or drawing wrote, under the tabs.
    QLabel* written_;
    QPushButton* cancel_;
    QProgressBar* progress_;
    // Export.
    QCheckBox *wait_choice_, *sync_choice_, *sojourn_choice_;
    QCheckBox* figure_boxes_[3][4];
    QLineEdit* output_folder_;
    QPushButton *change_export_pnet_button_, *export_html_;
    QComboBox *cluster_colour_, *orientation_, *page_size_;
    QCheckBox* write_chances_;
    QPushButton *relations_inspector_button_, *make_map_, *make_ps_;
    // Debug.
    QRadioButton *show_relations_, *show_net_, *show_times_;
    QPlainTextEdit* debug_view_;
    QCheckBox* use_external_dtd_;
    // A drop-down list waits a double-click time before it opens (see eventFilter).
    QTimer popup_timer_;
    QComboBox* popup_box_ = nullptr;
    bool double_counted_ = false;
};
