#include "config/byte_store.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pw {
ByteStore::ByteStore(ByteStore&& other) noexcept
    : chunks_(std::move(other.chunks_)),
      free_(std::exchange(other.free_, nullptr)),
      left_(std::exchange(other.left_, 0)),
      next_chunk_(std::exchange(other.next_chunk_, kFirstChunkSize)) {}

ByteStore& ByteStore::operator=(const ByteStore& other) {
  if (this == &other) return *this;
  chunks_ = other.chunks_;
  free_ = nullptr;  // that space may be the other store's to fill
  left_ = 0;
  next_chunk_ = kFirstChunkSize;
  return *this;
}

ByteStore& ByteStore::operator=(ByteStore&& other) noexcept {
  chunks_ = std::move(other.chunks_);
  free_ = std::exchange(other.free_, nullptr);
  left_ = std::exchange(other.left_, 0);
  next_chunk_ = std::exchange(other.next_chunk_, kFirstChunkSize);
  return *this;
}

char* ByteStore::take(std::size_t size) {
  if (size > left_) {
    const std::size_t chunk = std::max(size, next_chunk_);
    next_chunk_ = std::min(next_chunk_ * 2, kLargestChunkSize);
    chunks_.push_back(std::make_shared_for_overwrite<char[]>(chunk));
    free_ = chunks_.back().get();
    left_ = chunk;
  }
  char* const start = free_;
  free_ += size;
  left_ -= size;
  return start;
}

std::string_view ByteStore::keep(std::initializer_list<std::string_view> pieces) {
  std::size_t size = 0;
  for (std::string_view piece : pieces) size += piece.size();
  char* const start = take(size);
  char* out = start;
  for (std::string_view piece : pieces) {
    if (!piece.empty()) std::memcpy(out, piece.data(), piece.size());
    out += piece.size();
  }
  return {start, size};
}

}  // namespace pw
