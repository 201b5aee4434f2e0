// Bytes that views point into, kept for the keeper's lifetime: a parsed
// profile document's lines are views into its file's bytes and into every
// text written since, so parsing copies no line.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace pw {

// Nothing kept ever changes, so copies share what is kept; each copy keeps
// its new bytes in space of its own.
class ByteStore {
 public:
  ByteStore() = default;
  ByteStore(const ByteStore& other) : chunks_(other.chunks_) {}
  ByteStore(ByteStore&& other) noexcept;
  ByteStore& operator=(const ByteStore& other);
  ByteStore& operator=(ByteStore&& other) noexcept;

  // `size` bytes for the caller to fill, kept.
  char* take(std::size_t size);
  // The pieces joined, kept.
  std::string_view keep(std::initializer_list<std::string_view> pieces);

 private:
  // Chunks start small, since most documents take a few written lines, and
  // double up to a size at which a removal's thousands of written lines
  // take a handful of allocations.
  static constexpr std::size_t kFirstChunkSize = 4 * 1024;
  static constexpr std::size_t kLargestChunkSize = 64 * 1024;

  std::vector<std::shared_ptr<char[]>> chunks_;
  char* free_ = nullptr;  // unused space at the end of the last chunk of our own
  std::size_t left_ = 0;
  std::size_t next_chunk_ = kFirstChunkSize;  // the size of the next chunk taken
};

}  // namespace pw
