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

// Ends the dialog once it runs: accept with `file` chosen, or reject when empty.
cFileDialog::Hook answer_with(const QString& file, Shown* shown = nullptr) {
  return [=](QFileDialog& dialog) {
    if (shown != nullptr) *shown = {shown->count + 1, dialog.nameFilters(), dialog.directory().absolutePath()};
    QTimer::singleShot(0, &dialog, [&dialog, file] {
      if (file.isEmpty()) return dialog.reject();
      dialog.setDirectory(QFileInfo(file).absolutePath());
      dialog.selectFile(file);
      QMetaObject::invokeMethod(&dialog, "accept");  // runs the dialog's own checks
    });
  };
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

  void cancelKeepsTheEarlierName() {
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
  }

  // The program opens one file at a time; the save and multi-select modes
  // have no caller.
  void chosenFileFillsNameAndTitle() {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.pkg");
    QFile file(a);
    QVERIFY(file.open(QIODevice::WriteOnly));
    cFileDialog dialog;
    cFileDialog::set_hook(answer_with({a}));
    QVERIFY(dialog.ShowOpen().ok());
    QVERIFY(!dialog.Cancel());
    QCOMPARE(dialog.FileName(), QDir::toNativeSeparators(a).toStdString());
    QCOMPARE(dialog.FileTitle(), std::string("a.pkg"));
  }

  void overlongNamesAreRefusedBeforeShowing() {
    cFileDialog dialog;
    dialog.set_FileName(std::string(1025, 'a'));
    Shown shown;
    cFileDialog::set_hook(answer_with({}, &shown));
    auto result = dialog.ShowOpen();
    QVERIFY(!result.ok());
    QCOMPARE(int(result.error().code), int(ErrorCode::kRefused));
    QCOMPARE(shown.count, 0);
  }
};

}  // namespace pw::ui

int run_dialog_tests(int argc, char** argv) {
  pw::ui::DialogTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "dialog_test.moc"
