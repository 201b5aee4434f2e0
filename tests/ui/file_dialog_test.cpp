#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "ui/file_dialog.h"

namespace pw::ui {
namespace {

// What the dialog was shown with.
struct Shown {
  int count = 0;
  QStringList filters;
  QString folder;
};

// Ends the dialog once it runs: accept with `files` chosen, or reject when empty.
cFileDialog::Hook answer_with(const QStringList& files, Shown* shown = nullptr) {
  return [=](QFileDialog& dialog) {
    if (shown != nullptr) *shown = {shown->count + 1, dialog.nameFilters(), dialog.directory().absolutePath()};
    QTimer::singleShot(0, &dialog, [&dialog, files] {
      if (files.isEmpty()) return dialog.reject();
      QStringList quoted;
      for (const QString& f : files) quoted << '"' + QFileInfo(f).fileName() + '"';
      dialog.setDirectory(QFileInfo(files.front()).absolutePath());
      dialog.selectFile(files.size() == 1 ? files.front() : quoted.join(' '));
      QMetaObject::invokeMethod(&dialog, "accept");  // runs the dialog's own checks
    });
  };
}

std::string native(const QString& path) { return QDir::toNativeSeparators(path).toStdString(); }

struct Parsed {
  std::string folder;
  std::vector<std::string> files;
  std::int32_t count = 0;
};

Parsed parse(cFileDialog& dialog, Parsed start = {}) {
  dialog.ParseMultiFileName(start.folder, start.files, start.count);
  return start;
}

}  // namespace

class FileDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { cFileDialog::set_hook(nullptr); }

  void filtersBecomeQtFilters() {
    const struct {
      const char* filter;
      QStringList expected;
    } cases[] = {
        {"Bitmap Image Files |*.bmp", {"Bitmap Image Files (*.bmp)"}},
        {"Package File (*.pkg)|*.pkg", {"Package File (*.pkg)"}},  // pattern already named
        {"A|*.a;*.b|B|*.c", {"A (*.a *.b)", "B (*.c)"}},
        {"Cfg:*.rcf", {"Cfg (*.rcf)"}},  // a colon separates too
        {"Lonely", {}},
        {"", {}},
    };
    for (const auto& c : cases) QCOMPARE(qt_name_filters(c.filter), c.expected);
  }

  void cancelKeepsTheOpenNameAndEmptiesTheSaveName() {
    QTemporaryDir dir;
    cFileDialog dialog;
    dialog.set_FileName("C:\\earlier\\choice.bmp");
    dialog.set_Filter("Bitmap Image Files |*.bmp");
    dialog.set_InitDir(dir.path().toStdString());
    Shown shown;
    cFileDialog::set_hook(answer_with({}, &shown));
    QVERIFY(dialog.ShowOpen().ok());
    QCOMPARE(shown.count, 1);
    QVERIFY(dialog.Cancel());
    QCOMPARE(dialog.FileName(), std::string("C:\\earlier\\choice.bmp"));
    QCOMPARE(shown.filters, QStringList{"Bitmap Image Files (*.bmp)"});
    QCOMPARE(shown.folder, QDir(dir.path()).absolutePath());
    QVERIFY(dialog.ShowSave().ok());
    QVERIFY(dialog.Cancel());
    QVERIFY(dialog.FileName().empty());
  }

  void chosenFilesFillNameTitleAndTheMultiSelectBuffer() {
    QTemporaryDir dir;
    for (const char* name : {"a.pkg", "b.pkg"}) {
      QFile file(dir.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString a = dir.filePath("a.pkg");
    const std::string folder = native(QDir(dir.path()).absolutePath());
    cFileDialog dialog;
    cFileDialog::set_hook(answer_with({a}));
    QVERIFY(dialog.ShowOpen().ok());
    QVERIFY(!dialog.Cancel());
    QCOMPARE(dialog.FileName(), native(a));
    QCOMPARE(dialog.FileTitle(), std::string("a.pkg"));

    dialog.set_flags(kOfnAllowMultiSelect);
    QVERIFY(dialog.ShowOpen().ok());  // one file: its path, then the double NUL
    QCOMPARE(dialog.FileName(), native(a) + std::string(2, '\0'));
    Parsed one = parse(dialog);
    QCOMPARE(one.folder, folder + QDir::separator().toLatin1());
    QCOMPARE(one.files, std::vector<std::string>{"a.pkg"});
    QCOMPARE(one.count, 1);

    cFileDialog::set_hook(answer_with({a, dir.filePath("b.pkg")}));
    QVERIFY(dialog.ShowOpen().ok());
    Parsed two = parse(dialog);
    QCOMPARE(two.folder, folder);
    std::sort(two.files.begin(), two.files.end());
    QCOMPARE(two.files, (std::vector<std::string>{"a.pkg", "b.pkg"}));
    QCOMPARE(two.count, 2);
  }

  void parseSplitsTheBufferForms() {
    cFileDialog dialog;
    dialog.set_FileName(std::string("C:\\Downloads\0first.pkg\0second.pkg\0\0", 35));
    Parsed two = parse(dialog);
    QCOMPARE(two.folder, std::string("C:\\Downloads"));
    QCOMPARE(two.files, (std::vector<std::string>{"first.pkg", "second.pkg"}));
    QCOMPARE(two.count, 2);

    dialog.set_FileName(std::string("D:\\x\0third.pkg\0\0", 16));
    Parsed appended = parse(dialog, {"", {"kept.pkg"}, 1});  // callers may append to a list
    QCOMPARE(appended.files, (std::vector<std::string>{"kept.pkg", "third.pkg"}));
    QCOMPARE(appended.count, 2);

    dialog.set_FileName("plain.pkg");
    Parsed plain = parse(dialog);
    QVERIFY(plain.folder.empty());
    QCOMPARE(plain.files, std::vector<std::string>{"plain.pkg"});
    QCOMPARE(plain.count, 1);
  }

  void overlongNamesAreRefusedBeforeShowing() {
    cFileDialog dialog;
    dialog.set_FileName(std::string(1025, 'a'));
    Shown shown;
    cFileDialog::set_hook(answer_with({}, &shown));
    auto result = dialog.ShowOpen();
    QVERIFY(!result.ok());
    QCOMPARE(int(result.error().code), int(ErrorCode::kRefused));
    QVERIFY(!dialog.ShowSave().ok());
    dialog.set_FileName(std::string(1024, 'a'));
    dialog.set_FileTitle(std::string(1025, 't'));
    QVERIFY(!dialog.ShowOpen().ok());
    QCOMPARE(shown.count, 0);
  }
};

}  // namespace pw::ui

int run_file_dialog_tests(int argc, char** argv) {
  pw::ui::FileDialogTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "file_dialog_test.moc"
