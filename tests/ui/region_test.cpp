// Window outlines: the region-file format, the key-colour scan and the
// shaped, draggable window.
#include <QFile>
#include <QRegion>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <random>

#include "test_support.h"
#include "ui/region_data.h"
#include "ui/skin_paths.h"
#include "ui/trans_form.h"

namespace pw::ui {
namespace {

std::uint32_t field(const std::vector<std::uint8_t>& bytes, std::size_t index) {
  const std::uint8_t* p = bytes.data() + index * 4;
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void set_field(std::vector<std::uint8_t>& bytes, std::size_t index, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[index * 4 + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

const std::vector<Rect> kTwoRects = {Rect{0, 0, 10, 3}, Rect{2, 3, 8, 5}};

// Rows of '.' (kept) and '#' (key colour).
std::vector<Rect> scan(const QStringList& rows) {
  return rects_outside_key(rows.isEmpty() ? 0 : int(rows[0].size()), int(rows.size()),
                           [&](int x, int y) { return rows[y][x] == '#'; });
}

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

class RegionTest : public QObject {
  Q_OBJECT

 private slots:
  void encodeWritesEveryFieldLittleEndian() {
    const std::vector<std::uint8_t> bytes = encode_region_data({Rect{-1, 2, 3, 4}, Rect{5, 6, 700000, 8}});
    QCOMPARE(bytes.size(), std::size_t(64));
    const std::uint32_t expected[] = {32, 1, 2, 32, 0xFFFFFFFFu, 2, 700000, 8, 0xFFFFFFFFu, 2, 3, 4, 5, 6, 700000, 8};
    for (std::size_t i = 0; i < 16; ++i) QVERIFY2(field(bytes, i) == expected[i], qPrintable(QString::number(i)));
    QCOMPARE(bytes[24], std::uint8_t(700000 & 0xFF));  // least significant byte first
    QCOMPARE(bytes[27], std::uint8_t(0));

    const std::vector<std::uint8_t> empty = encode_region_data({});
    QCOMPARE(empty.size(), std::size_t(32));
    for (std::size_t i : {2, 4, 5, 6, 7}) QCOMPARE(field(empty, i), 0u);  // no count, zero bound
  }

  void decodeGivesBackWhatWasEncoded() {
    const std::vector<std::vector<Rect>> cases = {
        {},
        {Rect{0, 0, 800, 600}},
        kTwoRects,
        {Rect{-50, -40, -10, -5}, Rect{kMaxRegionCoordinate - 1, 0, kMaxRegionCoordinate, 1}},
    };
    for (const auto& rects : cases) {
      auto back = decode_region_data(encode_region_data(rects));
      QVERIFY(back.ok());
      QVERIFY(*back == rects);
    }
    std::vector<std::uint8_t> zero_part_size = encode_region_data(kTwoRects);
    set_field(zero_part_size, 3, 0);  // allowed: writers may leave it 0
    auto back = decode_region_data(zero_part_size);
    QVERIFY(back.ok() && *back == kTwoRects);
  }

  void decodeRefusesMalformed() {
    const struct {
      const char* name;
      std::function<void(std::vector<std::uint8_t>&)> damage;
    } cases[] = {
        {"shorter than the header", [](auto& b) { b.resize(31); }},
        {"empty", [](auto& b) { b.clear(); }},
        {"header size 40", [](auto& b) { set_field(b, 0, 40); }},
        {"type 2", [](auto& b) { set_field(b, 1, 2); }},
        {"count beyond the bytes", [](auto& b) { set_field(b, 2, 3); }},
        {"bytes beyond the count", [](auto& b) { set_field(b, 2, 1); }},
        {"huge count", [](auto& b) { set_field(b, 2, 0xFFFFFFF0u); }},
        {"rectangle part size wrong", [](auto& b) { set_field(b, 3, 48); }},
        {"right before left", [](auto& b) { set_field(b, 8 + 2, 0xFFFFFFFFu); }},
        {"zero height", [](auto& b) { set_field(b, 12 + 3, 3); }},
        {"coordinate out of range", [](auto& b) { set_field(b, 12 + 2, std::uint32_t(kMaxRegionCoordinate + 1)); }},
        {"one rectangle byte missing", [](auto& b) { b.pop_back(); }},
    };
    for (const auto& c : cases) {
      std::vector<std::uint8_t> bytes = encode_region_data(kTwoRects);
      c.damage(bytes);
      auto decoded = decode_region_data(bytes);
      QVERIFY2(!decoded.ok(), c.name);
      QVERIFY2(decoded.error().code == ErrorCode::kDamaged && !decoded.error().message.empty(), c.name);
    }
  }

  void scanCutsKeyRunsIntoBands() {
    const struct {
      const char* name;
      QStringList rows;
      std::vector<Rect> expected;  // left, top, right, bottom
    } cases[] = {
        {"no key: the whole area", {".....", ".....", "....."}, {{0, 0, 5, 3}}},
        {"one key pixel", {".....", "..#..", "....."}, {{0, 0, 5, 1}, {0, 1, 2, 2}, {3, 1, 5, 2}, {0, 2, 5, 3}}},
        {"run to the right edge", {".....", "...##", "....."}, {{0, 0, 5, 1}, {0, 1, 3, 2}, {0, 2, 5, 3}}},
        {"same rows share a band", {"#...#", "#...#", "#...#"}, {{1, 0, 4, 3}}},
        {"all key", {"##", "##"}, {}},
        {"key rows between bands", {"...", "###", "..."}, {{0, 0, 3, 1}, {0, 2, 3, 3}}},
        {"no rows", {}, {}},
        {"no columns", {"", ""}, {}},
    };
    for (const auto& c : cases) QVERIFY2(scan(c.rows) == c.expected, c.name);
  }

  // The scan's bands must be exactly the ones Qt (and the Windows region
  // code) keep, so a file written from a window's region equals the scan.
  void scanMatchesQtRegionForRandomPictures() {
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
      const int width = 3 + int(random() % 20);
      const int height = 3 + int(random() % 15);
      QStringList rows;
      QRegion expected(0, 0, width, height);  // the slow way: the area minus every key pixel
      for (int y = 0; y < height; ++y) {
        QString row;
        for (int x = 0; x < width; ++x) {
          const bool key = random() % 4 == 0;
          row += key ? '#' : '.';
          if (key) expected -= QRegion(x, y, 1, 1);
        }
        rows << row;
      }
      const std::vector<Rect> rects = scan(rows);
      QCOMPARE(region_from_rects(rects), expected);
      QVERIFY(rects_from_region(expected) == rects);
    }
  }

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

int run_region_tests(int argc, char** argv) {
  pw::ui::RegionTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "region_test.moc"
