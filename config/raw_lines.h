// Splitting bytes into raw lines for the profile parser.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace pw {

// Splits bytes into raw lines, each keeping its own line end, so that
// joining them gives the bytes back. The next CR and LF are each searched
// for once and remembered, which keeps files with only one kind of line
// end linear.
class RawLines {
 public:
  explicit RawLines(std::string_view bytes)
      : bytes_(bytes), cr_(position_of('\r', 0)), lf_(position_of('\n', 0)) {}

  // The next line with its line end; false after the last one.
  bool next(std::string_view& line) {
    if (start_ >= bytes_.size()) return false;
    if (cr_ < start_) cr_ = position_of('\r', start_);
    if (lf_ < start_) lf_ = position_of('\n', start_);
    std::size_t end = std::min(cr_, lf_);
    if (end < bytes_.size()) {
      ++end;
      if (bytes_[end - 1] == '\r' && end < bytes_.size() && bytes_[end] == '\n') ++end;
    }
    line = bytes_.substr(start_, end - start_);
    start_ = end;
    return true;
  }

 private:
  // Index of the next `c` at or after `from`; the size when there is none.
  std::size_t position_of(char c, std::size_t from) const {
    if (from >= bytes_.size()) return bytes_.size();  // empty bytes may have no data pointer
    const void* hit = std::memchr(bytes_.data() + from, c, bytes_.size() - from);
    return hit == nullptr ? bytes_.size() : static_cast<std::size_t>(static_cast<const char*>(hit) - bytes_.data());
  }

  std::string_view bytes_;
  std::size_t start_ = 0;
  std::size_t cr_;
  std::size_t lf_;
};

}  // namespace pw
