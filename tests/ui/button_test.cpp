// The image buttons: their frames and states, the tips they show, and the
// event watching (subclassing) both are built on.
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QtTest>
#include <memory>

#include "test_support.h"
#include "ui/image_button.h"
#include "ui/skin_paths.h"
#include "ui/smart_sub_class.h"
#include "ui/tooltip.h"

namespace pw::ui {
namespace {

using test::kFrames;
using test::send_leave;
using test::send_mouse;

int tip_count(const QWidget& owner) {
  int count = 0;
  for (const QWidget* child : owner.findChildren<QWidget*>()) count += child->objectName() == "pw_tooltip";
  return count;
}

const QString kLongText = QStringLiteral(
    "Press to select a new preview image for your repaint package.  Images MUST be bmp files "
    "with a resolution of 400x300, and this text goes on long enough to need several lines.");

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

class ButtonTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempProgramFolder> folder_;
  std::unique_ptr<QWidget> form_;
  int calls_ = 0;
  QString called_with_;  // type, form and state while the command ran

  LargeButton* make_button(const QString& state) {
    auto* button = new LargeButton(form_.get());
    button->set_button_type("exit");
    button->set_form_name(form_.get());
    button->set_picture("Exit");
    button->set_state(state);
    return button;
  }

 private slots:
  void init() {
    folder_ = std::make_unique<test::TempProgramFolder>();
    QVERIFY(folder_->ok());
    QVERIFY(test::frame_strip(kLargeFace).save(folder_->media("Exit.bmp"), "BMP"));
    QVERIFY(test::frame_strip(kSmallFace).save(folder_->media("Small.bmp"), "BMP"));
    form_ = std::make_unique<QWidget>();
    form_->setObjectName("frm_Test");
    calls_ = 0;
    LargeButton::set_dispatcher([this](LargeButton& b) {
      ++calls_;
      called_with_ = b.button_type() + " " + b.form_name() + " " + b.state();
    });
  }

  void cleanup() {
    LargeButton::set_dispatcher(nullptr);
    form_.reset();
    folder_.reset();
  }

  void pictureNameIsTrimmedAndAMissingOneKeepsTheOld() {
    auto* button = new LargeButton(form_.get());
    button->set_state("disabled");
    button->set_picture(" Exit ");
    QCOMPARE(button->picture(), QString(" Exit "));
    QCOMPARE(test::shown_colour(button, QPoint(20, 20)), kFrames[3]);
    button->set_picture("NoSuchFile");
    QCOMPARE(button->picture(), QString("NoSuchFile"));
    QCOMPARE(button->pic_BG()->size(), QSize(155, 180));
    QCOMPARE(test::shown_colour(button, QPoint(20, 20)), kFrames[3]);
  }

  void stateShowsItsFrame() {
    const struct {
      const char* state;
      int large, small, frame;
    } cases[] = {{"down", -45, -42, 1}, {"highlight", -90, -84, 2}, {"disabled", -135, -126, 3}, {"enabled", 0, 0, 0}};
    LargeButton* button = make_button("highlight");
    SmallButton small(form_.get());
    small.set_picture("Small");
    QCOMPARE(small.size(), QSize(42, 42));
    for (const auto& c : cases) {
      button->set_state(c.state);
      small.set_state(c.state);
      QCOMPARE(button->state(), QString(c.state));
      QCOMPARE(button->frame_offset(), c.large);
      QCOMPARE(small.frame_offset(), c.small);
      QCOMPARE(test::shown_colour(button, QPoint(150, 40)), kFrames[c.frame]);
    }
    button->set_state("down");
    for (const char* unknown : {"Enabled", ""}) {  // stored, but the frame stays
      button->set_state(unknown);
      QCOMPARE(button->state(), QString(unknown));
      QCOMPARE(button->frame_offset(), -45);
    }
    LargeButton fresh(form_.get());
    QVERIFY(fresh.state().isEmpty());
    QCOMPARE(fresh.frame_offset(), 0);
    button->setGeometry(5, 6, 20, 400);  // a resize snaps back to the face
    QCOMPARE(button->geometry(), QRect(5, 6, 155, 45));
    small.resize(155, 45);
    QCOMPARE(small.size(), QSize(42, 42));
  }

