#include "gui/vesk_help.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

Tvesk_helpform::Tvesk_helpform(QWidget* owner) : QDialog(owner) {
    setObjectName("vesk_helpform");
    setWindowTitle("Help");
    setModal(true);
    resize(720, 520);
    auto* layout = new QVBoxLayout(this);
    help_text_ = new QPlainTextEdit(this);
    help_text_->setObjectName("HelpText");
    help_text_->setReadOnly(true);
    help_text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    help_text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    help_text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(help_text_);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OK");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

void Tvesk_helpform::show_help(const std::vector<std::string>& lines, const QString& caption) {
    setWindowTitle(caption);
    help_text_->clear();
    QStringList text;
    for (const std::string& line : lines)
        text << QString::fromStdString(line);
    help_text_->setPlainText(text.join('\n'));
    show();
}

QString Tvesk_helpform::text() const {
    return help_text_->toPlainText();
}
