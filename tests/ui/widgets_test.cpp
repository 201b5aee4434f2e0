// The widgets, one compact check per behaviour: button frames and
// commands, event watching, window outlines, dialogs, the skin.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <random>

#include "ui/cursor_file.h"
#include "ui/file_dialog.h"
#include "ui/image_button.h"
#include "ui/qt_message_box.h"
#include "ui/region_data.h"
#include "ui/skin_paths.h"
#include "ui/skinned_form.h"
#include "ui/smart_sub_class.h"
#include "ui/trans_form.h"

namespace pw::ui {
namespace {

// Frame colours: enabled, down, highlight, disabled.
const QList<QColor> kFrames = {QColor(10, 200, 10), QColor(200, 10, 10), QColor(10, 10, 200), QColor(120, 120, 120)};

void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(5, 5), QPointF(widget->mapToGlobal(QPoint(5, 5))), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

QColor shown_colour(QWidget* widget, QPoint at) { return QColor(widget->grab().toImage().pixel(at)); }

// A picture of grey with `pixels` in `key`.
QImage picture_with(const QList<QPoint>& pixels, QColor key) {
  QImage image(6, 4, QImage::Format_RGB32);
  image.fill(QColor(90, 90, 90));
  for (const QPoint& p : pixels) image.setPixelColor(p, key);
  return image;
}

}  // namespace

class WidgetsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  QString media(const QString& name) const { return dir_.path() + "/Media/" + name; }

 private slots:
  void initTestCase() {
    QVERIFY(QDir(dir_.path()).mkdir("Media"));
    set_program_folder(dir_.path());
  }

