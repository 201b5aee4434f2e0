// Window outlines as lists of rectangles, and their region-file form: one
// RGNDATA record exactly as the Windows graphics interface lays it out.
// No Qt here: the decoder takes bytes from disk and is fuzzed on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "base/result.h"

namespace pw::ui {

// One rectangle of an outline, in pixels of the window's inner area; right
// and bottom are exclusive, as in the file.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

inline constexpr std::size_t kRegionHeaderSize = 32;
inline constexpr std::size_t kRegionRectSize = 16;
inline constexpr std::uint32_t kRegionTypeRectangles = 1;  // RDH_RECTANGLES
// Caps for what a region file may claim: an outline of a window, never more.
inline constexpr std::uint32_t kMaxRegionRects = 1u << 20;
inline constexpr std::int32_t kMaxRegionCoordinate = 1 << 24;

// Tells whether the pixel at (x, y), 0 <= x < width, 0 <= y < height, has
// the key colour that is cut away.
using KeyTest = std::function<bool(int x, int y)>;

// The outline of a width x height picture with every key-colour pixel cut
// away, in banded order: rows whose runs of kept pixels are identical and
// adjacent share one band; within a band rectangles run left to right.
// This is the form the window system itself stores, so a file written from
// it loads back to the same rectangles. Width or height <= 0 gives none.
std::vector<Rect> rects_outside_key(int width, int height, const KeyTest& is_key);

// The smallest rectangle holding all of `rects`; all zero for none.
Rect bounding_rect(const std::vector<Rect>& rects);

// The region-file bytes for `rects`: the 32-byte header (size 32, type 1,
// count, 16 x count, bounding rectangle) then 16 bytes per rectangle, every
// field a little-endian 32-bit integer. Length is 32 + 16 x count.
std::vector<std::uint8_t> encode_region_data(const std::vector<Rect>& rects);

// Reads region-file bytes back into rectangles, in file order.
// Errors (all ErrorCode::kDamaged, message says which check failed):
//  - fewer than 32 bytes, header size field not 32, type not 1;
//  - count above kMaxRegionRects, or length not exactly 32 + 16 x count
//    (checked before anything is allocated);
//  - rectangle-part size field neither 0 nor 16 x count;
//  - a rectangle with right <= left or bottom <= top, or a coordinate
//    beyond +-kMaxRegionCoordinate.
// The bounding rectangle is not trusted and not checked.
Result<std::vector<Rect>> decode_region_data(std::span<const std::uint8_t> bytes);

}  // namespace pw::ui
