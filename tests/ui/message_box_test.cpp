#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

#include "ui/message_box.h"
#include "ui/qt_message_box.h"

namespace pw::ui {
namespace {

enum Action { kClickOk, kClickCancel, kCloseWindow, kPressEscape };

struct Seen {
  QString title;
  QString text;
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

// Answers without any window, and remembers what it was asked.
class ScriptedService : public MessageService {
 public:
  int ShowMessage(std::string_view text, int style, std::string_view title) override {
    last_text = std::string(text);
    last_style = style;
    last_title = std::string(title);
    return answer;
  }
  int answer = kResultCancel;
  std::string last_text;
  int last_style = -1;
  std::string last_title;
};

}  // namespace

class MessageBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void resultsFollowTheButtonPressed_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::newRow("confirm, OK") << 1 << int(kClickOk) << 1 << int(QMessageBox::NoIcon) << 2;
    QTest::newRow("confirm, Cancel") << 1 << int(kClickCancel) << 2 << int(QMessageBox::NoIcon) << 2;
    QTest::newRow("confirm, closed") << 1 << int(kCloseWindow) << 2 << int(QMessageBox::NoIcon) << 2;
    QTest::newRow("confirm, Escape") << 1 << int(kPressEscape) << 2 << int(QMessageBox::NoIcon) << 2;
    QTest::newRow("plain, OK") << 0 << int(kClickOk) << 1 << int(QMessageBox::NoIcon) << 1;
    QTest::newRow("plain, closed") << 0 << int(kCloseWindow) << 1 << int(QMessageBox::NoIcon) << 1;
    QTest::newRow("failure") << 16 << int(kClickOk) << 1 << int(QMessageBox::Critical) << 1;
    QTest::newRow("success") << 64 << int(kPressEscape) << 1 << int(QMessageBox::Information) << 1;
  }

  void resultsFollowTheButtonPressed() {
    QFETCH(int, style);
    QFETCH(int, action);
    QFETCH(int, result);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    Seen seen;
    QtMessageService service;
    service.set_responder(respond(Action(action), seen));
    QCOMPARE(service.ShowMessage("Proceed?", style, "Title"), result);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.buttons, buttons);
    QVERIFY(seen.modal);
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
    ScriptedService scripted;
    set_message_service(&scripted);
    scripted.answer = kResultOk;
    QCOMPARE(ShowMessage("Install?", kStyleOkCancel), kResultOk);
    QCOMPARE(scripted.last_text, std::string("Install?"));
    QCOMPARE(scripted.last_style, 1);
    QVERIFY(scripted.last_title.empty());
    set_message_service(nullptr);

    Seen seen;
    default_message_service().set_responder(respond(kCloseWindow, seen));
    QCOMPARE(ShowMessage("Back to the real box", kStyleOkCancel, "T"), kResultCancel);
    QCOMPARE(seen.title, QString("T"));
    default_message_service().set_responder(nullptr);
  }
};

}  // namespace pw::ui

int run_message_box_tests(int argc, char** argv) {
  pw::ui::MessageBoxTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "message_box_test.moc"