  void buttonShowsTheFrameOfItsStateAndRunsItsCommandOnlyWhenEnabled() {
    QImage strip(kLargeFace.width(), kLargeFace.height() * 4, QImage::Format_RGB32);
    QPainter painter(&strip);
    for (int i = 0; i < 4; ++i) painter.fillRect(0, i * kLargeFace.height(), kLargeFace.width(), kLargeFace.height(), kFrames[i]);
    QVERIFY(strip.save(media("Exit.bmp"), "BMP"));
    QWidget form;
    int calls = 0;
    LargeButton::set_dispatcher([&](LargeButton&) { ++calls; });
    LargeButton button(&form);
    button.set_picture("Exit");
    const struct { const char* state; int frame, calls; } cases[] = {
        {"down", 1, 1}, {"highlight", 2, 1}, {"disabled", 3, 0}, {"enabled", 0, 1}};
    for (const auto& c : cases) {
      calls = 0;
      button.set_state(c.state);
      QCOMPARE(shown_colour(&button, QPoint(150, 40)), kFrames[c.frame]);
      send_mouse(button.pic_BG(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
      send_mouse(button.pic_BG(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
      QCOMPARE(calls, c.calls);
    }
    LargeButton::set_dispatcher(nullptr);
  }

  void watcherCancelsEventsAndLetsGoOfAnEndedWidget() {
    SmartSubClass watcher;
    auto widget = std::make_unique<QLineEdit>();
    QVERIFY(watcher.SubClassHwnd(widget.get(), true));
    SmartSubClass stranger;
    QVERIFY(!stranger.SubClassHwnd(widget.get(), true));
    connect(&watcher, &SmartSubClass::NewMessage, this, [](QWidget*, QEvent* e, bool* cancel) {
      *cancel = e->type() == QEvent::KeyPress;
    });
    QTest::keyClick(widget.get(), Qt::Key_A);
    QVERIFY(widget->text().isEmpty());
    widget.reset();
    QCOMPARE(watcher.window_count(), 0);
  }

  void regionFileRoundTripsAndRefusesDamage() {
    const std::vector<Rect> two = {Rect{0, 0, 10, 3}, Rect{2, 3, 8, 5}};
    for (const auto& rects : std::vector<std::vector<Rect>>{{}, two, {Rect{-50, -40, -10, -5}}}) {
      auto back = decode_region_data(encode_region_data(rects));
      QVERIFY(back.ok() && *back == rects);
    }
    const std::pair<std::size_t, std::uint8_t> damage[] = {{0, 40}, {4, 2}, {8, 3}, {8, 1}, {11, 0xF0}, {43, 0x80}};
    for (const auto& [at, byte] : damage) {
      std::vector<std::uint8_t> bytes = encode_region_data(two);
      bytes[at] = byte;
      QVERIFY2(!decode_region_data(bytes).ok(), qPrintable(QString::number(at)));
    }
  }

  // The scan's bands must be the ones Qt (and the Windows region code) keep.
  void keyScanMatchesQtRegions() {
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
      const int width = 3 + int(random() % 20), height = 3 + int(random() % 15);
      std::vector<bool> key(std::size_t(width * height));
      QRegion expected(0, 0, width, height);
      for (int i = 0; i < width * height; ++i) {
        if ((key[std::size_t(i)] = random() % 4 == 0)) expected -= QRegion(i % width, i / width, 1, 1);
      }
      const auto rects = rects_outside_key(width, height, [&](int x, int y) { return key[std::size_t(y * width + x)]; });
      QCOMPARE(region_from_rects(rects), expected);
      QVERIFY(rects_from_region(expected) == rects);
    }
  }

  void outlineCutsOnlyTheExactKeyColourAndAKeptFileLoadsBack() {
    QImage picture = picture_with({QPoint(0, 0), QPoint(5, 1)}, QColor(255, 0, 128));
    picture.setPixelColor(3, 2, QColor(255, 0, 127));
    const QString file = dir_.filePath("Shape.dat");
    QWidget window, second;
    window.resize(6, 4);
    second.resize(6, 4);
    clsTransForm writer, reader;
    QVERIFY(writer.ShapeMe(window, pack_rgb(255, 0, 128), false, file, picture).ok());
    QCOMPARE(window.mask(), QRegion(0, 0, 6, 4) - QRegion(0, 0, 1, 1) - QRegion(5, 1, 1, 1));
    QVERIFY(reader.ShapeMe(second, 0, true, file).ok());
    QCOMPARE(second.mask(), window.mask());
    QFile(file).resize(40);
    QVERIFY(!reader.ShapeMe(second, 0, true, file).ok());
    QCOMPARE(second.mask(), window.mask());
  }

  // The offset is taken at the press: a single jump moves the window by all of it.
  void dragMovesTheWindowByEveryMovementFromThePress() {
    for (const QPoint jump : {QPoint(100, 0), QPoint(-30, 45)}) {
      SkinnedForm form(frame_settings(ScreenKind::kMain));
      form.move(200, 150);
      form.show();
      QVERIFY(QTest::qWaitForWindowExposed(&form));
      const QPoint start = form.pos(), at(40, 40), global = form.mapToGlobal(at);
      const auto send = [&](QEvent::Type type, QPoint to, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(form.mapFromGlobal(to)), QPointF(to), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&form, &event);
      };
      send(QEvent::MouseButtonPress, global, Qt::LeftButton);
      send(QEvent::MouseMove, global + jump, Qt::LeftButton);
      send(QEvent::MouseButtonRelease, global + jump, Qt::NoButton);
      QCOMPARE(form.pos(), start + jump);
    }
  }

  void messageBoxAnswersFollowTheButton() {
    const struct { int style; bool ok; int result; } cases[] = {
        {1, true, 1}, {1, false, 2}, {0, false, 1}, {16, true, 1}, {36, true, 6}, {36, false, 7}};
    for (const auto& c : cases) {
      QtMessageService service;
      service.set_responder([&](QMessageBox& box) {
        if (c.ok) return box.defaultButton()->click();
        box.close();
      });
      QCOMPARE(service.ShowMessage("Proceed?", c.style, "Title"), c.result);
    }
  }

  void fileFiltersBecomeQtFiltersAndOverlongNamesAreRefused() {
    QCOMPARE(qt_name_filters("A|*.a;*.b|B (*.c)|*.c"), QStringList({"A (*.a *.b)", "B (*.c)"}));
    QCOMPARE(qt_name_filters("Cfg:*.rcf"), QStringList{"Cfg (*.rcf)"});
    cFileDialog dialog;
    dialog.set_FileName(std::string(1025, 'a'));
    QVERIFY(!dialog.ShowOpen().ok());
  }

  // Qt's own dialog restores the column widths of an earlier session: once
  // the folder's rows have arrived (and the header a few events later),
  // "235 bytes" fits its column however narrow it was left.
  void fileDialogColumnsTakeTheirTextsWidth() {
    QTemporaryDir folder;
    QFile file(folder.path() + "/Sunrise.pkg");
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(235, 'x')) == 235 && file.flush());
    QString size;
    int width = 0, needed = 0, ticks = 0;
    cFileDialog::set_hook([&](QFileDialog& shown) {
      if (auto* view = shown.findChild<QTreeView*>()) view->header()->resizeSection(1, 20);
      auto* poll = new QTimer(&shown);
      poll->callOnTimeout([&] {
        const auto* view = shown.findChild<QTreeView*>();
        size = view ? view->model()->index(0, 1, view->rootIndex()).data().toString() : QString();
        if (size.isEmpty() || ++ticks < 5) return;
        width = view->header()->sectionSize(1);
        needed = view->fontMetrics().horizontalAdvance(size);
        shown.reject();
      });
      poll->start(20);
      QTimer::singleShot(5000, &shown, &QDialog::reject);  // no rows: size stays empty
    });
    cFileDialog dialog;
    dialog.set_InitDir(folder.path().toStdString());
    (void)dialog.ShowOpen();
    cFileDialog::set_hook({});
    QCOMPARE(size, QStringLiteral("235 bytes"));
    QVERIFY2(width > needed, qPrintable(QString("%1 px for %2 px of text").arg(width).arg(needed)));
  }

