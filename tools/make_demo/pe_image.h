// A minimal Windows executable image holding only a version resource, as
// the demo simulator's executables and the tests need one. Header-only: the
// demo generator and the tests both build it.
#pragma once

#include <cstdint>
#include <string>

namespace pw::demo {

inline void put_le(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A PE32+ image with one ".rsrc" section whose version resource gives the
// product version major.minor.build.revision.
inline std::string pe_image_with_version(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                                         std::uint16_t revision) {
  constexpr std::uint32_t kSectionRva = 0x1000, kSectionAt = 0x200;
  std::string rsrc;
  // Type 16 (version) -> name 1 -> language 0x409 -> data entry.
  const std::uint32_t dirs[3][2] = {{16, 0x80000018}, {1, 0x80000030}, {0x409, 0x48}};
  for (const auto& d : dirs) {
    rsrc.append(12, '\0');
    put_le(rsrc, 0, 2);
    put_le(rsrc, 1, 2);
    put_le(rsrc, d[0], 4);
    put_le(rsrc, d[1], 4);
  }
  constexpr std::uint32_t kBlockSize = 40 + 52;
  put_le(rsrc, kSectionRva + 0x58, 4);
  put_le(rsrc, kBlockSize, 4);
  rsrc.append(8, '\0');
  put_le(rsrc, kBlockSize, 2);
  put_le(rsrc, 52, 2);
  put_le(rsrc, 0, 2);
  for (char c : std::string("VS_VERSION_INFO")) put_le(rsrc, static_cast<unsigned char>(c), 2);
  rsrc.append(4, '\0');  // the key's NUL and the padding to 32 bits
  for (std::uint32_t v : {0xFEEF04BDu, 0x10000u, std::uint32_t(major) << 16 | minor,
                          std::uint32_t(build) << 16 | revision, std::uint32_t(major) << 16 | minor,
                          std::uint32_t(build) << 16 | revision}) {
    put_le(rsrc, v, 4);
  }
  rsrc.append(7 * 4, '\0');

  std::string image = "MZ";
  image.resize(0x3C, '\0');
  put_le(image, 0x40, 4);
  image += std::string("PE\0\0", 4);
  for (std::uint32_t v : {0x8664u, 1u}) put_le(image, v, 2);
  image.append(12, '\0');
  put_le(image, 240, 2);  // optional header of PE32+ with 16 directories
  put_le(image, 0x22, 2);
  std::string optional;
  put_le(optional, 0x20B, 2);
  optional.resize(108, '\0');
  put_le(optional, 16, 4);
  optional.resize(128, '\0');
  put_le(optional, kSectionRva, 4);
  put_le(optional, static_cast<std::uint32_t>(rsrc.size()), 4);
  optional.resize(240, '\0');
  image += optional;
  image += std::string(".rsrc\0\0\0", 8);
  for (std::uint32_t v : {std::uint32_t(rsrc.size()), kSectionRva, std::uint32_t(rsrc.size()), kSectionAt}) {
    put_le(image, v, 4);
  }
  image.append(16, '\0');
  image.resize(kSectionAt, '\0');
  return image + rsrc;
}

}  // namespace pw::demo
