#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "ui/file_dialog.h"

namespace pw::ui {
namespace {

// Ends the dialog once it runs: accept with `files` chosen, or reject when empty.
cFileDialog::Hook answer_with(const QStringList& files, int* shown = nullptr,
                              QStringList* filters = nullptr, QString* folder = nullptr) {
  return [=](QFileDialog& dialog) {
    if (shown != nullptr) ++*shown;
    if (filters != nullptr) *filters = dialog.nameFilters();
    if (folder != nullptr) *folder = dialog.directory().absolutePath();
    QTimer::singleShot(0, &dialog, [&dialog, files] {
      if (files.isEmpty()) {
        dialog.reject();
        return;
      }
      QStringList quoted;
      for (const QString& f : files) quoted << '"' + QFileInfo(f).fileName() + '"';
      dialog.setDirectory(QFileInfo(files.front()).absolutePath());
      dialog.selectFile(files.size() == 1 ? files.front() : quoted.join(' '));
      QMetaObject::invokeMethod(&dialog, "accept");  // runs the dialog's own checks
    });
  };
}

bool touch(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write("BM", 2) == 2;
}

std::string native(const QString& path) { return QDir::toNativeSeparators(path).toStdString(); }

}  // namespace

class FileDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { cFileDialog::set_hook(nullptr); }

  void filtersBecomeQtFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("preview bitmaps") << "Bitmap Image Files |*.bmp" << QStringList{"Bitmap Image Files (*.bmp)"};
    QTest::newRow("pattern already named") << "Package File (*.pkg)|*.pkg" << QStringList{"Package File (*.pkg)"};
    QTest::newRow("two pairs, two patterns") << "A|*.a;*.b|B|*.c" << QStringList{"A (*.a *.b)", "B (*.c)"};
    QTest::newRow("colon separates too") << "Cfg:*.rcf" << QStringList{"Cfg (*.rcf)"};
    QTest::newRow("description alone") << "Lonely" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
  }

  void filtersBecomeQtFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(qt_name_filters(filter.toStdString()), expected);
  }

  void cancelledOpenKeepsFileName() {
    QTemporaryDir dir;
    cFileDialog dialog;
    dialog.set_FileName("C:\\earlier\\choice.bmp");
    dialog.set_Filter("Bitmap Image Files |*.bmp");
    dialog.set_InitDir(dir.path().toStdString());
    int shown = 0;
    QStringList filters;
    QString folder;
    cFileDialog::set_hook(answer_with({}, &shown, &filters, &folder));
    QVERIFY(dialog.ShowOpen().ok());
    QCOMPARE(shown, 1);
    QVERIFY(dialog.Cancel());
    QCOMPARE(dialog.FileName(), std::string("C:\\earlier\\choice.bmp"));
    QCOMPARE(filters, QStringList{"Bitmap Image Files (*.bmp)"});
    QCOMPARE(folder, QDir(dir.path()).absolutePath());
  }

  void cancelledSaveEmptiesFileName() {
    cFileDialog dialog;
    dialog.set_FileName("keep.pkg");
    cFileDialog::set_hook(answer_with({}));
    QVERIFY(dialog.ShowSave().ok());
    QVERIFY(dialog.Cancel());
    QVERIFY(dialog.FileName().empty());
  }

  void chosenFileFillsNameAndTitle() {
    QTemporaryDir dir;
    const QString path = dir.filePath("preview.bmp");
    QVERIFY(touch(path));
    cFileDialog dialog;
    dialog.set_Filter("Bitmap Image Files |*.bmp");
    cFileDialog::set_hook(answer_with({path}));
    QVERIFY(dialog.ShowOpen().ok());
    QVERIFY(!dialog.Cancel());
    QCOMPARE(dialog.FileName(), native(path));
    QCOMPARE(dialog.FileTitle(), std::string("preview.bmp"));
  }

  void multiSelectOfOneFileGivesItsPath() {
    QTemporaryDir dir;
    const QString path = dir.filePath("one.pkg");
    QVERIFY(touch(path));
    cFileDialog dialog;
    dialog.set_flags(kOfnAllowMultiSelect);
    cFileDialog::set_hook(answer_with({path}));
    QVERIFY(dialog.ShowOpen().ok());
    QCOMPARE(dialog.FileName(), native(path) + std::string(2, '\0'));
    std::string folder;
    std::vector<std::string> files;
    std::int32_t count = 0;
    dialog.ParseMultiFileName(folder, files, count);
    QCOMPARE(folder, native(QDir(dir.path()).absolutePath()) + QDir::separator().toLatin1());
    QCOMPARE(files, std::vector<std::string>{"one.pkg"});
    QCOMPARE(count, 1);
  }

  void multiSelectListsFolderThenNames() {
    QTemporaryDir dir;
    QVERIFY(touch(dir.filePath("a.pkg")));
    QVERIFY(touch(dir.filePath("b.pkg")));
    cFileDialog dialog;
    dialog.set_flags(kOfnAllowMultiSelect);
    cFileDialog::set_hook(answer_with({dir.filePath("a.pkg"), dir.filePath("b.pkg")}));
    QVERIFY(dialog.ShowOpen().ok());
    std::string folder;
    std::vector<std::string> files;
    std::int32_t count = 0;
    dialog.ParseMultiFileName(folder, files, count);
    QCOMPARE(folder, native(QDir(dir.path()).absolutePath()));
    QCOMPARE(count, 2);
    std::sort(files.begin(), files.end());
    QCOMPARE(files, (std::vector<std::string>{"a.pkg", "b.pkg"}));
  }

  void parseSplitsTheBufferForms() {
    cFileDialog dialog;
    std::string folder;
    std::vector<std::string> files;
    std::int32_t count = 0;
    dialog.set_FileName(std::string("C:\\Downloads\0first.pkg\0second.pkg\0\0", 35));
    dialog.ParseMultiFileName(folder, files, count);
    QCOMPARE(folder, std::string("C:\\Downloads"));
    QCOMPARE(files, (std::vector<std::string>{"first.pkg", "second.pkg"}));
    QCOMPARE(count, 2);

    count = 1;  // callers may append to a list already holding one name
    files = {"kept.pkg"};
    dialog.set_FileName(std::string("D:\\x\0third.pkg\0\0", 16));
    dialog.ParseMultiFileName(folder, files, count);
    QCOMPARE(files, (std::vector<std::string>{"kept.pkg", "third.pkg"}));
    QCOMPARE(count, 2);

    count = 0;
    dialog.set_FileName("plain.pkg");
    dialog.ParseMultiFileName(folder, files, count);
    QVERIFY(folder.empty());
    QCOMPARE(files, std::vector<std::string>{"plain.pkg"});
    QCOMPARE(count, 1);
  }

  void overlongFileNameIsRefusedBeforeShowing() {
    cFileDialog dialog;
    dialog.set_FileName(std::string(1025, 'a'));
    int shown = 0;
    cFileDialog::set_hook(answer_with({}, &shown));
    auto result = dialog.ShowOpen();
    QVERIFY(!result.ok());
    QCOMPARE(int(result.error().code), int(ErrorCode::kRefused));
    QVERIFY(!dialog.ShowSave().ok());
    QCOMPARE(shown, 0);
    dialog.set_FileName(std::string(1024, 'a'));
    dialog.set_FileTitle(std::string(1025, 't'));
    QVERIFY(!dialog.ShowOpen().ok());
    QCOMPARE(shown, 0);
  }
};

}  // namespace pw::ui

int run_file_dialog_tests(int argc, char** argv) {
  pw::ui::FileDialogTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "file_dialog_test.moc"
