#include <QtTest>
#include <memory>

#include "test_support.h"
#include "ui/image_button.h"
#include "ui/tooltip.h"

namespace pw::ui {
namespace {

using test::frame_colours;
using test::send_leave;
using test::send_mouse;

struct DispatchLog {
  int calls = 0;
  QString button_type;
  QString form_name;
  QString state_during_call;
};

}  // namespace

class ImageButtonTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempProgramFolder> folder_;
  std::unique_ptr<QWidget> form_;
  DispatchLog log_;

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
    QVERIFY(test::frame_strip(kLargeFace, frame_colours()).save(folder_->media("Exit.bmp"), "BMP"));
    QVERIFY(test::frame_strip(kSmallFace, frame_colours()).save(folder_->media("Small.bmp"), "BMP"));
    form_ = std::make_unique<QWidget>();
    form_->setObjectName("frm_Test");
    log_ = DispatchLog{};
    LargeButton::set_dispatcher([this](LargeButton& button) {
      ++log_.calls;
      log_.button_type = button.button_type();
      log_.form_name = button.form_name();
      log_.state_during_call = button.state();
    });
  }

  void cleanup() {
    LargeButton::set_dispatcher(nullptr);
    form_.reset();
    folder_.reset();
  }

  void pictureNameIsTrimmedForTheFileOnly() {
    LargeButton* button = make_button("enabled");
    button->set_picture(" Exit ");
    QCOMPARE(button->picture(), QString(" Exit "));
    QCOMPARE(button->pic_BG()->size(), QSize(155, 180));
    QCOMPARE(test::shown_colour(button, QPoint(20, 20)), frame_colours()[0]);
  }

  void missingPictureKeepsTheOldOne() {
    LargeButton* button = make_button("disabled");
    button->set_picture("NoSuchFile");
    QCOMPARE(button->picture(), QString("NoSuchFile"));
    QCOMPARE(button->pic_BG()->size(), QSize(155, 180));
    QCOMPARE(test::shown_colour(button, QPoint(20, 20)), frame_colours()[3]);
  }

  void stateShowsItsFrame_data() {
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("frame");
    QTest::newRow("enabled") << "enabled" << 0 << 0;
    QTest::newRow("down") << "down" << -45 << 1;
    QTest::newRow("highlight") << "highlight" << -90 << 2;
    QTest::newRow("disabled") << "disabled" << -135 << 3;
  }

  void stateShowsItsFrame() {
    QFETCH(QString, state);
    QFETCH(int, offset);
    QFETCH(int, frame);
    LargeButton* button = make_button("highlight");
    button->set_state(state);
    QCOMPARE(button->state(), state);
    QCOMPARE(button->frame_offset(), offset);
    QCOMPARE(test::shown_colour(button, QPoint(150, 40)), frame_colours()[frame]);
  }

  void unknownStateIsStoredButShowsNothingNew() {
    LargeButton* button = make_button("down");
    button->set_state("Enabled");
    QCOMPARE(button->state(), QString("Enabled"));
    QCOMPARE(button->frame_offset(), -45);
    button->set_state("");
    QCOMPARE(button->frame_offset(), -45);
  }

  void neverWrittenStateShowsEnabled() {
    LargeButton button(form_.get());
    QVERIFY(button.state().isEmpty());
    QCOMPARE(button.frame_offset(), 0);
  }

  void smallButtonUsesItsOwnFrames() {
    SmallButton button(form_.get());
    button.set_picture("Small");
    QCOMPARE(button.size(), QSize(42, 42));
    const QList<QPair<QString, int>> cases = {
        {"down", -42}, {"highlight", -84}, {"disabled", -126}, {"enabled", 0}};
    for (const auto& [state, offset] : cases) {
      button.set_state(state);
      QCOMPARE(button.frame_offset(), offset);
    }
  }

  void resizingSnapsBackToTheFace() {
    LargeButton* button = make_button("enabled");
    button->resize(300, 12);
    QCOMPARE(button->size(), QSize(155, 45));
    button->setGeometry(5, 6, 20, 400);
    QCOMPARE(button->geometry(), QRect(5, 6, 155, 45));
    SmallButton small(form_.get());
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
    QCOMPARE(log_.calls, 0);
  }

  void pressAndReleaseRunTheCommand() {
    LargeButton* button = make_button("enabled");
    int signals_seen = 0;
    connect(button, &LargeButton::released, this, [&](LargeButton* b) {
      QCOMPARE(b, button);
      ++signals_seen;
    });
    send_mouse(button->pic_BG(), QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    QCOMPARE(button->state(), QString("down"));
    QCOMPARE(log_.calls, 0);
    send_mouse(button->pic_BG(), QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
    QCOMPARE(signals_seen, 1);
    QCOMPARE(log_.calls, 1);
    QCOMPARE(log_.button_type, QString("exit"));
    QCOMPARE(log_.form_name, QString("frm_Test"));
    QCOMPARE(log_.state_during_call, QString("highlight"));
  }

  void doubleClickShowsDown() {
    LargeButton* button = make_button("highlight");
    send_mouse(button->pic_BG(), QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(button->state(), QString("down"));
  }

  void disabledButtonIgnoresTheMouse() {
    LargeButton* button = make_button("disabled");
    int signals_seen = 0;
    connect(button, &LargeButton::released, this, [&] { ++signals_seen; });
    QWidget* surface = button->pic_BG();
    send_mouse(surface, QEvent::MouseMove, Qt::NoButton);
    QCOMPARE(button->state(), QString("disabled"));
    QVERIFY(button->tracking());  // the leave report is still asked for
    send_mouse(surface, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    send_mouse(surface, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    send_mouse(surface, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    send_leave(surface);
    QCOMPARE(button->state(), QString("disabled"));
    QCOMPARE(button->frame_offset(), -135);
    QCOMPARE(log_.calls, 0);
    QCOMPARE(signals_seen, 0);
  }

  void smallButtonReleaseOnlyHighlights() {
    SmallButton button(form_.get());
    button.set_state("enabled");
    send_mouse(button.pic_BG(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    send_mouse(button.pic_BG(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(button.state(), QString("highlight"));
    QCOMPARE(log_.calls, 0);
  }

  void formNameComesFromTheWidgetOrTheText() {
    LargeButton* button = make_button("enabled");
    QCOMPARE(button->form(), form_.get());
    form_->setObjectName("frm_Install");
    QCOMPARE(button->form_name(), QString("frm_Install"));
    button->set_form_name(QString("frm_Remove"));
    QCOMPARE(button->form(), nullptr);
    QCOMPARE(button->form_name(), QString("frm_Remove"));
    button->set_HelpText("help");
    QCOMPARE(button->HelpText(), QString("help"));
  }

  void endSubClassStopsWatchingTheSurface() {
    LargeButton* button = make_button("enabled");
    button->set_ToolTip("tip");
    send_mouse(button->pic_BG(), QEvent::MouseMove, Qt::NoButton);
    button->end_sub_class();
    QCOMPARE(button->tooltip(), nullptr);
    send_leave(button->pic_BG());
    QCOMPARE(button->state(), QString("highlight"));  // the leave went unseen
    button->end_sub_class();                          // twice is harmless
  }
};

}  // namespace pw::ui

int run_image_button_tests(int argc, char** argv) {
  pw::ui::ImageButtonTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "image_button_test.moc"
