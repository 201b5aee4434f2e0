// libFuzzer target: the package reader at every depth on any bytes, and
// ExpandBytes on its own. Whatever the reader accepts must be consistent:
// a layout inside the file, files handed over in table order with exactly
// their sizes, and the streamed and in-memory expansions agreeing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "packages/memory_files.h"
#include "packages/package_format.h"

namespace {

// Stops the fuzzer with a crash, so the input is kept.
void check(bool condition) {
  if (!condition) std::abort();
}

// Everything the streamed files must obey; keeps their bytes when small.
class CheckingSink final : public pw::PackageFileSink {
 public:
  CheckingSink(const pw::PackageLayout& layout, bool keep) : layout_(layout), keep_(keep) {}

  pw::Result<void> begin_file(const pw::PackageFile& file) override {
    check(!open_ && index_ < layout_.files.size() && file.name == layout_.files[index_].name);
    open_ = true;
    written_ = 0;
    if (keep_) files_.emplace_back();
    return {};
  }
  pw::Result<void> write(std::string_view bytes) override {
    check(open_);
    written_ += static_cast<std::int64_t>(bytes.size());
    check(written_ <= layout_.files[index_].size);
    if (keep_) files_.back().append(bytes);
    return {};
  }
  pw::Result<void> end_file() override {
    check(open_ && written_ == layout_.files[index_].size);
    open_ = false;
    ++index_;
    return {};
  }

  std::size_t ended() const { return index_; }
  const std::vector<std::string>& files() const { return files_; }

 private:
  const pw::PackageLayout& layout_;
  bool keep_;
  bool open_ = false;
  std::size_t index_ = 0;
  std::int64_t written_ = 0;
  std::vector<std::string> files_;
};

void check_layout(const pw::PackageLayout& layout, std::int64_t file_size) {
  check(!layout.files.empty() && layout.files.size() <= pw::kMaxPackageFiles);
  std::int64_t total = 0;
  for (const pw::PackageFile& f : layout.files) {
    check(f.size >= 1 && f.name.size() <= pw::kPackageNameSize);
    total += f.size;
    (void)pw::is_safe_entry_name(f.name);
  }
  check(total == layout.total_size);
  check(layout.block_size >= 1 && layout.block_offset + layout.block_size == file_size);
}

void expand_alone(const std::string& bytes) {
  if (bytes.size() < 4) return;
  // At most 1 MiB expected, so one run stays quick.
  const auto expected = static_cast<std::int32_t>(pw::load_le32(bytes.data()) & 0xFFFFF);
  std::string data = bytes.substr(4);
  if (pw::ExpandBytes(data, expected) == 0) check(data.size() <= static_cast<std::size_t>(expected) * 101 / 100 + 13);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  expand_alone(bytes);
  pw::testing::MemoryInputFile file(bytes);
  auto entry = pw::read_package_entry(file);
  if (entry) {
    // Loading trims the fields, so the stored form of a loaded record is canonical.
    const std::string stored = pw::store_entry(*entry);
    check(stored.size() == pw::kFltsimRecordSize && pw::store_entry(pw::load_entry(stored)) == stored);
  }
  auto preview = pw::read_package_preview(file);
  if (preview && *preview) check((*preview)->size() + 4921 <= size);
  auto layout = pw::read_package_layout(file);
  // The head is damaged exactly when the record, its text or the layout is.
  check(pw::read_package_head(file).ok() == (entry && pw::check_entry_text(*entry) && layout));
  if (!layout) {
    check(!layout.error().message.empty());
    return 0;
  }
  check_layout(*layout, static_cast<std::int64_t>(size));
  const bool small = layout->total_size <= (1 << 20);
  CheckingSink sink(*layout, small);
  const auto streamed = pw::stream_package_files(file, *layout, sink);
  if (streamed) check(sink.ended() == layout->files.size());
  if (!small) return 0;
  auto expanded = pw::expand_package_files(file, *layout);
  check(expanded.ok() == streamed.ok());
  if (expanded) check(*expanded == sink.files());
  return 0;
}
