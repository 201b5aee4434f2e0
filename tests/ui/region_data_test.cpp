#include <QRegion>
#include <QtTest>
#include <random>

#include "ui/region_data.h"
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

}  // namespace

class RegionDataTest : public QObject {
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

  // Random damage must never crash, and whatever is accepted must be sane
  // and survive another round trip (run under the sanitizers too).
  void decodeSurvivesRandomDamage() {
    const std::vector<std::uint8_t> valid = encode_region_data(kTwoRects);
    std::mt19937 random(7);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
      std::vector<std::uint8_t> bytes = valid;
      for (int e = 1 + int(random() % 4); e > 0; --e) {
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
      QVERIFY(again.ok() && *again == *decoded);
    }
    QVERIFY(accepted > 0);  // some edits (bound, coordinates) keep the record valid
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
};

}  // namespace pw::ui

int run_region_data_tests(int argc, char** argv) {
  pw::ui::RegionDataTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "region_data_test.moc"
