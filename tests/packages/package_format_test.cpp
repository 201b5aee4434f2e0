// The package layout at the byte level. Hostile packages installed whole
// are in hostile_package_test.cpp; here are what the corpus cannot show:
// exact positions, round trips, allocation bounds and the legacy zlib calls.
#include "packages/package_format.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/packages/memory_files.h"
#include "tests/packages/mixed_data.h"

namespace pw {
namespace {

using testing::make_package;
using testing::MemoryInputFile;
using testing::MemoryOutputFile;
using testing::sample_entry;

void expect_damaged(const Error& error) {
  EXPECT_EQ(ErrorCode::kDamaged, error.code) << error.message;
  EXPECT_EQ(0u, error.message.find("package is damaged: ")) << error.message;
}

Result<std::vector<std::string>> read_files(MemoryInputFile& file) {
  auto layout = read_package_layout(file);
  if (!layout.ok()) return layout.error();
  return expand_package_files(file, *layout);
}

// The reader's side of the layout is pinned by the hostile corpus, laid
// out field by field apart from this code; the round trip below then ties
// the writer to it. Here: the bytes themselves.
TEST(PackageWriter, PutsEveryFieldAtItsByte) {
  const std::string pkg = make_package(std::nullopt, {{"A", "A"}});
  EXPECT_EQ(store_entry(sample_entry()), pkg.substr(0, 4915));
  // Flag 0, count 1, size 1, the name blank-filled, little-endian throughout.
  EXPECT_EQ(std::string("\0\0\x01\0\x01\0\0\0A", 9) + std::string(99, ' '), pkg.substr(4915, 108));
  std::string block = pkg.substr(5023);
  ASSERT_EQ(Z_OK, ExpandBytes(block, 1));
  EXPECT_EQ("A", block);

  // A preview of 360054 (0x57E76) bytes moves the count to 364975; a name
  // of 100 bytes fills its field, the zlib header following at once.
  std::string bitmap(360054, '\0');
  for (std::size_t i = 0; i < bitmap.size(); ++i) bitmap[i] = static_cast<char>(i * 7);
  const std::string name(100, 'n');
  const std::string big = make_package(bitmap, {{name, "xyz"}});
  EXPECT_EQ(std::string("\x01\0\x76\x7E\x05\0", 6), big.substr(4915, 6));
  EXPECT_EQ(bitmap, big.substr(4921, 360054));
  EXPECT_EQ(std::string("\x01\0\x03\0\0\0", 6) + name + "\x78", big.substr(364975, 107));
  MemoryInputFile big_file(big);
  auto layout = read_package_layout(big_file);
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  EXPECT_EQ(360054, layout->preview_size);
  EXPECT_EQ(364975 + 2 + 104, layout->block_offset);
  EXPECT_EQ(static_cast<std::int64_t>(big.size()) - layout->block_offset, layout->block_size);
}

TEST(PackageWriter, RefusesContentsItCannotWriteAndWritesNothing) {
  const struct { const char* name; std::vector<PackageFile> files; std::int64_t data_size; } cases[] = {
      {"no files", {}, 0},
      {"101 files", std::vector<PackageFile>(101, PackageFile{"f", 1}), 101},
      {"empty name", {{"", 1}}, 1},
      {"name of 101 bytes", {{std::string(101, 'n'), 1}}, 1},
      {"name ending in a blank", {{"a ", 1}}, 1},
      {"size 0", {{"a", 0}}, 0},
      {"negative size", {{"a", -4}, {"b", 8}}, 4},
      {"sizes short of the data", {{"a", 2}, {"b", 2}}, 5},
      {"sizes beyond the data", {{"a", 2}, {"b", 2}}, 3},
      {"over 2 GB", {{"a", 2147483647}, {"b", 1}}, 2147483648},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto checked = check_package_contents(std::nullopt, c.files, c.data_size);
    ASSERT_FALSE(checked.ok());
    EXPECT_EQ(ErrorCode::kRefused, checked.error().code);
  }
  std::vector<PackageFile> hundred;
  for (int i = 0; i < 100; ++i) hundred.push_back({"f" + std::to_string(i), 1});
  EXPECT_TRUE(check_package_contents(std::nullopt, hundred, 100).ok());
  MemoryOutputFile out;
  auto written = write_package(out, sample_entry(), std::nullopt, {{"a", 2}}, "abc");
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(ErrorCode::kRefused, written.error().code);
  EXPECT_TRUE(out.bytes().empty());
  for (int failing = 0; failing < 2; ++failing) {
    SCOPED_TRACE(failing);
    MemoryOutputFile full;
    full.fail_write(failing);
    written = write_package(full, sample_entry(), std::nullopt, {{"a", 3}}, "abc");
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(ErrorCode::kNoSpace, written.error().code);
  }
}

TEST(PackageReader, EveryTruncationIsDamaged) {
  const std::string preview = "0123456789";
  const std::string pkg = make_package(preview, {{"a.dds", "alpha"}, {"b.cfg", "bravo"}});
  const std::size_t preview_end = 4921 + preview.size();
  const std::size_t block_offset = preview_end + 2 + 2 * 104;
  for (std::size_t length = 0; length < pkg.size(); ++length) {
    SCOPED_TRACE(length);
    MemoryInputFile file(pkg.substr(0, length));
    auto entry = read_package_entry(file);
    EXPECT_EQ(length >= 4915, entry.ok());
    if (!entry.ok()) expect_damaged(entry.error());
    auto bitmap = read_package_preview(file);
    EXPECT_EQ(length >= preview_end, bitmap.ok());
    if (!bitmap.ok()) expect_damaged(bitmap.error());
    EXPECT_EQ(length > block_offset, read_package_layout(file).ok());
    auto files = read_files(file);
    ASSERT_FALSE(files.ok());
    expect_damaged(files.error());
    EXPECT_LE(file.largest_request(), length);
  }
  MemoryInputFile whole(pkg);
  EXPECT_TRUE(read_files(whole).ok());
}

}  // namespace
}  // namespace pw
