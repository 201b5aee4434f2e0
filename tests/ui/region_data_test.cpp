#include <QRegion>
#include <QtTest>
#include <cstring>
#include <random>

#include "ui/region_data.h"
#include "ui/trans_form.h"

namespace pw::ui {
namespace {

std::uint32_t field(const std::vector<std::uint8_t>& bytes, std::size_t index) {
  const std::uint8_t* p = bytes.data() + index * 4;
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

void set_field(std::vector<std::uint8_t>& bytes, std::size_t index, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[index * 4 + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

const std::vector<Rect> kTwoRects = {Rect{0, 0, 10, 3}, Rect{2, 3, 8, 5}};

std::vector<Rect> scan(const std::vector<const char*>& rows) {
  const int width = int(std::strlen(rows.front()));
  return rects_outside_key(width, int(rows.size()),
                           [&](int x, int y) { return rows[std::size_t(y)][x] == '#'; });
}

// The same outline built the slow way: the full area minus every key pixel.
QRegion cut_pixel_by_pixel(const std::vector<std::vector<bool>>& key, int width, int height) {
  QRegion region(0, 0, width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (key[std::size_t(y)][std::size_t(x)]) region -= QRegion(x, y, 1, 1);
    }
  }
  return region;
}

}  // namespace

class RegionDataTest : public QObject {
  Q_OBJECT

 private slots:
  void encodeWritesEveryFieldLittleEndian() {
    const std::vector<Rect> rects = {Rect{-1, 2, 3, 4}, Rect{5, 6, 700000, 8}};
    const std::vector<std::uint8_t> bytes = encode_region_data(rects);
    QCOMPARE(bytes.size(), std::size_t(64));
    const std::uint32_t expected[] = {32, 1, 2, 32, 0xFFFFFFFFu, 2, 700000, 8,
                                      0xFFFFFFFFu, 2, 3, 4, 5, 6, 700000, 8};
    for (std::size_t i = 0; i < 16; ++i) {
      QVERIFY2(field(bytes, i) == expected[i], qPrintable(QString("field %1").arg(i)));
    }
    QCOMPARE(bytes[0], std::uint8_t(32));  // least significant byte first
    QCOMPARE(bytes[27], std::uint8_t(0));
    QCOMPARE(bytes[24], std::uint8_t(700000 & 0xFF));
  }

  void emptyRegionHasZeroBound() {
    const std::vector<std::uint8_t> bytes = encode_region_data({});
    QCOMPARE(bytes.size(), std::size_t(32));
    QCOMPARE(field(bytes, 2), 0u);
    for (std::size_t i = 4; i < 8; ++i) QCOMPARE(field(bytes, i), 0u);
    auto back = decode_region_data(bytes);
    QVERIFY(back.ok());
    QVERIFY(back->empty());
  }

  void decodeGivesBackWhatWasEncoded() {
    const std::vector<std::vector<Rect>> cases = {
        {Rect{0, 0, 800, 600}},
        kTwoRects,
        {Rect{-50, -40, -10, -5}, Rect{kMaxRegionCoordinate - 1, 0, kMaxRegionCoordinate, 1}},
    };
    for (const auto& rects : cases) {
      auto back = decode_region_data(encode_region_data(rects));
      QVERIFY(back.ok());
      QVERIFY(*back == rects);
    }
  }

  void decodeAcceptsZeroRectanglePartSize() {
    std::vector<std::uint8_t> bytes = encode_region_data(kTwoRects);
    set_field(bytes, 3, 0);
    auto back = decode_region_data(bytes);
    QVERIFY(back.ok());
    QVERIFY(*back == kTwoRects);
  }

  void decodeRefusesMalformed_data() {
    QTest::addColumn<int>("mutation");
    QTest::newRow("shorter than the header") << 0;
    QTest::newRow("empty") << 1;
    QTest::newRow("header size 40") << 2;
    QTest::newRow("type 2") << 3;
    QTest::newRow("count beyond the bytes") << 4;
    QTest::newRow("bytes beyond the count") << 5;
    QTest::newRow("huge count") << 6;
    QTest::newRow("rectangle part size wrong") << 7;
    QTest::newRow("right before left") << 8;
    QTest::newRow("zero height") << 9;
    QTest::newRow("coordinate out of range") << 10;
    QTest::newRow("one rectangle byte missing") << 11;
  }

  void decodeRefusesMalformed() {
    QFETCH(int, mutation);
    std::vector<std::uint8_t> bytes = encode_region_data(kTwoRects);
    switch (mutation) {
      case 0: bytes.resize(31); break;
      case 1: bytes.clear(); break;
      case 2: set_field(bytes, 0, 40); break;
      case 3: set_field(bytes, 1, 2); break;
      case 4: set_field(bytes, 2, 3); break;
      case 5: set_field(bytes, 2, 1); break;
      case 6: set_field(bytes, 2, 0xFFFFFFF0u); break;
      case 7: set_field(bytes, 3, 48); break;
      case 8: set_field(bytes, 8 + 2, 0xFFFFFFFFu); break;   // first rect right = -1
      case 9: set_field(bytes, 12 + 3, 3); break;            // second rect bottom = top
      case 10: set_field(bytes, 12 + 2, std::uint32_t(kMaxRegionCoordinate + 1)); break;
      case 11: bytes.pop_back(); break;
    }
    auto decoded = decode_region_data(bytes);
    QVERIFY(!decoded.ok());
    QCOMPARE(int(decoded.error().code), int(ErrorCode::kDamaged));
    QVERIFY(!decoded.error().message.empty());
  }

  // Random damage must never crash, and whatever is accepted must be sane
  // and survive another round trip (run under the sanitizers too).
  void decodeSurvivesRandomDamage() {
    const std::vector<std::uint8_t> valid = encode_region_data(kTwoRects);
    std::mt19937 random(7);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
      std::vector<std::uint8_t> bytes = valid;
      const int edits = 1 + int(random() % 4);
      for (int e = 0; e < edits; ++e) {
        const std::uint32_t what = random() % 3;
        if (what == 0 && !bytes.empty()) bytes[random() % bytes.size()] = std::uint8_t(random());
        if (what == 1 && !bytes.empty()) bytes.resize(random() % bytes.size());
        if (what == 2) bytes.push_back(std::uint8_t(random()));
      }
      auto decoded = decode_region_data(bytes);
      if (!decoded.ok()) continue;
      ++accepted;
      for (const Rect& r : *decoded) QVERIFY(r.right > r.left && r.bottom > r.top);
      auto again = decode_region_data(encode_region_data(*decoded));
      QVERIFY(again.ok());
      QVERIFY(*again == *decoded);
    }
    QVERIFY(accepted > 0);  // some edits (bound, coordinates) keep the record valid
  }

  void scanCutsKeyRunsIntoBands_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<QRect>>("expected");  // QRect(left, top, width, height)
    QTest::newRow("no key: the whole area") << QStringList{".....", ".....", "....."}
                                            << QList<QRect>{QRect(0, 0, 5, 3)};
    QTest::newRow("one key pixel") << QStringList{".....", "..#..", "....."}
                                   << QList<QRect>{QRect(0, 0, 5, 1), QRect(0, 1, 2, 1),
                                                   QRect(3, 1, 2, 1), QRect(0, 2, 5, 1)};
    QTest::newRow("run to the right edge") << QStringList{".....", "...##", "....."}
                                           << QList<QRect>{QRect(0, 0, 5, 1), QRect(0, 1, 3, 1),
                                                           QRect(0, 2, 5, 1)};
    QTest::newRow("same rows share a band") << QStringList{"#...#", "#...#", "#...#"}
                                            << QList<QRect>{QRect(1, 0, 3, 3)};
    QTest::newRow("all key") << QStringList{"##", "##"} << QList<QRect>{};
    QTest::newRow("key rows between bands") << QStringList{"...", "###", "..."}
                                            << QList<QRect>{QRect(0, 0, 3, 1), QRect(0, 2, 3, 1)};
  }

