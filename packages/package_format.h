// The repaint package (.pkg): an FltsimEntry record, an optional preview
// bitmap, a table of up to 100 files and one zlib block holding their bytes.
// There is no magic number or checksum, so every reader here treats the bytes
// as untrusted: each count, length and offset is checked against its cap and
// the file's size before anything is allocated.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "aircraft/fltsim_entry.h"
#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

// ---- Little-endian fields (two's complement for signed values) ----

// Read 2 or 4 bytes at p; callers convert to signed with static_cast.
std::uint16_t load_le16(const char* p);
std::uint32_t load_le32(const char* p);
// Write 2 or 4 bytes at p.
void store_le16(char* p, std::uint16_t value);
void store_le32(char* p, std::uint32_t value);

// ---- Layout ----

inline constexpr std::int64_t kPreviewFlagOffset = 4915;    // 16-bit, 1 = preview
inline constexpr std::int64_t kPreviewLengthOffset = 4917;  // 32-bit P
inline constexpr std::int64_t kPreviewOffset = 4921;        // P bitmap bytes
inline constexpr std::int64_t kNoPreviewCountOffset = 4917;  // count when no preview
inline constexpr std::int64_t kFileTableEntrySize = 104;    // 32-bit size + name
inline constexpr std::size_t kPackageNameSize = 100;        // blank-filled
inline constexpr std::size_t kMaxPackageFiles = 100;
// ExpandBytes takes a 32-bit expected size, so no package may hold more.
inline constexpr std::int64_t kMaxPackageDataSize = 2147483647;
// A 400 x 300 preview is 360 KB as a 24-bit bitmap; anything far larger is
// no preview, and every click on a package would read it whole.
inline constexpr std::int64_t kMaxPreviewSize = 4 * 1024 * 1024;

static_assert(kPreviewFlagOffset == static_cast<std::int64_t>(kFltsimRecordSize));

// ---- Compression (zlib stream format, default level) ----

// Replaces `data` with its zlib-compressed form and returns zlib's code of
// `compress` (Z_OK = 0). The destination holds S * 1.01 + 12 bytes rounded to
// the nearest whole number, halves to even; `data` is replaced whatever the
// code. Returns Z_BUF_ERROR with `data` unchanged when S is beyond what zlib
// can be given in one call on this platform.
std::int32_t CompressBytes(std::string& data);

// Replaces `data` (a zlib stream; bytes after its end are ignored) with what
// it expands to and returns zlib's code of `uncompress`: Z_OK, Z_BUF_ERROR
// when the output would exceed the capacity computed from `expected_size` as
// above, Z_DATA_ERROR when the stream is corrupt or cut short, Z_MEM_ERROR.
// `data` then holds the bytes produced, possibly fewer than expected.
// An `expected_size` that is negative, or larger than `data` could possibly
// expand to (data.size() * 1032 + 1024), gives Z_DATA_ERROR at once with
// nothing allocated and `data` unchanged.
std::int32_t ExpandBytes(std::string& data, std::int32_t expected_size);

// ---- Reading ----
// Every reader reports a file whose content contradicts the format as
// kDamaged ("package is damaged: ..."), and passes on the InputFile's errors
// (kIo). A failure leaves nothing half-read behind.

struct PackageFile {
  std::string name;  // as stored, blanks trimmed; NOT checked for safety
  std::int32_t size = 0;
};

struct PackageLayout {
  bool has_preview = false;
  std::int32_t preview_size = 0;  // 0 without a preview
  std::vector<PackageFile> files;  // 1 to 100 entries, each size >= 1
  std::int64_t block_offset = 0;   // where the compressed block starts
  std::int64_t block_size = 0;     // from block_offset to the end of the file, >= 1
  std::int64_t total_size = 0;     // sum of the files' sizes
};

// The entry record: the first 4915 bytes (fields trimmed, rcf_text as
// stored). kDamaged when the file is shorter.
Result<FltsimEntry> read_package_entry(InputFile& file);

// The preview bitmap, or nullopt when the flag at 4915 is anything but 1.
// kDamaged when the flag or the length is missing, the length is negative
// or over kMaxPreviewSize, or the bitmap runs past the end of the file.
Result<std::optional<std::string>> read_package_preview(InputFile& file);

