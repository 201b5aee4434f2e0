#include <QFile>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include "test_support.h"
#include "ui/skin_paths.h"
#include "ui/trans_form.h"

namespace pw::ui {
namespace {

// A 6 x 4 picture of grey with the given pixels in `key`.
QImage picture_with(const QList<QPoint>& pixels, QColor key, QSize size = QSize(6, 4)) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(QColor(90, 90, 90));
  for (const QPoint& p : pixels) image.setPixelColor(p, key);
  return image;
}

QRegion area_minus(QSize size, const QList<QPoint>& pixels) {
  QRegion region(QRect(QPoint(0, 0), size));
  for (const QPoint& p : pixels) region -= QRegion(p.x(), p.y(), 1, 1);
  return region;
}

}  // namespace

class TransFormTest : public QObject {
  Q_OBJECT

 private slots:
  // Packed colours are red + 256 green + 65536 blue.
  void keyColourIsCutAway() {
    QImage off_by_one = picture_with({QPoint(1, 1)}, QColor(128, 0, 255));  // red and blue swapped
    off_by_one.setPixelColor(3, 2, QColor(255, 0, 127));                    // one step off
    const QList<QPoint> keyed = {QPoint(0, 0), QPoint(5, 1), QPoint(2, 3)};
    const QList<QPoint> corner = {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)};
    const struct {
      const char* name;
      QSize window;
      std::uint32_t key;
      bool load;  // asks to load, but with no file name: scans all the same
      QImage picture;
      QRegion expected;
    } cases[] = {
        {"key pixels", {6, 4}, pack_rgb(255, 0, 128), false, picture_with(keyed, QColor(255, 0, 128)),
         area_minus({6, 4}, keyed)},
        {"only the exact colour", {6, 4}, pack_rgb(255, 0, 128), false, off_by_one, QRegion(0, 0, 6, 4)},
        {"beyond the picture kept", {4, 3}, 0, false, picture_with(corner, Qt::black, {2, 2}),
         QRegion(0, 0, 4, 3) - QRegion(0, 0, 2, 2)},
        {"load without a file", {6, 4}, 0, true, picture_with({QPoint(2, 2)}, Qt::black),
         area_minus({6, 4}, {QPoint(2, 2)})},
    };
    for (const auto& c : cases) {
      QWidget window;
      window.resize(c.window);
      clsTransForm shape;
      QVERIFY2(shape.ShapeMe(window, c.key, c.load, {}, c.picture).ok(), c.name);
      QVERIFY2(shape.region() == c.expected, c.name);
      QVERIFY2(window.mask() == c.expected, c.name);
    }
  }

  void savedOutlineLoadsBackTheSame() {
    QTemporaryDir dir;
    const QString file = dir.filePath("Shape.dat");
    const QList<QPoint> keyed = {QPoint(0, 0), QPoint(1, 0), QPoint(5, 3), QPoint(3, 1)};
    QWidget first;
    first.resize(6, 4);
    clsTransForm writer;
    QVERIFY(writer.ShapeMe(first, 0, false, file, picture_with(keyed, Qt::black)).ok());
    QFile written(file);
    QCOMPARE(written.size(), qint64(32 + 16 * writer.region().rectCount()));

    QWidget second;
    second.resize(6, 4);
    clsTransForm reader;
    QVERIFY(reader.ShapeMe(second, 0, true, file).ok());
    QCOMPARE(reader.region(), area_minus(QSize(6, 4), keyed));
    QCOMPARE(second.mask(), first.mask());
  }

  void unreadableRegionFilesFail() {
    const struct {
      const char* name;
      QByteArray content;  // null: no file at all
      ErrorCode code;
    } cases[] = {{"missing", QByteArray(), ErrorCode::kNotFound},
                 {"empty", QByteArray(""), ErrorCode::kDamaged},
                 {"garbage", QByteArray(40, 'x'), ErrorCode::kDamaged}};
    for (const auto& c : cases) {
      QTemporaryDir dir;
      const QString file = dir.filePath("MainRegion.dat");
      QFile out(file);
      if (!c.content.isNull()) QVERIFY(out.open(QIODevice::WriteOnly) && out.write(c.content) == c.content.size());
      out.close();
      QWidget window;
      window.resize(6, 4);
      window.setMask(QRegion(1, 1, 2, 2));
      clsTransForm shape;
      auto result = shape.ShapeMe(window, 0, true, file);
      QVERIFY2(!result.ok() && result.error().code == c.code, c.name);
      QVERIFY(QString::fromStdString(result.error().message).contains("MainRegion.dat"));
      QCOMPARE(window.mask(), QRegion(1, 1, 2, 2));  // left as it was
    }
  }

  void dragMovesTheWindowByHandWhereThePlatformWillNot() {
    QWidget window;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.resize(200, 100);
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();
    clsTransForm shape;
    shape.DragForm(window, kLeftButton, start + QPoint(10, 10));
    if (!shape.is_dragging_by_hand()) QSKIP("the platform runs its own window move");
    shape.DragForm(window, kLeftButton, start + QPoint(40, 25));
    QCOMPARE(window.pos(), start + QPoint(30, 15));
    shape.DragForm(window, kLeftButton, start + QPoint(35, 35));
    QCOMPARE(window.pos(), start + QPoint(25, 25));
    shape.end_drag();
    QVERIFY(!shape.is_dragging_by_hand());
    shape.DragForm(window, kLeftButton, start + QPoint(500, 500));  // a new drag starts here
    QCOMPARE(window.pos(), start + QPoint(25, 25));
  }

  void otherButtonsOnlyRestoreThePointer() {
    QWidget window;
    window.resize(50, 50);
    window.move(10, 10);
    window.setCursor(Qt::SizeAllCursor);
    clsTransForm shape;
    shape.DragForm(window, 2, QPoint(300, 300));
    QVERIFY(!shape.is_dragging_by_hand());
    QCOMPARE(window.pos(), QPoint(10, 10));
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
  }
};

}  // namespace pw::ui

int run_trans_form_tests(int argc, char** argv) {
  pw::ui::TransFormTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "trans_form_test.moc"
