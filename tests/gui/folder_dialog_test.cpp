// The output-folder dialog: Add folder makes the folder, Accept gives it with its separator.

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "gui/vesk_out_folder.h"
#include "support/temp_dir.h"

class FolderDialogTest : public QObject {
    Q_OBJECT
private slots:
    void separatorsAreAddedAsThePathWritesThem() {
        QCOMPARE(with_trailing_separator("C:\\out"), std::string("C:\\out\\"));
        QCOMPARE(with_trailing_separator("/tmp/out"), std::string("/tmp/out/"));
        QCOMPARE(with_trailing_separator("/tmp/out/"), std::string("/tmp/out/"));
    }

    void addFolderThenAccept() {
        vesk::test::TempDir dir;
        Tvesk_out_form dialog;
        QCOMPARE(dialog.windowTitle(), QString("Choose folder"));
        dialog.select_folder(dir.path().string());
        dialog.findChild<QLineEdit*>("Folder_name")->setText("new one");
        dialog.add_folder();
        QVERIFY(std::filesystem::is_directory(dir.path() / "new one"));
        QTimer::singleShot(0, [&dialog] { dialog.findChild<QPushButton*>("Accept")->click(); });
        const auto chosen = dialog.choose((dir.path() / "new one").string());
        QVERIFY(chosen.has_value());
        QCOMPARE(*chosen, (dir.path() / "new one").string() + "/");
        QTimer::singleShot(0, [&dialog] { dialog.findChild<QPushButton*>("Cancel")->click(); });
        QVERIFY(!dialog.choose(dir.path().string()).has_value());
    }
};

QTEST_MAIN(FolderDialogTest)
#include "folder_dialog_test.moc"
