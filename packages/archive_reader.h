// Private to the download reader: libarchive reading a zip, 7z or rar
// through an InputFile (so no OS call bypasses the file layer) or from
// memory (a zip inside the download).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform/file_system.h"
#include "base/result.h"

struct archive;
struct archive_entry;

namespace pw::download_detail {

enum class ArchiveFormat { kZip, kSevenZip, kRar };

// By the leading bytes, not the name: libarchive left to bid would take
// a rar that holds a zip for that zip, as the zip reader looks for a
// directory at the end. Anything but 7z and rar is read as a zip (which
// also finds a zip behind a self-extractor).
Result<ArchiveFormat> sniff_archive_format(InputFile& file);

// One header as read: the name in Windows-1252 (not yet cleaned).
struct ArchiveEntry {
  std::string name;
  bool is_file = false;
  bool is_folder = false;  // neither: a link, device or FIFO
  bool is_encrypted = false;
  std::int64_t size = -1;  // -1 when the archive does not record it
};

class ArchiveReader {
 public:
  ArchiveReader(ArchiveReader&&) noexcept;
  ArchiveReader& operator=(ArchiveReader&&) noexcept;
  ~ArchiveReader();

  // kDamaged with libarchive's reason when it cannot be opened; the file's
  // own errors (kIo...) as they are.
  static Result<ArchiveReader> open(InputFile& file, ArchiveFormat format);
  // A zip held in memory; `bytes` must outlive the reader.
  static Result<ArchiveReader> open_zip_in_memory(const std::string& bytes);

  // The next header; nullopt after the last. kDamaged as open.
  Result<std::optional<ArchiveEntry>> next();
  // Hands the current entry's bytes to `out` in pieces of at most
  // kExtractPieceBytes. kDamaged when they run past or short of `size`.
  Result<void> copy_data(const std::string& name, std::int64_t size,
                         const std::function<Result<void>(std::string_view)>& out);

  struct Source;  // what the read callbacks are given

 private:
  ArchiveReader();
  Error failure() const;

  std::unique_ptr<Source> source_;
  archive* archive_ = nullptr;
  std::vector<char> piece_;
};

}  // namespace pw::download_detail
