#include "gui/vesk_out_folder.h"

#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

std::string with_trailing_separator(const std::string& path) {
    if (path.empty() || path.back() == '/' || path.back() == '\\') return path;
    const auto at = path.find_last_of("/\\");
    return path + (at == std::string::npos ? '/' : path[at]);
}

Tvesk_out_form::Tvesk_out_form(QWidget* owner) : QDialog(owner) {
    setObjectName("vesk_out_form");
    setWindowTitle("Choose folder");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    resize(480, 420);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Output folder", this));
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath(QDir::rootPath());
    tree_ = new QTreeView(this);
    tree_->setObjectName("tree");
    tree_->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column)
        tree_->hideColumn(column);
    tree_->header()->hide();
    layout->addWidget(tree_);
    auto* add_row = new QHBoxLayout;
    auto* add = new QPushButton("Add folder:", this);
    add->setObjectName("Add_folder");
    folder_name_ = new QLineEdit(this);
    folder_name_->setObjectName("Folder_name");
    add_row->addWidget(add);
    add_row->addWidget(folder_name_);
    layout->addLayout(add_row);
    auto* buttons = new QHBoxLayout;
    auto* accept = new QPushButton("Accept", this);
    accept->setObjectName("Accept");
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Cancel");
    buttons->addStretch();
    buttons->addWidget(accept);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    // Only what the user picks changes the folder: the model's own loading moves the tree's
    // current row about.
    const auto picked = [this](const QModelIndex& index) {
        if (index.isValid()) current_ = model_->filePath(index);
    };
    connect(tree_, &QTreeView::clicked, this, picked);
    connect(tree_, &QTreeView::activated, this, picked);
    // The arrow keys move the tree's current row too: that is a pick as much as a click.
    tree_->installEventFilter(this);
    connect(add, &QPushButton::clicked, this, &Tvesk_out_form::add_folder);
    connect(accept, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool Tvesk_out_form::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_ && event->type() == QEvent::KeyRelease && tree_->currentIndex().isValid())
        current_ = model_->filePath(tree_->currentIndex());
    return QDialog::eventFilter(watched, event);
}

std::string Tvesk_out_form::selected_folder() const {
    return with_trailing_separator(QDir::toNativeSeparators(current_).toStdString());
}

void Tvesk_out_form::select_folder(const std::string& path) {
    // The home folder and the root are both reachable from the root of the tree.
    const QString folder = QString::fromStdString(path);
    // The model fills in the background: the folder is kept apart from what the tree shows yet.
    current_ = QDir(folder).exists() ? QDir(folder).absolutePath() : QDir::homePath();
    const QModelIndex index = model_->index(current_);
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
    tree_->expand(index);
}

void Tvesk_out_form::add_folder() {
    const std::string base = selected_folder();
    const QString name = folder_name_->text();
    if (base.empty() || name.isEmpty()) return;
    const QString path = QString::fromStdString(base) + name;
    // An existing folder or one that cannot be made leaves the tree as it is.
    if (QDir(path).exists() || !QDir().mkpath(path)) return;
    select_folder(path.toStdString());
}

std::optional<std::string> Tvesk_out_form::choose(const std::string& current) {
    select_folder(current);
    if (exec() != QDialog::Accepted) return std::nullopt;
    return selected_folder();
}
