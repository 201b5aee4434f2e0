#include "ui/region_data.h"

#include <algorithm>
#include <string>
#include <utility>

namespace pw::ui {
namespace {

using Span = std::pair<std::int32_t, std::int32_t>;  // [start, end) of kept pixels

constexpr std::uint32_t load_le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

constexpr std::int32_t load_le32s(const std::uint8_t* p) {
  return static_cast<std::int32_t>(load_le32(p));
}

void store_le32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(std::uint8_t(v >> shift));
}

void store_rect(std::vector<std::uint8_t>& out, const Rect& r) {
  store_le32(out, std::uint32_t(r.left));
  store_le32(out, std::uint32_t(r.top));
  store_le32(out, std::uint32_t(r.right));
  store_le32(out, std::uint32_t(r.bottom));
}

// Runs of non-key pixels in row y. The scan closes an open run at the row's
// end, as a probe one column past the picture would (it never matches).
std::vector<Span> kept_spans(int width, int y, const KeyTest& is_key) {
  std::vector<Span> spans;
  int start = -1;
  for (int x = 0; x < width; ++x) {
    const bool kept = !is_key(x, y);
    if (kept && start < 0) start = x;
    if (!kept && start >= 0) {
      spans.emplace_back(start, x);
      start = -1;
    }
  }
  if (start >= 0) spans.emplace_back(start, width);
  return spans;
}

void emit_band(std::vector<Rect>& out, const std::vector<Span>& spans, int top, int bottom) {
  for (const Span& s : spans) out.push_back(Rect{s.first, top, s.second, bottom});
}

Error damaged(std::string why) {
  return make_error(ErrorCode::kDamaged, "malformed region data: " + std::move(why));
}

bool is_coordinate_in_range(std::int32_t v) {
  return v >= -kMaxRegionCoordinate && v <= kMaxRegionCoordinate;
}

bool is_sane_rect(const Rect& r) {
  return r.right > r.left && r.bottom > r.top && is_coordinate_in_range(r.left) &&
         is_coordinate_in_range(r.top) && is_coordinate_in_range(r.right) &&
         is_coordinate_in_range(r.bottom);
}

}  // namespace

std::vector<Rect> rects_outside_key(int width, int height, const KeyTest& is_key) {
  std::vector<Rect> out;
  if (width <= 0 || height <= 0) return out;
  std::vector<Span> band;
  int band_top = 0;
  for (int y = 0; y < height; ++y) {
    std::vector<Span> row = kept_spans(width, y, is_key);
    if (row == band) continue;  // same runs as the row above: the band grows
    emit_band(out, band, band_top, y);
    band = std::move(row);
    band_top = y;
  }
  emit_band(out, band, band_top, height);
  return out;
}

Rect bounding_rect(const std::vector<Rect>& rects) {
  if (rects.empty()) return Rect{};
  Rect bound = rects.front();
  for (const Rect& r : rects) {
    bound.left = std::min(bound.left, r.left);
    bound.top = std::min(bound.top, r.top);
    bound.right = std::max(bound.right, r.right);
    bound.bottom = std::max(bound.bottom, r.bottom);
  }
  return bound;
}

std::vector<std::uint8_t> encode_region_data(const std::vector<Rect>& rects) {
  std::vector<std::uint8_t> out;
  out.reserve(kRegionHeaderSize + kRegionRectSize * rects.size());
  store_le32(out, std::uint32_t(kRegionHeaderSize));
  store_le32(out, kRegionTypeRectangles);
  store_le32(out, std::uint32_t(rects.size()));
  store_le32(out, std::uint32_t(kRegionRectSize * rects.size()));
  store_rect(out, bounding_rect(rects));
  for (const Rect& r : rects) store_rect(out, r);
  return out;
}

Result<std::vector<Rect>> decode_region_data(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kRegionHeaderSize) {
    return damaged(std::to_string(bytes.size()) + " bytes, shorter than the 32-byte header");
  }
  const std::uint8_t* p = bytes.data();
  if (load_le32(p) != kRegionHeaderSize) return damaged("header size is not 32");
  if (load_le32(p + 4) != kRegionTypeRectangles) return damaged("type is not rectangles");
  const std::uint32_t count = load_le32(p + 8);
  if (count > kMaxRegionRects) return damaged("rectangle count " + std::to_string(count));
  const std::size_t rect_bytes = std::size_t(count) * kRegionRectSize;
  if (bytes.size() - kRegionHeaderSize != rect_bytes) {
    return damaged("length " + std::to_string(bytes.size()) + " does not match count " +
                   std::to_string(count));
  }
  const std::uint32_t part_size = load_le32(p + 12);
  if (part_size != 0 && part_size != rect_bytes) return damaged("rectangle part size");
  std::vector<Rect> rects;
  rects.reserve(count);
  for (const std::uint8_t* r = p + kRegionHeaderSize; r != p + bytes.size(); r += kRegionRectSize) {
    Rect rect{load_le32s(r), load_le32s(r + 4), load_le32s(r + 8), load_le32s(r + 12)};
    if (!is_sane_rect(rect)) return damaged("rectangle " + std::to_string(rects.size()));
    rects.push_back(rect);
  }
  return rects;
}

}  // namespace pw::ui
