#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QtTest>
#include <memory>

#include "test_support.h"
#include "ui/cursor_file.h"
#include "ui/font_scaling.h"
#include "ui/image_button.h"
#include "ui/message_box.h"
#include "ui/skinned_form.h"
#include "ui/trans_form.h"

namespace pw::ui {
namespace {

// A main-screen background: grey with black corners cut away.
QImage cornered_background() {
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(QColor(60, 80, 100));
  QPainter painter(&image);
  painter.fillRect(0, 0, 20, 20, Qt::black);
  painter.fillRect(780, 580, 20, 20, Qt::black);
  return image;
}

CursorImage cross_cursor() {
  CursorImage cursor{8, 8, 3, 4, std::vector<std::uint32_t>(64, 0u)};
  for (int i = 0; i < 8; ++i) {
    cursor.argb[std::size_t(3 * 8 + i)] = 0xFF000000u;
    cursor.argb[std::size_t(i * 8 + 3)] = 0xFFFFFFFFu;
  }
  return cursor;
}

bool write_file(const QString& path, const std::vector<std::uint8_t>& bytes) {
  QFile file(path);
  const auto size = qint64(bytes.size());
  return file.open(QIODevice::WriteOnly) && file.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

QColor colour(const QWidget& widget, QPalette::ColorRole role) { return widget.palette().color(role); }

}  // namespace

class SkinnedFormTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempProgramFolder> folder_;

  void write_full_skin() {
    const QImage background = cornered_background();
    QVERIFY(background.save(folder_->media("Repaint_Background.bmp"), "BMP"));
    QVERIFY(background.copy(0, 0, 350, 350).save(folder_->media("Remove_Background.bmp"), "BMP"));
    const auto outline = scan_key_colour(background, 0, background.size());
    QVERIFY(write_region_file(folder_->media("MainRegion.dat"), outline).ok());
    QVERIFY(write_file(folder_->media("HMOVE.cur"), encode_cursor_file(cross_cursor())));
  }

 private slots:
  void init() {
    folder_ = std::make_unique<test::TempProgramFolder>();
    QVERIFY(folder_->ok());
  }
  void cleanup() {
    set_message_service(nullptr);
    folder_.reset();
  }

  void cursorFileReadsBackInQt() {
    const std::vector<std::uint8_t> bytes = encode_cursor_file(cross_cursor());
    QCOMPARE(bytes.size(), std::size_t(6 + 16 + 40 + 8 * 8 * 4 + 8 * 4));
    auto hotspot = read_cursor_hotspot(bytes);
    QVERIFY(hotspot.ok());
    QCOMPARE(hotspot->x, 3);
    QCOMPARE(hotspot->y, 4);
    QImage image;
    QVERIFY(image.loadFromData(bytes.data(), int(bytes.size()), "CUR"));
    QCOMPARE(image.size(), QSize(8, 8));
    QCOMPARE(image.pixelColor(0, 3), QColor(0, 0, 0));        // black bar, top row first
    QCOMPARE(image.pixelColor(3, 0), QColor(255, 255, 255));  // white bar
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);              // transparent elsewhere
    std::vector<std::uint8_t> icon = bytes;
    icon[2] = 1;  // an icon, not a cursor
    QVERIFY(!read_cursor_hotspot(icon).ok());
    QVERIFY(!read_cursor_hotspot(std::span(bytes.data(), 21)).ok());
  }

  void fixFontsScalesEachFontOnce() {
    QWidget window;
    window.setFont(skin_font(9.75));
    auto* inherits = new QLabel("a", &window);
    auto* own = new QLabel("b", &window);
    own->setFont(skin_font(12));
    auto* pixels = new QLabel("c", &window);
    QFont pixel_font = pixels->font();
    pixel_font.setPixelSize(14);
    pixels->setFont(pixel_font);
    auto* nested = new QLabel("d", own);
    window.resize(800, 600);

    FixFonts(window, 96);
    QCOMPARE(window.font().pointSizeF(), 9.75);
    FixFonts(window, 120);
    QVERIFY(qAbs(window.font().pointSizeF() - 7.8) < 0.01);
    QVERIFY(qAbs(inherits->font().pointSizeF() - 7.8) < 0.01);
    QVERIFY(qAbs(own->font().pointSizeF() - 9.6) < 0.01);
    QVERIFY(qAbs(nested->font().pointSizeF() - 9.6) < 0.01);  // follows `own`, not scaled again
    QCOMPARE(pixels->font().pixelSize(), 14);
    QCOMPARE(window.size(), QSize(800, 600));  // geometry is already in pixels
    QCOMPARE(font_scale_ratio(0), 1.0f);       // an unknown display is taken as the design's
  }

