// libFuzzer entry for the skin's byte formats (region files and cursor
// hot spots). Build with clang: the CMake target appears only there.
//   ./skin_formats_fuzz -max_total_time=60 corpus/
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "ui/cursor_file.h"
#include "ui/region_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  (void)pw::ui::read_cursor_hotspot(bytes);
  auto rects = pw::ui::decode_region_data(bytes);
  if (!rects) return 0;
  // Whatever is accepted must encode and decode to itself.
  auto again = pw::ui::decode_region_data(pw::ui::encode_region_data(*rects));
  if (!again || *again != *rects) std::abort();
  return 0;
}