  void skinNamesMissingFilesThenLoadsCutsItsCornersAndRecoloursByScreen() {
    SkinnedForm bare(frame_settings(ScreenKind::kMain));
    auto missing = bare.load_skin();
    QVERIFY(!missing.ok() && QString::fromStdString(missing.error().message).contains("Repaint_Background.bmp"));
    QImage background(800, 600, QImage::Format_RGB32);
    background.fill(QColor(60, 80, 100));
    QPainter(&background).fillRect(0, 0, 20, 20, Qt::black);
    QVERIFY(background.save(media("Repaint_Background.bmp"), "BMP"));
    QVERIFY(background.copy(0, 0, 350, 350).save(media("Remove_Background.bmp"), "BMP"));
    QVERIFY(write_region_file(media("MainRegion.dat"), scan_key_colour(background, 0, background.size())).ok());
    QFile cursor(media("HMOVE.cur"));
    const auto bytes = encode_cursor_file(CursorImage{8, 8, 3, 4, std::vector<std::uint32_t>(64, 0u)});
    QVERIFY(cursor.open(QIODevice::WriteOnly) && cursor.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) > 0);
    cursor.close();
    for (ScreenKind kind : {ScreenKind::kMain, ScreenKind::kRemove}) {
      SkinnedForm form(frame_settings(kind));
      auto* label = new QLabel("text", &form);
      auto* combo = new QComboBox(&form);
      const QColor combo_text = combo->palette().color(QPalette::Text);
      QVERIFY(form.load_skin().ok());
      QCOMPARE(label->palette().color(QPalette::WindowText), QColor(96, 96, 96));
      QCOMPARE(combo->palette().color(QPalette::Text), kind == ScreenKind::kRemove ? combo_text : QColor(96, 96, 96));
      QCOMPARE(form.mask().contains(QPoint(0, 0)), false);
      QCOMPARE(form.mask().contains(QPoint(30, 30)), kind == ScreenKind::kMain);
    }
  }
};

}  // namespace pw::ui

QTEST_MAIN(pw::ui::WidgetsTest)
#include "widgets_test.moc"
