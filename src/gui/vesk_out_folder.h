#pragma once
// The output-folder dialog: a folder tree rooted at the home folder and the file-system root,
// Add folder, Accept and Cancel. Accept gives the folder with its trailing separator.

#include <QDialog>
#include <QString>
#include <optional>
#include <string>

class QFileSystemModel;
class QLineEdit;
class QTreeView;

class Tvesk_out_form : public QDialog {
    Q_OBJECT
public:
    explicit Tvesk_out_form(QWidget* owner = nullptr);
    // Modal: the folder accepted, or empty on Cancel.
    std::optional<std::string> choose(const std::string& current);

    // The folder selected in the tree, with a trailing separator.
    std::string selected_folder() const;
    void select_folder(const std::string& path);
    void add_folder();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFileSystemModel* model_;
    QTreeView* tree_;
    QLineEdit* folder_name_;
    QString current_;
};

// A folder path with its trailing separator: the last "/" or "\" in it is repeated at the end.
std::string with_trailing_separator(const std::string& path);