// Everything from the preview flag to the start of the compressed block,
// validated: count 1..100, sizes >= 1, no two names equal but for letter
// case, the table inside the file, a block of at least one byte, and a
// total no larger than the block could expand to.
// Names are trimmed of blanks but not otherwise checked (see
// is_safe_entry_name). kDamaged for any violation.
Result<PackageLayout> read_package_layout(InputFile& file);

struct PackageHead {
  FltsimEntry entry;
  PackageLayout layout;
};

// What "damaged" means wherever a package is listed, selected or opened:
// the entry record (read_package_entry) with fields 1 to 31 free of
// control bytes (check_entry_text), and the layout (read_package_layout):
// the preview and the file table inside the file, a block that can hold
// what the table claims. Nothing is expanded, so a block corrupted inside
// shows only on install. kDamaged as those say ("package is damaged: the
// field sim holds the control byte 0x0D").
Result<PackageHead> read_package_head(InputFile& file);

// The compressed block's bytes as `layout` places them. kDamaged when the
// file no longer reaches the block's end.
Result<std::string> read_package_block(InputFile& file, const PackageLayout& layout);

// Receives a package's files as they are expanded: for each file of the
// table, in order, begin_file, its bytes in one or more writes, end_file.
// An error from any call ends the expansion and is passed on; a file may
// then have been begun and not ended.
class PackageFileSink {
 public:
  virtual ~PackageFileSink() = default;
  virtual Result<void> begin_file(const PackageFile& file) = 0;
  virtual Result<void> write(std::string_view bytes) = 0;
  virtual Result<void> end_file() = 0;
};

// Expands the block a piece at a time (expand_block) and hands the files'
// bytes to `sink`; memory stays bounded whatever the package's size.
// kRefused "too large" when the sizes add up to more than
// kMaxPackageDataSize (nothing read); kDamaged when the block does not
// expand or expands to a length other than the sum of the sizes, the sink
// seeing no byte beyond that sum. Bytes after the zlib stream are ignored.
Result<void> stream_package_files(InputFile& file, const PackageLayout& layout, PackageFileSink& sink);

// The files' bytes, in table order, all in memory; errors as
// stream_package_files.
Result<std::vector<std::string>> expand_package_files(InputFile& file,
                                                      const PackageLayout& layout);

// True for a bare file name that is safe to create on Windows and POSIX:
// 1 to 100 bytes, no \ / : < > " | ? * nor byte below 0x20, not "." or "..",
// not ending with a dot or blank, and not a device name (CON PRN AUX NUL
// COM1-9 LPT1-9, any case, with or without an extension).
bool is_safe_entry_name(std::string_view name);

// ---- Writing ----

// Checks what write_package would be given: 1 to 100 files, names of 1 to
// 100 bytes, sizes >= 1 adding up to `data_size` and to no more than
// kMaxPackageDataSize, no two names equal but for letter case, a preview
// of at most kMaxPreviewSize bytes. kRefused otherwise.
Result<void> check_package_contents(const std::optional<std::string>& preview,
                                    const std::vector<PackageFile>& files,
                                    std::int64_t data_size);

// Everything before the compressed block: entry record, preview flag (1/0),
// preview length and bytes when present, file count and table (names
// blank-filled to 100). `files` must have passed check_package_contents.
std::string build_package_head(const FltsimEntry& entry,
                               const std::optional<std::string>& preview,
                               const std::vector<PackageFile>& files);

// Compresses `data` with a BlockCompressor on every core and appends it to
// `out`. kIo when zlib fails; the OutputFile's errors (kNoSpace, kIo) are
// passed on.
Result<void> write_package_block(OutputFile& out, std::string_view data);

// Writes a whole package: check_package_contents (kRefused, nothing written),
// then the head, then the block. `concatenated_data` holds the files' bytes in
// table order. Does not sync or close `out`; on failure the caller discards
// the partly written file.
Result<void> write_package(OutputFile& out, const FltsimEntry& entry,
                           const std::optional<std::string>& preview,
                           const std::vector<PackageFile>& files,
                           std::string_view concatenated_data);

}  // namespace pw
