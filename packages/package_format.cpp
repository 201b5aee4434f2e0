#include "packages/package_format.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <set>
#include <span>
#include <utility>

#include "base/text.h"
#include "packages/block_compressor.h"
#include "packages/block_expander.h"

namespace pw {
namespace {

// deflate cannot expand more than about 1032:1; the slack covers the stream's
// header, trailer and tiny inputs. A claim beyond this is not a real stream.
constexpr std::uint64_t kMaxZlibRatio = 1032;
constexpr std::uint64_t kZlibSlack = 1024;

std::uint64_t max_expanded_size(std::uint64_t compressed_size) {
  return compressed_size * kMaxZlibRatio + kZlibSlack;
}

// S * 1.01 + 12 to the nearest whole number, halves to even. Done in
// hundredths with integers so that no floating-point error can move a tie.
std::uint64_t zlib_capacity(std::uint64_t size) {
  const std::uint64_t hundredths = size * 101 + 1200;
  std::uint64_t whole = hundredths / 100;
  const std::uint64_t rest = hundredths % 100;
  if (rest > 50 || (rest == 50 && whole % 2 == 1)) ++whole;
  return whole;
}

// uLong is 32 bits on Windows: larger lengths cannot be handed to zlib.
bool fits_zlib_length(std::uint64_t length) {
  if constexpr (sizeof(uLong) < sizeof(std::uint64_t)) {
    return length <= std::numeric_limits<uLong>::max();
  }
  return true;
}

Bytef* as_bytes(std::string& s) { return reinterpret_cast<Bytef*>(s.data()); }
const Bytef* as_bytes(const std::string& s) {
  return reinterpret_cast<const Bytef*>(s.data());
}

Error damaged(std::string_view what) {
  return make_error(ErrorCode::kDamaged, "package is damaged: " + std::string(what));
}

Error refused(std::string_view what) {
  return make_error(ErrorCode::kRefused, "package refused: " + std::string(what));
}

void append_le16(std::string& out, std::uint16_t value) {
  char bytes[2];
  store_le16(bytes, value);
  out.append(bytes, sizeof bytes);
}

void append_le32(std::string& out, std::uint32_t value) {
  char bytes[4];
  store_le32(bytes, value);
  out.append(bytes, sizeof bytes);
}

// Exactly `length` bytes at `offset`, the range checked against the file's
// size before the buffer is allocated. `what` names the section for messages.
Result<std::string> read_section(InputFile& file, std::int64_t offset,
                                 std::int64_t length, std::string_view what) {
  const std::string past_end = std::string(what) + " runs past the end of the file";
  if (offset < 0 || length < 0 || length > file.size() - offset) return damaged(past_end);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::int64_t at = offset + static_cast<std::int64_t>(done);
    auto got = file.read_at(at, std::span<char>(bytes.data() + done, bytes.size() - done));
    if (!got.ok()) return got.error();
    if (*got == 0) return damaged(past_end);  // the file shrank under us
    done += *got;
  }
  return bytes;
}

struct PreviewHead {
  bool present = false;
  std::int32_t size = 0;
  std::int64_t count_offset = kNoPreviewCountOffset;
};

Result<PreviewHead> read_preview_head(InputFile& file) {
  auto flag = read_section(file, kPreviewFlagOffset, 2, "preview flag");
  if (!flag.ok()) return flag.error();
  // Only 1 announces a preview; any other value reads as none.
  if (load_le16(flag->data()) != 1) return PreviewHead{};
  auto length_bytes = read_section(file, kPreviewLengthOffset, 4, "preview length");
  if (!length_bytes.ok()) return length_bytes.error();
  const auto length = static_cast<std::int32_t>(load_le32(length_bytes->data()));
  if (length < 0) return damaged("negative preview length " + std::to_string(length));
  if (length > kMaxPreviewSize) return damaged("preview of " + std::to_string(length) + " bytes, over 4 MB");
  if (length > file.size() - kPreviewOffset) {
    return damaged("preview runs past the end of the file");
  }
  return PreviewHead{true, length, kPreviewOffset + length};
}

// Two names that differ only in letter case are one file on the simulator's
// platform: the second would silently take the first one's place.
std::optional<std::string> case_twin(const std::vector<PackageFile>& files) {
  std::set<std::string> seen;
  for (const PackageFile& f : files) {
    if (!seen.insert(to_lower(f.name)).second) return f.name;
  }
  return std::nullopt;
}

std::string twin_text(const std::string& name) { return "two files are named " + name + " but for letter case"; }

Result<std::vector<PackageFile>> parse_file_table(std::string_view table, std::size_t count) {
  std::vector<PackageFile> files;
  files.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view entry = table.substr(i * kFileTableEntrySize, kFileTableEntrySize);
    PackageFile file;
    file.size = static_cast<std::int32_t>(load_le32(entry.data()));
    file.name = trim_blanks(entry.substr(4, kPackageNameSize));
    if (file.size < 1) {
      return damaged("file " + std::to_string(i + 1) + " (" + file.name + ") has size " +
                     std::to_string(file.size));
    }
    files.push_back(std::move(file));
  }
  if (auto twin = case_twin(files)) return damaged(twin_text(*twin));
  return files;
}

