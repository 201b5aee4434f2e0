#include "app/pe_version.h"

#include <string>

namespace pw {
namespace {

constexpr std::uint32_t kResourceTypeVersion = 16;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
// More entries than any executable's resource directory holds: a bound on
// the work a crafted file can cause.
constexpr std::uint32_t kMaxDirectoryEntries = 4096;

std::uint16_t le16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t le32(const std::string& b, std::size_t at) {
  return std::uint32_t(le16(b, at)) | std::uint32_t(le16(b, at + 2)) << 16;
}

// Exactly `count` bytes at `offset`, or nullopt when the file is shorter.
std::optional<std::string> read_exact(InputFile& file, std::int64_t offset, std::size_t count) {
  if (offset < 0 || offset > file.size() || std::int64_t(count) > file.size() - offset) return std::nullopt;
  std::string bytes(count, '\0');
  auto got = file.read_at(offset, bytes);
  if (!got || *got != count) return std::nullopt;
  return bytes;
}

struct Section {
  std::uint32_t address, virtual_size, raw_size, raw_offset;
};

class PeImage {
 public:
  explicit PeImage(InputFile& file) : file_(file) {}

  // Reads the headers; false when the file is no PE image.
  bool load() {
    auto dos = read_exact(file_, 0, 64);
    if (!dos || dos->compare(0, 2, "MZ") != 0) return false;
    const std::int64_t pe = le32(*dos, 0x3C);
    auto coff = read_exact(file_, pe, 24);
    if (!coff || coff->compare(0, 4, std::string("PE\0\0", 4)) != 0) return false;
    const std::uint16_t sections = le16(*coff, 6), optional_size = le16(*coff, 20);
    auto optional = read_exact(file_, pe + 24, optional_size);
    if (!optional || optional_size < 2) return false;
    const bool plus = le16(*optional, 0) == 0x20B;
    const std::size_t count_at = plus ? 108 : 92, directories_at = plus ? 112 : 96;
    const std::size_t resource_at = directories_at + 2 * 8;
    if (optional_size < resource_at + 8 || le32(*optional, count_at) < 3) return false;
    resource_rva_ = le32(*optional, resource_at);
    auto table = read_exact(file_, pe + 24 + optional_size, std::size_t{sections} * 40);
    if (!table) return false;
    for (std::size_t i = 0; i < sections; ++i) {
      const std::size_t at = i * 40;
      sections_.push_back({le32(*table, at + 12), le32(*table, at + 8), le32(*table, at + 16), le32(*table, at + 20)});
    }
    return resource_rva_ != 0;
  }

  // The file offset of an address of the loaded image, inside a section's
  // bytes on disk, with `count` bytes available there.
  std::optional<std::int64_t> offset_of(std::uint32_t rva, std::uint32_t count) const {
    for (const Section& s : sections_) {
      if (rva < s.address || rva - s.address >= s.raw_size) continue;
      if (count > s.raw_size - (rva - s.address)) return std::nullopt;
      return std::int64_t{s.raw_offset} + (rva - s.address);
    }
    return std::nullopt;
  }

  std::optional<std::string> read_rva(std::uint32_t rva, std::uint32_t count) {
    auto at = offset_of(rva, count);
    if (!at) return std::nullopt;
    return read_exact(file_, *at, count);
  }

  // The OffsetToData of the directory entry at `directory` (relative to
  // the resource root) with the given id, or of its first entry when `id`
  // is empty.
  std::optional<std::uint32_t> entry(std::uint32_t directory, std::optional<std::uint32_t> id) {
    auto head = read_rva(resource_rva_ + directory, 16);
    if (!head) return std::nullopt;
    const std::uint32_t count = std::uint32_t{le16(*head, 12)} + le16(*head, 14);
    if (count == 0 || count > kMaxDirectoryEntries) return std::nullopt;
    auto entries = read_rva(resource_rva_ + directory + 16, count * 8);
    if (!entries) return std::nullopt;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (!id || le32(*entries, i * 8) == *id) return le32(*entries, i * 8 + 4);
    }
    return std::nullopt;
  }

  std::uint32_t resource_rva() const { return resource_rva_; }

 private:
  InputFile& file_;
  std::uint32_t resource_rva_ = 0;
  std::vector<Section> sections_;
};

constexpr std::uint32_t kSubdirectory = 0x80000000u;

// Type, then name, then language: the first two lead to subdirectories,
// the last to the data entry.
std::optional<std::uint32_t> version_data_entry(PeImage& image) {
  auto by_type = image.entry(0, kResourceTypeVersion);
  if (!by_type || !(*by_type & kSubdirectory)) return std::nullopt;
  auto by_name = image.entry(*by_type & ~kSubdirectory, std::nullopt);
  if (!by_name || !(*by_name & kSubdirectory)) return std::nullopt;
  auto by_language = image.entry(*by_name & ~kSubdirectory, std::nullopt);
  if (!by_language || (*by_language & kSubdirectory)) return std::nullopt;
  return *by_language;
}

}  // namespace

std::optional<PeVersion> read_pe_version(InputFile& file) {
  PeImage image(file);
  if (!image.load()) return std::nullopt;
  auto data_entry = version_data_entry(image);
  if (!data_entry) return std::nullopt;
  auto data = image.read_rva(image.resource_rva() + *data_entry, 16);
  if (!data) return std::nullopt;
  const std::uint32_t block_rva = le32(*data, 0), block_size = le32(*data, 4);
  // VS_VERSIONINFO: three 16-bit fields, the key "VS_VERSION_INFO" in
  // UTF-16 with its NUL, padding to 32 bits, then the fixed information.
  constexpr std::uint32_t kFixedAt = 6 + 16 * 2 + 2;
  constexpr std::uint32_t kFixedSize = 52;
  if (block_size < kFixedAt + kFixedSize) return std::nullopt;
  auto block = image.read_rva(block_rva, kFixedAt + kFixedSize);
  if (!block || le16(*block, 2) < kFixedSize || le32(*block, kFixedAt) != kFixedInfoSignature) return std::nullopt;
  const std::uint32_t high = le32(*block, kFixedAt + 16), low = le32(*block, kFixedAt + 20);
  return PeVersion{static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high & 0xFFFF),
                   static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low & 0xFFFF)};
}

}  // namespace pw
