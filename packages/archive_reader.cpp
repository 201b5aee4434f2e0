#include "packages/archive_reader.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/platform/process.h"
#include "packages/download_list.h"

namespace pw::download_detail {

namespace {

// What libarchive asks of the file at a time; its zip reader reads the
// central directory in pieces of about this size as well.
constexpr std::size_t kReadBlockBytes = std::size_t{64} << 10;

}  // namespace

// The position libarchive reads from, and the file layer's own error, which
// is passed on as it is instead of as a damaged archive.
struct ArchiveReader::Source {
  InputFile* file = nullptr;
  std::int64_t position = 0;
  std::vector<char> block;
  std::optional<Error> error;
};

namespace {

la_ssize_t read_block(archive* a, void* data, const void** out) {
  auto& source = *static_cast<ArchiveReader::Source*>(data);
  const Result<std::size_t> got = source.file->read_at(source.position, source.block);
  if (!got) {
    source.error = got.error();
    archive_set_error(a, EIO, "%s", got.error().message.c_str());
    return -1;
  }
  source.position += static_cast<std::int64_t>(*got);
  *out = source.block.data();
  return static_cast<la_ssize_t>(*got);
}

la_int64_t seek_to(archive*, void* data, la_int64_t offset, int whence) {
  auto& source = *static_cast<ArchiveReader::Source*>(data);
  std::int64_t base = 0;
  if (whence == SEEK_CUR) base = source.position;
  if (whence == SEEK_END) base = source.file->size();
  if (offset < -base || offset > INT64_MAX - base) return ARCHIVE_FATAL;
  source.position = base + offset;
  return source.position;
}

la_int64_t skip_ahead(archive*, void* data, la_int64_t request) {
  auto& source = *static_cast<ArchiveReader::Source*>(data);
  const std::int64_t left = std::max<std::int64_t>(0, source.file->size() - source.position);
  const std::int64_t skipped = std::clamp<std::int64_t>(request, 0, left);
  source.position += skipped;
  return skipped;
}

void support_format(archive* a, ArchiveFormat format) {
  switch (format) {
    case ArchiveFormat::kZip:
      archive_read_support_format_zip_seekable(a);
      break;
    case ArchiveFormat::kSevenZip:
      archive_read_support_format_7zip(a);
      break;
    case ArchiveFormat::kRar:
      archive_read_support_format_rar(a);
      archive_read_support_format_rar5(a);
      break;
  }
}

bool starts_with_bytes(const char* data, std::size_t size, std::string_view magic) {
  return size >= magic.size() && std::memcmp(data, magic.data(), magic.size()) == 0;
}

}  // namespace

Result<ArchiveFormat> sniff_archive_format(InputFile& file) {
  char head[8] = {};
  const Result<std::size_t> got = file.read_at(0, head);
  if (!got) return got.error();
  using namespace std::string_view_literals;
  if (starts_with_bytes(head, *got, "7z\xBC\xAF\x27\x1C"sv)) return ArchiveFormat::kSevenZip;
  if (starts_with_bytes(head, *got, "Rar!\x1A\x07"sv)) return ArchiveFormat::kRar;
  return ArchiveFormat::kZip;
}

ArchiveReader::ArchiveReader() : archive_(archive_read_new()), piece_(kExtractPieceBytes) {}

ArchiveReader::ArchiveReader(ArchiveReader&& other) noexcept
    : source_(std::move(other.source_)), archive_(std::exchange(other.archive_, nullptr)),
      piece_(std::move(other.piece_)) {}

ArchiveReader& ArchiveReader::operator=(ArchiveReader&& other) noexcept {
  std::swap(source_, other.source_);
  std::swap(archive_, other.archive_);
  std::swap(piece_, other.piece_);
  return *this;
}

ArchiveReader::~ArchiveReader() {
  if (archive_ != nullptr) archive_read_free(archive_);
}

Error ArchiveReader::failure() const {
  if (source_ && source_->error) return *source_->error;
  const char* reason = archive_ != nullptr ? archive_error_string(archive_) : nullptr;
  return damaged(reason != nullptr ? reason : "the archive cannot be read");
}

Result<ArchiveReader> ArchiveReader::open(InputFile& file, ArchiveFormat format) {
  const Utf8ThreadLocale utf8;  // names convert through the locale
  ArchiveReader reader;
  if (reader.archive_ == nullptr) return make_error(ErrorCode::kIo, "out of memory for the archive reader");
  reader.source_ = std::make_unique<Source>();
  reader.source_->file = &file;
  reader.source_->block.resize(kReadBlockBytes);
  support_format(reader.archive_, format);
  archive_read_set_read_callback(reader.archive_, read_block);
  archive_read_set_seek_callback(reader.archive_, seek_to);
  archive_read_set_skip_callback(reader.archive_, skip_ahead);
  archive_read_set_callback_data(reader.archive_, reader.source_.get());
  if (archive_read_open1(reader.archive_) != ARCHIVE_OK) return reader.failure();
  return reader;
}

Result<ArchiveReader> ArchiveReader::open_zip_in_memory(const std::string& bytes) {
  const Utf8ThreadLocale utf8;  // names convert through the locale
  ArchiveReader reader;
  if (reader.archive_ == nullptr) return make_error(ErrorCode::kIo, "out of memory for the archive reader");
  support_format(reader.archive_, ArchiveFormat::kZip);
  if (archive_read_open_memory(reader.archive_, bytes.data(), bytes.size()) != ARCHIVE_OK) return reader.failure();
  return reader;
}

Result<std::optional<ArchiveEntry>> ArchiveReader::next() {
  const Utf8ThreadLocale utf8;  // names convert through the locale
  archive_entry* header = nullptr;
  const int status = archive_read_next_header(archive_, &header);
  if (status == ARCHIVE_EOF) return std::optional<ArchiveEntry>{};
  // A warning is a name libarchive could not convert: the raw bytes remain.
  if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
    if (archive_read_has_encrypted_entries(archive_) > 0) {
      return refused("password-protected archives are not supported");
    }
    return failure();
  }
  ArchiveEntry entry;
  entry.name = archive_name_to_cp1252(archive_entry_pathname_utf8(header), archive_entry_pathname_w(header),
                                      archive_entry_pathname(header));
  // A link target the code page cannot hold is kept in its wide form only.
  const bool is_link = archive_entry_filetype(header) == AE_IFLNK || archive_entry_hardlink(header) != nullptr ||
                       archive_entry_hardlink_w(header) != nullptr || archive_entry_symlink(header) != nullptr ||
                       archive_entry_symlink_w(header) != nullptr;
  entry.is_file = !is_link && archive_entry_filetype(header) == AE_IFREG;
  entry.is_folder = !is_link && archive_entry_filetype(header) == AE_IFDIR;
  entry.is_encrypted = archive_entry_is_encrypted(header) != 0 || archive_read_has_encrypted_entries(archive_) > 0;
  if (archive_entry_size_is_set(header)) entry.size = archive_entry_size(header);
  return std::optional<ArchiveEntry>(std::move(entry));
}

Result<void> ArchiveReader::copy_data(const std::string& name, std::int64_t size,
                                      const std::function<Result<void>(std::string_view)>& out) {
  const Utf8ThreadLocale utf8;
  std::int64_t copied = 0;
  for (;;) {
    const la_ssize_t got = archive_read_data(archive_, piece_.data(), piece_.size());
    if (got < 0) return failure();
    if (got == 0) break;
    copied += got;
    if (copied > size) return damaged(name + " holds more than its listed " + std::to_string(size) + " bytes");
    PW_TRY(out(std::string_view(piece_.data(), static_cast<std::size_t>(got))));
  }
  if (copied != size) return damaged(name + " holds fewer than its listed " + std::to_string(size) + " bytes");
  return {};
}

}  // namespace pw::download_detail