// Cuts the expanded stream into the table's files. expand_block never
// delivers more than the table's total, so each byte has its file.
class FileSplitter {
 public:
  FileSplitter(const std::vector<PackageFile>& files, PackageFileSink& sink) : files_(files), sink_(sink) {}

  Result<void> feed(std::string_view bytes) {
    while (!bytes.empty()) {
      if (left_ == 0) PW_TRY(next_file());
      const auto size = static_cast<std::int64_t>(bytes.size());
      const auto take = static_cast<std::size_t>(std::min<std::int64_t>(left_, size));
      PW_TRY(sink_.write(bytes.substr(0, take)));
      left_ -= static_cast<std::int64_t>(take);
      bytes.remove_prefix(take);
    }
    return {};
  }

  // Ends the last file; every file must have been delivered in full.
  Result<void> finish() {
    if (files_.empty()) return {};
    if (next_ != files_.size() || left_ != 0) return damaged("the expanded data ends inside the file table");
    return sink_.end_file();
  }

 private:
  Result<void> next_file() {
    if (next_ == files_.size()) return damaged("the expanded data runs past the file table");
    if (next_ > 0) PW_TRY(sink_.end_file());
    const PackageFile& f = files_[next_++];
    if (f.size < 1) return damaged("file " + f.name + " has size " + std::to_string(f.size));
    left_ = f.size;
    return sink_.begin_file(f);
  }

  const std::vector<PackageFile>& files_;
  PackageFileSink& sink_;
  std::size_t next_ = 0;  // the file to begin next
  std::int64_t left_ = 0;  // bytes still due to the current file
};

class MemorySink final : public PackageFileSink {
 public:
  // No reserve: the sizes are the package's claims until the bytes arrive.
  Result<void> begin_file(const PackageFile&) override {
    files.emplace_back();
    return {};
  }
  Result<void> write(std::string_view bytes) override {
    files.back().append(bytes);
    return {};
  }
  Result<void> end_file() override { return {}; }

  std::vector<std::string> files;
};

// The device names Windows reserves in every folder; the part before the
// first dot decides, and blanks before the dot are ignored as Windows does.
bool is_reserved_device_name(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  const std::string lower = to_lower(stem);
  if (lower == "con" || lower == "prn" || lower == "aux" || lower == "nul") return true;
  if (lower.size() != 4 || !(lower.starts_with("com") || lower.starts_with("lpt"))) {
    return false;
  }
  // Windows also reserves the superscript digits 1, 2, 3 (Windows-1252).
  const char digit = lower[3];
  return (digit >= '1' && digit <= '9') || digit == '\xB9' || digit == '\xB2' ||
         digit == '\xB3';
}

}  // namespace

std::uint16_t load_le16(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

std::uint32_t load_le32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
         std::uint32_t{b[3]} << 24;
}

void store_le16(char* p, std::uint16_t value) {
  p[0] = static_cast<char>(value & 0xFF);
  p[1] = static_cast<char>(value >> 8);
}