  void scanCutsKeyRunsIntoBands() {
    QFETCH(QStringList, rows);
    QFETCH(QList<QRect>, expected);
    std::vector<std::string> keep;
    for (const QString& row : rows) keep.push_back(row.toStdString());
    std::vector<const char*> raw;
    for (const std::string& row : keep) raw.push_back(row.c_str());
    std::vector<Rect> want;
    for (const QRect& r : expected) want.push_back(Rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    QVERIFY(scan(raw) == want);
  }

  void scanOfNothingIsEmpty() {
    QVERIFY(rects_outside_key(0, 5, [](int, int) { return false; }).empty());
    QVERIFY(rects_outside_key(5, 0, [](int, int) { return false; }).empty());
  }

  // The scan's bands must be exactly the ones Qt (and the Windows region
  // code) keep, so a file written from a window's region equals the scan.
  void scanMatchesQtRegionForRandomPictures() {
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
      const int width = 3 + int(random() % 20);
      const int height = 3 + int(random() % 15);
      std::vector<std::vector<bool>> key(std::size_t(height), std::vector<bool>(std::size_t(width), false));
      for (auto& row : key) {
        for (std::size_t x = 0; x < row.size(); ++x) row[x] = random() % 4 == 0;
      }
      const std::vector<Rect> rects = rects_outside_key(
          width, height, [&](int x, int y) { return bool(key[std::size_t(y)][std::size_t(x)]); });
      const QRegion expected = cut_pixel_by_pixel(key, width, height);
      QCOMPARE(region_from_rects(rects), expected);
      QVERIFY(rects_from_region(expected) == rects);
    }
  }
};

}  // namespace pw::ui

int run_region_data_tests(int argc, char** argv) {
  pw::ui::RegionDataTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "region_data_test.moc"
