#include <QtTest>
#include <memory>

#include "test_support.h"
#include "ui/image_button.h"

namespace pw::ui {

using test::kFrames;
using test::send_leave;
using test::send_mouse;

class ImageButtonTest : public QObject {
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

};

}  // namespace pw::ui

int run_image_button_tests(int argc, char** argv) {
  pw::ui::ImageButtonTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "image_button_test.moc"
