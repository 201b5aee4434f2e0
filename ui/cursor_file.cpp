#include "ui/cursor_file.h"

#include <cassert>

namespace pw::ui {
namespace {

constexpr std::uint16_t kCursorType = 2;

void store_le16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}

void store_le32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(std::uint8_t(v >> shift));
}

constexpr std::uint16_t load_le16(const std::uint8_t* p) {
  return std::uint16_t(p[0] | p[1] << 8);
}

std::size_t mask_row_bytes(int width) { return std::size_t((width + 31) / 32) * 4; }

std::size_t image_bytes(const CursorImage& image) {
  const std::size_t h = std::size_t(image.height);
  return std::size_t(image.width) * h * 4 + mask_row_bytes(image.width) * h;
}

void store_directory(std::vector<std::uint8_t>& out, const CursorImage& image) {
  store_le16(out, 0);  // reserved
  store_le16(out, kCursorType);
  store_le16(out, 1);  // one image
  // A size byte of 0 means 256.
  out.push_back(std::uint8_t(image.width & 0xFF));
  out.push_back(std::uint8_t(image.height & 0xFF));
  out.push_back(0);  // no palette
  out.push_back(0);  // reserved
  store_le16(out, std::uint16_t(image.hot_x));
  store_le16(out, std::uint16_t(image.hot_y));
  store_le32(out, std::uint32_t(kBitmapInfoSize + image_bytes(image)));
  store_le32(out, std::uint32_t(kCursorDirSize + kCursorEntrySize));
}

void store_info_header(std::vector<std::uint8_t>& out, const CursorImage& image) {
  store_le32(out, std::uint32_t(kBitmapInfoSize));
  store_le32(out, std::uint32_t(image.width));
  store_le32(out, std::uint32_t(image.height * 2));  // colour image plus AND mask
  store_le16(out, 1);   // planes
  store_le16(out, 32);  // bits per pixel
  store_le32(out, 0);   // BI_RGB
  store_le32(out, std::uint32_t(image_bytes(image)));
  for (int i = 0; i < 4; ++i) store_le32(out, 0);  // resolution, palette counts
}

void store_pixels(std::vector<std::uint8_t>& out, const CursorImage& image) {
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t c = image.argb[std::size_t(y) * std::size_t(image.width) + std::size_t(x)];
      out.push_back(std::uint8_t(c));        // blue
      out.push_back(std::uint8_t(c >> 8));   // green
      out.push_back(std::uint8_t(c >> 16));  // red
      out.push_back(std::uint8_t(c >> 24));  // alpha
    }
  }
}

void store_mask(std::vector<std::uint8_t>& out, const CursorImage& image) {
  const std::size_t row_bytes = mask_row_bytes(image.width);
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(row_bytes, 0);
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t c = image.argb[std::size_t(y) * std::size_t(image.width) + std::size_t(x)];
      if ((c >> 24) == 0) row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

}  // namespace

std::vector<std::uint8_t> encode_cursor_file(const CursorImage& image) {
  assert(image.width >= 1 && image.width <= 256 && image.height >= 1 && image.height <= 256);
  assert(image.argb.size() == std::size_t(image.width) * std::size_t(image.height));
  std::vector<std::uint8_t> out;
  out.reserve(kCursorDirSize + kCursorEntrySize + kBitmapInfoSize + image_bytes(image));
  store_directory(out, image);
  store_info_header(out, image);
  store_pixels(out, image);
  store_mask(out, image);
  return out;
}

Result<CursorHotspot> read_cursor_hotspot(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kCursorDirSize + kCursorEntrySize) {
    return make_error(ErrorCode::kDamaged, "cursor file shorter than its directory");
  }
  const std::uint8_t* p = bytes.data();
  if (load_le16(p) != 0 || load_le16(p + 2) != kCursorType) {
    return make_error(ErrorCode::kDamaged, "not a cursor file");
  }
  if (load_le16(p + 4) == 0) return make_error(ErrorCode::kDamaged, "cursor file holds no image");
  const std::uint8_t* entry = p + kCursorDirSize;
  return CursorHotspot{load_le16(entry + 4), load_le16(entry + 6)};
}

}  // namespace pw::ui
