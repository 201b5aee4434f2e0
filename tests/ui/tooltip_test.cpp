#include <QElapsedTimer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

#include "test_support.h"
#include "ui/image_button.h"
#include "ui/skin_paths.h"
#include "ui/tooltip.h"

namespace pw::ui {
namespace {

int tip_count(const QWidget& owner) {
  int count = 0;
  for (const QWidget* child : owner.findChildren<QWidget*>()) count += child->objectName() == "pw_tooltip";
  return count;
}

const QString kLongText = QStringLiteral(
    "Press to select a new preview image for your repaint package.  Images MUST be bmp files "
    "with a resolution of 400x300, and this text goes on long enough to need several lines.");

}  // namespace

class TooltipTest : public QObject {
  Q_OBJECT

 private slots:
  void timesLiveInTheWindowAndAreClampedUntilDestroyed() {
    QWidget owner;
    cls_Tooltip tip;
    QCOMPARE(tip.MaxWidth(), 300);
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

  void buttonTipHasTheSkinSettings() {
    QWidget form;
    LargeButton button(&form);
    QCOMPARE(button.tooltip(), nullptr);
    button.set_ToolTip("Click to Exit.");
    cls_Tooltip* tip = button.tooltip();
    QVERIFY(tip != nullptr);
    QCOMPARE(tip->VisibleTime(), 10000);  // colours, width and delay show in the test below
    QWidget* window = tip->tip_window();
    QCOMPARE(window->font().pixelSize(), tip_font_pixel_height(9.75, window->logicalDpiY()));
    const QString family = QFontInfo(window->font()).family();
    QVERIFY2(family == "Tahoma" || family == "DejaVu Sans", qPrintable(family));
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
};

}  // namespace pw::ui

int run_tooltip_tests(int argc, char** argv) {
  pw::ui::TooltipTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "tooltip_test.moc"