void store_le32(char* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::int32_t CompressBytes(std::string& data) {
  const std::uint64_t capacity = zlib_capacity(data.size());
  if (!fits_zlib_length(capacity)) return Z_BUF_ERROR;
  std::string out(capacity, '\0');
  auto out_length = static_cast<uLongf>(capacity);
  const int code = compress(as_bytes(out), &out_length, as_bytes(std::as_const(data)),
                            static_cast<uLong>(data.size()));
  out.resize(out_length);
  data = std::move(out);
  return code;
}

std::int32_t ExpandBytes(std::string& data, std::int32_t expected_size) {
  if (expected_size < 0) return Z_DATA_ERROR;
  const auto expected = static_cast<std::uint64_t>(expected_size);
  if (expected > max_expanded_size(data.size())) return Z_DATA_ERROR;
  const std::uint64_t capacity = zlib_capacity(expected);
  if (!fits_zlib_length(capacity)) return Z_BUF_ERROR;
  // A stream that expands to under 2 GB is far shorter than uLong's range, so
  // cutting the input there only drops bytes after the stream, which zlib
  // ignores anyway.
  const std::uint64_t in_length =
      std::min<std::uint64_t>(data.size(), std::numeric_limits<uLong>::max());
  std::string out(capacity, '\0');
  auto out_length = static_cast<uLongf>(capacity);
  const int code = uncompress(as_bytes(out), &out_length, as_bytes(std::as_const(data)),
                              static_cast<uLong>(in_length));
  out.resize(out_length);
  data = std::move(out);
  return code;
}

Result<FltsimEntry> read_package_entry(InputFile& file) {
  auto record = read_section(file, 0, kFltsimRecordSize, "entry record");
  if (!record.ok()) return record.error();
  return load_entry(*record);
}

Result<std::optional<std::string>> read_package_preview(InputFile& file) {
  auto head = read_preview_head(file);
  if (!head.ok()) return head.error();
  if (!head->present) return std::optional<std::string>{};
  auto bitmap = read_section(file, kPreviewOffset, head->size, "preview");
  if (!bitmap.ok()) return bitmap.error();
  return std::optional<std::string>{std::move(*bitmap)};
}

Result<PackageLayout> read_package_layout(InputFile& file) {
  auto head = read_preview_head(file);
  if (!head.ok()) return head.error();
  auto count_bytes = read_section(file, head->count_offset, 2, "file count");
  if (!count_bytes.ok()) return count_bytes.error();
  const auto count = static_cast<std::int16_t>(load_le16(count_bytes->data()));
  if (count < 1 || count > static_cast<std::int16_t>(kMaxPackageFiles)) {
    return damaged("file count " + std::to_string(count) + " is not between 1 and 100");
  }
  const std::int64_t table_offset = head->count_offset + 2;
  const std::int64_t table_size = count * kFileTableEntrySize;
  auto table = read_section(file, table_offset, table_size, "file table");
  if (!table.ok()) return table.error();
  auto files = parse_file_table(*table, static_cast<std::size_t>(count));
  if (!files.ok()) return files.error();

  PackageLayout layout;
  layout.has_preview = head->present;
  layout.preview_size = head->size;
  layout.files = std::move(*files);
  layout.block_offset = table_offset + table_size;
  layout.block_size = file.size() - layout.block_offset;
  for (const PackageFile& f : layout.files) layout.total_size += f.size;
  if (layout.block_size < 1) return damaged("the compressed block is missing");
  const auto block_size = static_cast<std::uint64_t>(layout.block_size);
  if (static_cast<std::uint64_t>(layout.total_size) > max_expanded_size(block_size)) {
    return damaged("the file table claims " + std::to_string(layout.total_size) +
                   " bytes, more than a " + std::to_string(layout.block_size) +
                   "-byte compressed block can hold");
  }
  return layout;
}

Result<PackageHead> read_package_head(InputFile& file) {
  Result<FltsimEntry> entry = read_package_entry(file);
  if (!entry) return entry.error();
  if (Result<void> text = check_entry_text(*entry); !text) return damaged(text.error().message);
  Result<PackageLayout> layout = read_package_layout(file);
  if (!layout) return layout.error();
  return PackageHead{std::move(*entry), std::move(*layout)};
}

Result<std::string> read_package_block(InputFile& file, const PackageLayout& layout) {
  return read_section(file, layout.block_offset, layout.block_size, "compressed block");
}

Result<void> stream_package_files(InputFile& file, const PackageLayout& layout, PackageFileSink& sink) {
  if (layout.total_size > kMaxPackageDataSize) {
    return make_error(ErrorCode::kRefused,
                      "package is too large: its files add up to " +
                          std::to_string(layout.total_size) + " bytes, over 2 GB");
  }
  FileSplitter splitter(layout.files, sink);
  PW_TRY(expand_block(file, layout.block_offset, layout.block_size, layout.total_size,
                      [&](std::string_view bytes) { return splitter.feed(bytes); }));
  return splitter.finish();
}

Result<std::vector<std::string>> expand_package_files(InputFile& file,
                                                      const PackageLayout& layout) {
  MemorySink sink;
  PW_TRY(stream_package_files(file, layout, sink));
  return std::move(sink.files);
}

bool is_safe_entry_name(std::string_view name) {
  if (name.empty() || name.size() > kPackageNameSize) return false;
  constexpr std::string_view kForbidden = "\\/:<>\"|?*";
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (kForbidden.find(c) != std::string_view::npos) return false;
  }
  // Windows drops a final dot or blank, so such a name is not what it says;
  // this also refuses "." and "..".
  if (name.back() == '.' || name.back() == ' ') return false;
  return !is_reserved_device_name(name);
}

