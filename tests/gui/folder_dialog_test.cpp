// The output-folder dialog: Add folder makes the folder, Accept gives it with its separator.

#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
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

    // Choosing with the arrow keys and Accept gives the folder the keys chose, not the last
    // one clicked or set.
    void theKeysChooseTheFolder() {
        vesk::test::TempDir dir;
        std::filesystem::create_directory(dir.path() / "a");
        std::filesystem::create_directory(dir.path() / "b");
        Tvesk_out_form dialog;
        dialog.show();
        dialog.select_folder((dir.path() / "a").string());
        auto* tree = dialog.findChild<QTreeView*>("tree");
        const auto current_name = [tree] { return tree->currentIndex().data().toString(); };
        QTRY_COMPARE(current_name(), QString("a"));
        // The folders are loaded and sorted in the background: Down moves to whatever row
        // follows a by then, and that row is the folder chosen.
        QTRY_VERIFY(tree->indexBelow(tree->currentIndex()).isValid());
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Down);
        QVERIFY(current_name() != QString("a"));
        const auto* model = static_cast<const QFileSystemModel*>(tree->model());
        QCOMPARE(dialog.selected_folder(),
                 model->filePath(tree->currentIndex()).toStdString() + "/");
        QVERIFY(dialog.selected_folder() != (dir.path() / "a").string() + "/");
    }
};

QTEST_MAIN(FolderDialogTest)
#include "folder_dialog_test.moc"
