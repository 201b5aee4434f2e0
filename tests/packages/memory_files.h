// In-memory InputFile / OutputFile for the package format tests, with the
// faults the readers and writers must survive: read errors, short reads, a
// size that promises more than the reads deliver, and failing writes; and
// packages made with the writer.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/platform/file_system.h"
#include "packages/package_format.h"

namespace pw::testing {

class MemoryInputFile : public InputFile {
 public:
  explicit MemoryInputFile(std::string bytes) : bytes_(std::move(bytes)) {}

  std::int64_t size() const override {
    return claimed_size_ >= 0 ? claimed_size_ : static_cast<std::int64_t>(bytes_.size());
  }

  Result<std::size_t> read_at(std::int64_t offset, std::span<char> out) override {
    largest_request_ = std::max(largest_request_, out.size());
    if (fail_reads_) return make_error(ErrorCode::kIo, "injected read failure");
    if (offset < 0) return make_error(ErrorCode::kIo, "negative offset");
    const auto have = static_cast<std::int64_t>(bytes_.size());
    if (offset >= have) return std::size_t{0};
    std::size_t n = std::min<std::size_t>(out.size(), static_cast<std::size_t>(have - offset));
    n = std::min(n, chunk_);
    std::copy_n(bytes_.data() + offset, n, out.data());
    return n;
  }

  void fail_reads() { fail_reads_ = true; }
  // Each read delivers at most `chunk` bytes.
  void limit_reads_to(std::size_t chunk) { chunk_ = chunk; }
  // size() reports this instead of the real length (a file that shrank).
  void claim_size(std::int64_t size) { claimed_size_ = size; }
  // The largest buffer a reader asked to fill: what it had allocated.
  std::size_t largest_request() const { return largest_request_; }

 private:
  std::string bytes_;
  bool fail_reads_ = false;
  std::size_t chunk_ = SIZE_MAX;
  std::int64_t claimed_size_ = -1;
  std::size_t largest_request_ = 0;
};

class MemoryOutputFile : public OutputFile {
 public:
  Result<void> write(std::string_view bytes) override {
    if (writes_++ == failing_write_) return make_error(ErrorCode::kNoSpace, "injected: disk full");
    bytes_.append(bytes);
    return {};
  }
  Result<void> sync() override { return {}; }
  Result<void> close() override { return {}; }

  // Write number `n` (0-based) fails with kNoSpace.
  void fail_write(int n) { failing_write_ = n; }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  int writes_ = 0;
  int failing_write_ = -1;
};

inline FltsimEntry sample_entry() {
  FltsimEntry entry;
  entry.title = "Cessna 172 Air Tahiti", entry.texture = "Blue", entry.ui_variation = "Air (Tahiti) [2007]";
  entry.rcf_text = "folder=SimObjects\\Airplanes\\C172\r\n";
  return entry;
}

struct SampleFile { std::string name; std::string bytes; };

// A package made with write_package.
inline std::string make_package(const std::optional<std::string>& preview, const std::vector<SampleFile>& files,
                                const FltsimEntry& entry = sample_entry()) {
  std::vector<PackageFile> table;
  std::string data;
  for (const SampleFile& f : files) {
    table.push_back({f.name, static_cast<std::int32_t>(f.bytes.size())});
    data += f.bytes;
  }
  MemoryOutputFile out;
  const Result<void> written = write_package(out, entry, preview, table, data);
  EXPECT_TRUE(written.ok()) << (written.ok() ? "" : written.error().message);
  return out.bytes();
}

}  // namespace pw::testing