Result<void> check_package_contents(const std::optional<std::string>& preview,
                                    const std::vector<PackageFile>& files,
                                    std::int64_t data_size) {
  if (files.empty() || files.size() > kMaxPackageFiles) {
    return refused("a package holds 1 to 100 files, not " + std::to_string(files.size()));
  }
  std::int64_t total = 0;
  for (const PackageFile& f : files) {
    if (f.name.empty() || f.name.size() > kPackageNameSize) {
      return refused("file name is not 1 to 100 bytes long: " + f.name);
    }
    // Readers trim the stored name, so blanks at its ends would not survive.
    if (trim_blanks(f.name) != f.name) {
      return refused("file name begins or ends with a blank: " + f.name);
    }
    if (f.size < 1) return refused("file " + f.name + " is empty");
    total += f.size;
  }
  if (total > kMaxPackageDataSize) return refused("its files are too large, over 2 GB");
  if (total != data_size) {
    return refused("the file sizes add up to " + std::to_string(total) + " bytes but " +
                   std::to_string(data_size) + " bytes of data were given");
  }
  if (auto twin = case_twin(files)) return refused(twin_text(*twin));
  if (preview && preview->size() > static_cast<std::uint64_t>(kMaxPreviewSize)) {
    return refused("the preview is too large, over 4 MB");
  }
  return {};
}

std::string build_package_head(const FltsimEntry& entry,
                               const std::optional<std::string>& preview,
                               const std::vector<PackageFile>& files) {
  std::string head = store_entry(entry);
  append_le16(head, preview ? 1 : 0);
  if (preview) {
    append_le32(head, static_cast<std::uint32_t>(preview->size()));
    head += *preview;
  }
  append_le16(head, static_cast<std::uint16_t>(files.size()));
  for (const PackageFile& f : files) {
    append_le32(head, static_cast<std::uint32_t>(f.size));
    const std::string_view name = std::string_view(f.name).substr(0, kPackageNameSize);
    head.append(name);
    head.append(kPackageNameSize - name.size(), ' ');
  }
  return head;
}

Result<void> write_package_block(OutputFile& out, std::string_view data) {
  BlockCompressor block(out, default_compression_threads());
  PW_TRY(block.write(data));
  return block.finish();
}

Result<void> write_package(OutputFile& out, const FltsimEntry& entry,
                           const std::optional<std::string>& preview,
                           const std::vector<PackageFile>& files,
                           std::string_view concatenated_data) {
  PW_TRY(check_package_contents(preview, files,
                                static_cast<std::int64_t>(concatenated_data.size())));
  PW_TRY(out.write(build_package_head(entry, preview, files)));
  return write_package_block(out, concatenated_data);
}

}  // namespace pw