  void loadBuildsTheFrame() {
    write_full_skin();
    SkinnedForm form(frame_settings(ScreenKind::kMain));
    QVERIFY(form.load_skin().ok());
    QVERIFY(form.is_loaded());
    QCOMPARE(form.size(), QSize(800, 600));
    form.resize(640, 480);
    QCOMPARE(form.size(), QSize(800, 600));
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!form.mask().contains(QPoint(0, 0)) && !form.mask().contains(QPoint(799, 599)));  // black corners
    QVERIFY(form.mask().contains(QPoint(20, 0)) && form.mask().contains(QPoint(400, 300)));
    QCOMPARE(test::shown_colour(&form, QPoint(400, 100)), QColor(60, 80, 100));
  }

  void missingSkinFilesAreNamedAndReplaced() {
    SkinnedForm form(frame_settings(ScreenKind::kMain));
    auto result = form.load_skin();
    QVERIFY(!result.ok());
    QCOMPARE(int(result.error().code), int(ErrorCode::kNotFound));
    const QString message = QString::fromStdString(result.error().message);
    QVERIFY2(message.contains("MainRegion.dat"), qPrintable(message));
    QVERIFY(message.contains("Repaint_Background.bmp"));
    QVERIFY(message.contains("HMOVE.cur"));
    QVERIFY(form.mask().isEmpty());  // a plain rectangle
    QCOMPARE(form.move_cursor().shape(), Qt::SizeAllCursor);
    QVERIFY(form.is_loaded());

    test::RecordingService messages;
    set_message_service(&messages);
    SkinnedForm again(frame_settings(ScreenKind::kRemove));
    QVERIFY(!again.load_skin_or_report());
    QCOMPARE(messages.shown.size(), std::size_t(1));
    QCOMPARE(messages.shown[0].style, kStyleCritical);
    QVERIFY(QString::fromStdString(messages.shown[0].text).contains("Remove_Background.bmp"));
  }

  void controlsAreRecolouredByKind() {
    write_full_skin();
    const QColor grey(96, 96, 96);
    for (ScreenKind kind : {ScreenKind::kMain, ScreenKind::kInstall, ScreenKind::kRemove}) {
      SkinnedForm form(frame_settings(kind));
      auto* label = new QLabel("text", &form);
      label->setAutoFillBackground(true);
      auto* list = new QListWidget(&form);
      auto* combo = new QComboBox(&form);
      auto* check = new QCheckBox("tick", &form);
      const QColor combo_text = colour(*combo, QPalette::Text);
      auto* button = new LargeButton(&form);
      const QPalette button_palette = button->palette();
      QVERIFY(form.load_skin().ok());
      QCOMPARE(colour(*label, QPalette::WindowText), grey);
      QVERIFY(!label->autoFillBackground());
      QCOMPARE(colour(*list, QPalette::Text), grey);
      const QColor list_background = kind == ScreenKind::kMain ? QColor(255, 255, 255) : QColor(220, 220, 220);
      QCOMPARE(colour(*list, QPalette::Base), list_background);
      QCOMPARE(button->palette(), button_palette);
      if (kind == ScreenKind::kRemove) {  // labels and lists only
        QCOMPARE(colour(*combo, QPalette::Text), combo_text);
        QVERIFY(!check->autoFillBackground());
        continue;
      }
      QCOMPARE(colour(*combo, QPalette::Text), grey);
      QCOMPARE(colour(*combo, QPalette::Base), QColor(255, 255, 255));
      QCOMPARE(colour(*check, QPalette::WindowText), grey);
      QCOMPARE(colour(*check, QPalette::Window), QColor(180, 180, 180));
      QVERIFY(check->autoFillBackground());
    }
  }

  // Only the main kind of screen moves with the left button; the remove
  // screen stays put, and no screen moves with the right button.
  void dragMovesOnlyWhereAllowed() {
    write_full_skin();
    const struct {
      ScreenKind kind;
      Qt::MouseButton button;
      bool moves;
    } cases[] = {{ScreenKind::kMain, Qt::LeftButton, true},
                 {ScreenKind::kMain, Qt::RightButton, false},
                 {ScreenKind::kRemove, Qt::LeftButton, false}};
    for (const auto& c : cases) {
      SkinnedForm form(frame_settings(c.kind));
      QVERIFY(form.load_skin().ok());
      if (c.kind == ScreenKind::kRemove) {  // small, with no outline cut and no version
        QCOMPARE(form.size(), QSize(350, 350));
        QVERIFY(form.mask().isEmpty());
        QCOMPARE(form.lbl_Version(), nullptr);
      }
      form.move(40, 30);
      form.show();
      QVERIFY(QTest::qWaitForWindowExposed(&form));
      const QPoint start = form.pos();
      const QPoint grip(100, 100);
      const QPoint global = form.mapToGlobal(grip);
      test::send_mouse(&form, QEvent::MouseButtonPress, c.button, c.button, grip, global);
      QCOMPARE(form.shows_move_pointer(), c.moves);
      if (c.moves) QCOMPARE(form.cursor().hotSpot(), QPoint(3, 4));  // the HMOVE cursor
      test::send_mouse(&form, QEvent::MouseMove, Qt::NoButton, c.button, grip, global);
      test::send_mouse(&form, QEvent::MouseMove, Qt::NoButton, c.button, grip, global + QPoint(30, 20));
      const bool by_hand = form.window_shape().is_dragging_by_hand();
      if (!c.moves || by_hand) QCOMPARE(form.pos(), c.moves ? start + QPoint(30, 20) : start);
      test::send_mouse(&form, QEvent::MouseButtonRelease, c.button, Qt::NoButton, grip, global + QPoint(30, 20));
      QVERIFY(!form.shows_move_pointer());
      QVERIFY(!form.window_shape().is_dragging_by_hand());
    }
  }
};

}  // namespace pw::ui

int run_skinned_form_tests(int argc, char** argv) {
  pw::ui::SkinnedFormTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "skinned_form_test.moc"