  void hoverHighlightsOnceAndLeavingRestores() {
    LargeButton* button = make_button("enabled");
    QWidget* surface = button->pic_BG();
    send_mouse(surface, QEvent::MouseMove, Qt::NoButton);
    QCOMPARE(button->state(), QString("highlight"));
    QVERIFY(button->tracking());
    button->set_state("enabled");  // as a screen might
    send_mouse(surface, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(30, 20));
    QCOMPARE(button->state(), QString("enabled"));  // further moves change nothing
    button->set_state("down");
    send_leave(surface);
    QCOMPARE(button->state(), QString("enabled"));
    QVERIFY(!button->tracking());
    send_mouse(surface, QEvent::MouseMove, Qt::NoButton);
    QCOMPARE(button->state(), QString("highlight"));
    send_mouse(surface, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(button->state(), QString("down"));
    QCOMPARE(calls_, 0);
  }

  void pressAndReleaseRunTheCommand() {
    LargeButton* button = make_button("enabled");
    int signals_seen = 0;
    connect(button, &LargeButton::released, this, [&](LargeButton* b) { signals_seen += b == button; });
    send_mouse(button->pic_BG(), QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    QCOMPARE(button->state(), QString("down"));
    QCOMPARE(calls_, 0);
    send_mouse(button->pic_BG(), QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
    QCOMPARE(signals_seen, 1);
    QCOMPARE(calls_, 1);
    QCOMPARE(called_with_, QString("exit frm_Test highlight"));

    SmallButton small(form_.get());  // a small button's release only highlights
    small.set_state("enabled");
    send_mouse(small.pic_BG(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    send_mouse(small.pic_BG(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(small.state(), QString("highlight"));
    QCOMPARE(calls_, 1);
  }

  void disabledButtonIgnoresTheMouse() {
    LargeButton* button = make_button("disabled");
    int signals_seen = 0;
    connect(button, &LargeButton::released, this, [&] { ++signals_seen; });
    QWidget* surface = button->pic_BG();
    send_mouse(surface, QEvent::MouseMove, Qt::NoButton);
    QVERIFY(button->tracking());  // the leave report is still asked for
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
      send_mouse(surface, type, Qt::LeftButton, type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton);
    }
    send_leave(surface);
    QCOMPARE(button->state(), QString("disabled"));
    QCOMPARE(button->frame_offset(), -135);
    QCOMPARE(calls_, 0);
    QCOMPARE(signals_seen, 0);
  }

  void timesLiveInTheWindowAndAreClampedUntilDestroyed() {
    QWidget owner;
    cls_Tooltip tip;
    tip.set_VisibleTime(1234);
    QCOMPARE(tip.VisibleTime(), 0);  // no window yet
    QVERIFY(tip.Create(&owner));
    const QList<QPair<int, int>> cases = {{40000, 32767}, {-5, 0}, {250, 250}, {32767, 32767}};
    for (const auto& [written, read] : cases) {
      tip.set_VisibleTime(written);
      tip.set_DelayTime(written);
      QCOMPARE(tip.VisibleTime(), read);
      QCOMPARE(tip.DelayTime(), read);
    }
    QVERIFY(!tip.Create(nullptr));
    QCOMPARE(tip_count(owner), 1);
    tip.Destroy();
    QCOMPARE(tip_count(owner), 0);
    QCOMPARE(tip.tip_window(), nullptr);
    QVERIFY(!tip.AddControl(&owner, "late"));
  }

  void fontHeightFollowsTheDisplay() {
    QCOMPARE(tip_font_pixel_height(9.75, 96), 13);
    QCOMPARE(tip_font_pixel_height(8.25, 96), 11);   // 8 points: 10.67 rounds up
    QCOMPARE(tip_font_pixel_height(9.75, 120), 17);  // 10 points: 16.67
    QCOMPARE(tip_font_pixel_height(9.4, 72), 9);     // rounded to whole points first
    QWidget owner;
    cls_Tooltip tip;
    QVERIFY(tip.Create(&owner));
    QFont big;
    big.setPointSizeF(20);
    tip.set_Font(&big);
    const int pixels = tip.tip_window()->font().pixelSize();
    QCOMPARE(pixels, tip_font_pixel_height(20, tip.tip_window()->logicalDpiY()));
    tip.set_Font(nullptr);  // no font changes nothing
    QCOMPARE(tip.tip_window()->font().pixelSize(), pixels);
  }

  // The tip's settings are the skin's constants; its delay, width and
  // colours show in the test below.
  void buttonTipIsMadeOnceWhenFirstSet() {
    QWidget form;
    LargeButton button(&form);
    QCOMPARE(button.tooltip(), nullptr);
    button.set_ToolTip("Click to Exit.");
    QVERIFY(button.tooltip() != nullptr);
    button.set_ToolTip("second");
    QCOMPARE(button.ToolTip(), QString("second"));
    button.set_ToolTip("");
    QCOMPARE(tip_count(button), 1);  // rewriting keeps one window
  }

  void tipShowsAfterTheDelayWrapsAndHidesOnAClick() {
    QWidget form;
    form.resize(300, 200);
    LargeButton button(&form);
    button.set_ToolTip(kLongText);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    cls_Tooltip* tip = button.tooltip();
    QElapsedTimer clock;
    clock.start();
    QCursor::setPos(button.mapToGlobal(QPoint(20, 20)));
    test::send_enter(button.pic_BG());
    QVERIFY(!tip->is_showing());
    QTRY_VERIFY_WITH_TIMEOUT(tip->is_showing(), 3000);
    QVERIFY(clock.elapsed() >= 240);  // timer slack of a few ms
    QWidget* window = tip->tip_window();
    const int line = QFontMetrics(window->font()).lineSpacing();
    QVERIFY(window->width() <= 400);
    QVERIFY2(window->height() >= 3 * line, qPrintable(QString::number(window->height())));
    const QColor background = window->grab().toImage().pixelColor(window->width() / 2, 2);
    QCOMPARE(background, QColor(231, 231, 231));
    // A click hides it until the pointer leaves and comes back.
    test::send_mouse(button.pic_BG(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(!tip->is_showing());
    test::send_mouse(button.pic_BG(), QEvent::MouseMove, Qt::NoButton);
    QTest::qWait(300);
    QVERIFY(!tip->is_showing());
    test::send_leave(button.pic_BG());
    test::send_enter(button.pic_BG());
    QTRY_VERIFY(tip->is_showing());
    test::send_leave(button.pic_BG());
    QVERIFY(!tip->is_showing());
  }

  void tipGoesAwayAfterItsVisibleTime() {
    QWidget owner;
    owner.resize(100, 100);
    cls_Tooltip tip;
    QVERIFY(tip.Create(&owner));
    QVERIFY(tip.AddControl(&owner, "hello"));
    QVERIFY(!tip.AddControl(nullptr, "x"));
    tip.set_DelayTime(0);
    tip.set_VisibleTime(100);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QCursor::setPos(owner.mapToGlobal(QPoint(50, 50)));
    test::send_enter(&owner);
    QTRY_VERIFY(tip.is_showing());
    QTRY_VERIFY_WITH_TIMEOUT(!tip.is_showing(), 2000);
    test::send_enter(&owner);  // still inside: it stays away
    QTest::qWait(150);
    QVERIFY(!tip.is_showing());
    test::send_leave(&owner);
    test::send_enter(&owner);
    QTRY_VERIFY(tip.is_showing());
  }

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
    connect(&owner, &SmartSubClass::NewMessage, this,
            [&](QWidget*, QEvent* e, bool*) { seen += e->type() == kPayloadType; });
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

  void endingTheObjectOrTheWidgetEndsTheLink() {
    SmartSubClass watcher;
    auto destroyed = std::make_unique<Probe>();
    QVERIFY(watcher.SubClassHwnd(destroyed.get(), true));
    destroyed.reset();
    QCOMPARE(watcher.window_count(), 0);  // no dangling link

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
};

}  // namespace pw::ui

int run_button_tests(int argc, char** argv) {
  pw::ui::ButtonTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "button_test.moc"
