// Test data shaped like texture files: noise that does not compress,
// gradients that do, and blocks that repeat at a distance inside deflate's
// window. Deterministic, so a failure can be reproduced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pw::testing {

inline std::string random_bytes(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  std::uint32_t x = seed * 2654435761u + 1;
  for (char& c : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x >> 24);
  }
  return out;
}

inline std::string gradient_bytes(std::size_t size) {
  std::string out(size, '\0');
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>((i / 3) % 251 + (i % 3) * 2);
  return out;
}

// `block` random bytes repeated up to `size`.
inline std::string repeated_bytes(std::size_t size, std::size_t block, std::uint32_t seed) {
  const std::string unit = random_bytes(block, seed);
  std::string out;
  out.reserve(size + block);
  while (out.size() < size) out += unit;
  out.resize(size);
  return out;
}

// A bit of each, about `size` bytes in all.
inline std::string mixed_bytes(std::size_t size, std::uint32_t seed) {
  const std::size_t third = size / 3;
  return random_bytes(third, seed) + gradient_bytes(third) + repeated_bytes(size - 2 * third, 20000, seed + 1);
}

}  // namespace pw::testing
