// Message boxes and file dialogs, answered by scripts instead of a person.
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "test_support.h"
#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/qt_message_box.h"

namespace pw::ui {
namespace {

enum Action { kClickOk, kClickCancel, kCloseWindow, kPressEscape };

struct Seen {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  bool modal = false;
};

QtMessageService::Responder respond(Action action, Seen& seen) {
  return [action, &seen](QMessageBox& box) {
    seen = Seen{box.windowTitle(), box.text(), box.icon(), int(box.buttons().size()), box.isModal()};
    switch (action) {
      case kClickOk: box.button(QMessageBox::Ok)->click(); break;
      case kClickCancel: box.button(QMessageBox::Cancel)->click(); break;
      case kCloseWindow: box.close(); break;
      case kPressEscape: QTest::keyClick(&box, Qt::Key_Escape); break;
    }
  };
}

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

class DialogTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { cFileDialog::set_hook(nullptr); }

  void resultsFollowTheButtonPressed() {
    const struct {
      const char* name;
      int style;
      Action action;
      int result;
      QMessageBox::Icon icon;
      int buttons;
    } cases[] = {
        {"confirm, OK", 1, kClickOk, 1, QMessageBox::NoIcon, 2},
        {"confirm, Cancel", 1, kClickCancel, 2, QMessageBox::NoIcon, 2},
        {"confirm, closed", 1, kCloseWindow, 2, QMessageBox::NoIcon, 2},
        {"confirm, Escape", 1, kPressEscape, 2, QMessageBox::NoIcon, 2},
        {"plain, OK", 0, kClickOk, 1, QMessageBox::NoIcon, 1},
        {"plain, closed", 0, kCloseWindow, 1, QMessageBox::NoIcon, 1},
        {"failure", 16, kClickOk, 1, QMessageBox::Critical, 1},
        {"success", 64, kPressEscape, 1, QMessageBox::Information, 1},
    };
    for (const auto& c : cases) {
      Seen seen;
      QtMessageService service;
      service.set_responder(respond(c.action, seen));
      QVERIFY2(service.ShowMessage("Proceed?", c.style, "Title") == c.result, c.name);
      QVERIFY2(seen.icon == c.icon && seen.buttons == c.buttons && seen.modal, c.name);
    }
  }

  void titleDefaultsAndLineBreaksShow() {
    Seen seen;
    QtMessageService service;
    service.set_responder(respond(kClickOk, seen));
    QCOMPARE(service.ShowMessage("First line\rSecond\r\rAfter a gap\r\nLast \xe9t\xe9", 64, ""), 1);
    QCOMPARE(seen.title, QString("Varnel FSX Paintwell"));
    QCOMPARE(seen.text, QString::fromUtf8("First line\nSecond\n\nAfter a gap\nLast \xc3\xa9t\xc3\xa9"));
    QCOMPARE(service.ShowMessage("x", 0, "Remove Repaints"), 1);
    QCOMPARE(seen.title, QString("Remove Repaints"));
  }

  void showMessageGoesThroughTheServiceSet() {
    test::RecordingService scripted;
    set_message_service(&scripted);
    QCOMPARE(ShowMessage("Install?", kStyleOkCancel), kResultOk);
    set_message_service(nullptr);
    QCOMPARE(scripted.shown.size(), std::size_t(1));
    QCOMPARE(scripted.shown[0].text, std::string("Install?"));
    QCOMPARE(scripted.shown[0].style, 1);
    QVERIFY(scripted.shown[0].title.empty());

    Seen seen;
    default_message_service().set_responder(respond(kCloseWindow, seen));
    QCOMPARE(ShowMessage("Back to the real box", kStyleOkCancel, "T"), kResultCancel);
    QCOMPARE(seen.title, QString("T"));
    default_message_service().set_responder(nullptr);
  }

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

int run_dialog_tests(int argc, char** argv) {
  pw::ui::DialogTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "dialog_test.moc"
