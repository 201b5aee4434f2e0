// libFuzzer target: region files. Whatever decodes must be a list of sane
// rectangles that the file's length accounts for, and must encode to a
// file that decodes to the same rectangles.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "ui/region_data.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pw::ui;
  auto rects = decode_region_data(std::span<const std::uint8_t>(data, size));
  if (!rects) {
    check(!rects.error().message.empty());
    return 0;
  }
  check(size == kRegionHeaderSize + kRegionRectSize * rects->size());
  for (const Rect& r : *rects) {
    check(r.right > r.left && r.bottom > r.top);
    check(r.left >= -kMaxRegionCoordinate && r.right <= kMaxRegionCoordinate);
    check(r.top >= -kMaxRegionCoordinate && r.bottom <= kMaxRegionCoordinate);
  }
  const std::vector<std::uint8_t> encoded = encode_region_data(*rects);
  check(encoded.size() == size);
  auto again = decode_region_data(encoded);
  check(again && *again == *rects);
  const Rect box = bounding_rect(*rects);
  for (const Rect& r : *rects) {
    check(r.left >= box.left && r.top >= box.top && r.right <= box.right && r.bottom <= box.bottom);
  }
  return 0;
}
