// Windows cursor files (.cur) of one 32-bit image: written by the artwork
// tool, and read back for their hot spot, which Qt's image reader drops.
// No Qt here.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/result.h"

namespace pw::ui {

struct CursorImage {
  int width = 0;   // 1..256
  int height = 0;  // 1..256
  int hot_x = 0;
  int hot_y = 0;
  // width x height pixels, top row first, each 0xAARRGGBB (straight alpha).
  std::vector<std::uint32_t> argb;
};

struct CursorHotspot {
  int x = 0;
  int y = 0;
};

inline constexpr std::size_t kCursorDirSize = 6;     // ICONDIR
inline constexpr std::size_t kCursorEntrySize = 16;  // ICONDIRENTRY
inline constexpr std::size_t kBitmapInfoSize = 40;   // BITMAPINFOHEADER

// The .cur bytes for `image`: ICONDIR (type 2, one image), one entry with the
// hot spot, then a BITMAPINFOHEADER (32 bits, height doubled for the mask),
// the colour pixels bottom row first in B, G, R, A order, and the 1-bit AND
// mask (set where alpha is 0), rows padded to 4 bytes.
// Precondition (asserted): sizes in 1..256, argb holds width x height pixels.
std::vector<std::uint8_t> encode_cursor_file(const CursorImage& image);

// The hot spot of the first image of a .cur file.
// Errors (ErrorCode::kDamaged): fewer bytes than the directory and one entry,
// reserved field not 0, type not 2 (a cursor), no image in the directory.
Result<CursorHotspot> read_cursor_hotspot(std::span<const std::uint8_t> bytes);

}  // namespace pw::ui
