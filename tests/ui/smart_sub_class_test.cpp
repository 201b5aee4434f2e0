#include <QtTest>
#include <memory>

#include "test_support.h"
#include "ui/smart_sub_class.h"

namespace pw::ui {
namespace {

const QEvent::Type kPayloadType = QEvent::Type(QEvent::User + 7);

// An event that carries a value the watcher may change on the way.
class PayloadEvent : public QEvent {
 public:
  explicit PayloadEvent(int v) : QEvent(kPayloadType), value(v) {}
  int value;
};

// Records what reaches the widget itself.
class Probe : public QWidget {
 public:
  int presses = 0;
  int payload = -1;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == kPayloadType) {
      payload = static_cast<PayloadEvent*>(e)->value;
      return true;
    }
    return QWidget::event(e);
  }
  void mousePressEvent(QMouseEvent*) override { ++presses; }
};

}  // namespace

class SmartSubClassTest : public QObject {
  Q_OBJECT

 private slots:
  void aWidgetHasOneWatcherAndOnlyItMayLetGo() {
    Probe widget;
    SmartSubClass owner;
    SmartSubClass stranger;
    QVERIFY(!stranger.SubClassHwnd(&widget, false));  // nobody watches it
    QVERIFY(owner.SubClassHwnd(&widget, true));
    QVERIFY(!owner.SubClassHwnd(&widget, true));
    QVERIFY(!stranger.SubClassHwnd(&widget, true));
    QVERIFY(!stranger.SubClassHwnd(&widget, false));
    QCOMPARE(owner.window_count(), 1);
    QCOMPARE(stranger.window_count(), 0);
    int seen = 0;
    connect(&owner, &SmartSubClass::NewMessage, this, [&](QWidget*, QEvent* e, bool*) { seen += e->type() == kPayloadType; });
    PayloadEvent event(1);
    QApplication::sendEvent(&widget, &event);
    QCOMPARE(seen, 1);  // the first link is still in place
    QVERIFY(owner.SubClassHwnd(&widget, false));
    QVERIFY(!owner.SubClassHwnd(&widget, false));
    QCOMPARE(owner.window_count(), 0);
    QVERIFY(stranger.SubClassHwnd(&widget, true));  // free again
    QVERIFY(!owner.SubClassHwnd(nullptr, true));
  }

  void theWatcherMayCancelOrChangeEvents() {
    Probe widget;
    SmartSubClass sniff;
    QVERIFY(sniff.SubClassHwnd(&widget, true));
    int presses = 0;
    connect(&sniff, &SmartSubClass::NewMessage, this, [&](QWidget* hwnd, QEvent* e, bool* cancel) {
      QCOMPARE(hwnd, static_cast<QWidget*>(&widget));
      QVERIFY(!*cancel);  // false on entry
      if (e->type() == kPayloadType) static_cast<PayloadEvent*>(e)->value *= 10;
      if (e->type() == QEvent::MouseButtonPress) *cancel = ++presses > 0;
    });
    test::send_mouse(&widget, QEvent::MouseButtonPress);
    QCOMPARE(presses, 1);
    QCOMPARE(widget.presses, 0);
    PayloadEvent payload(4);
    QApplication::sendEvent(&widget, &payload);
    QCOMPARE(widget.payload, 40);  // other events go on, as changed
  }

  void endingTheObjectReleasesEveryWidget() {
    Probe a;
    Probe b;
    Probe c;
    int seen = 0;
    {
      SmartSubClass sniff;
      QVERIFY(sniff.SubClassHwnd(&a, true));
      QVERIFY(sniff.SubClassHwnd(&b, true));
      QVERIFY(sniff.SubClassHwnd(&c, true));
      QVERIFY(sniff.SubClassHwnd(&b, false));  // a free slot in the middle
      QVERIFY(sniff.SubClassHwnd(&b, true));   // reused
      QCOMPARE(sniff.window_count(), 3);
      connect(&sniff, &SmartSubClass::NewMessage, this, [&](QWidget*, QEvent*, bool*) { ++seen; });
    }
    test::send_mouse(&a, QEvent::MouseButtonPress);
    test::send_mouse(&c, QEvent::MouseButtonPress);
    QCOMPARE(seen, 0);
    QCOMPARE(a.presses, 1);
    SmartSubClass next;
    QVERIFY(next.SubClassHwnd(&a, true));
    QVERIFY(next.SubClassHwnd(&b, true));
    QVERIFY(next.SubClassHwnd(&c, true));
  }

  void aDestroyedWidgetLeavesNoDanglingLink() {
    SmartSubClass sniff;
    auto widget = std::make_unique<Probe>();
    QVERIFY(sniff.SubClassHwnd(widget.get(), true));
    widget.reset();
    QCOMPARE(sniff.window_count(), 0);
  }
};

}  // namespace pw::ui

int run_smart_sub_class_tests(int argc, char** argv) {
  pw::ui::SmartSubClassTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "smart_sub_class_test.moc"
