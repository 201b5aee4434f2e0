#include <gtest/gtest.h>
#include <zlib.h>

#include "packages/package_format.h"
#include "tests/packages/memory_files.h"
#include "tests/packages/sample_packages.h"

namespace pw {
namespace {

using testing::MemoryInputFile;
using testing::MemoryOutputFile;
using testing::make_package;
using testing::sample_entry;

std::int32_t le32_at(const std::string& bytes, std::size_t at) {
  return static_cast<std::int32_t>(load_le32(bytes.data() + at));
}

TEST(LittleEndian, StoresLowByteFirstAndLoadsSignedValues) {
  char b[4];
  store_le32(b, 0x12345678u);
  EXPECT_EQ(std::string("\x78\x56\x34\x12", 4), std::string(b, 4));
  EXPECT_EQ(0x12345678u, load_le32(b));
  store_le16(b, 0xBEEF);
  EXPECT_EQ(std::string("\xEF\xBE", 2), std::string(b, 2));
  EXPECT_EQ(0xBEEF, load_le16(b));
  EXPECT_EQ(-1, static_cast<std::int16_t>(load_le16("\xFF\xFF")));
  EXPECT_EQ(-2, static_cast<std::int32_t>(load_le32("\xFE\xFF\xFF\xFF")));
}

TEST(PackageWriter, OneFileWithoutPreviewHasCountAt4917AndTableAt4919) {
  const std::string pkg = make_package(std::nullopt, {{"A", "A"}});
  EXPECT_EQ(store_entry(sample_entry()), pkg.substr(0, 4915));
  EXPECT_EQ(0, load_le16(pkg.data() + 4915));
  EXPECT_EQ(1, load_le16(pkg.data() + 4917));
  EXPECT_EQ(1, le32_at(pkg, 4919));
  EXPECT_EQ("A" + std::string(99, ' '), pkg.substr(4923, 100));

  std::string block = pkg.substr(5023);
  ASSERT_EQ(Z_OK, ExpandBytes(block, 1));
  EXPECT_EQ("A", block);

  MemoryInputFile file(pkg);
  auto layout = read_package_layout(file);
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  EXPECT_FALSE(layout->has_preview);
  EXPECT_EQ(5023, layout->block_offset);
  EXPECT_EQ(static_cast<std::int64_t>(pkg.size()) - 5023, layout->block_size);
  EXPECT_EQ(1, layout->total_size);
}

TEST(PackageWriter, PreviewOf360054BytesPutsTheCountAt364975) {
  std::string bitmap(360054, '\0');
  for (std::size_t i = 0; i < bitmap.size(); ++i) bitmap[i] = static_cast<char>(i * 7);
  const std::string pkg = make_package(bitmap, {{"a.bmp", "xyz"}});
  EXPECT_EQ(1, load_le16(pkg.data() + 4915));
  EXPECT_EQ(360054, le32_at(pkg, 4917));
  EXPECT_EQ(bitmap, pkg.substr(4921, 360054));
  EXPECT_EQ(1, load_le16(pkg.data() + 364975));
  EXPECT_EQ(3, le32_at(pkg, 364977));

  MemoryInputFile file(pkg);
  auto preview = read_package_preview(file);
  ASSERT_TRUE(preview.ok()) << preview.error().message;
  ASSERT_TRUE(preview->has_value());
  EXPECT_EQ(bitmap, **preview);
  auto layout = read_package_layout(file);
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  EXPECT_EQ(360054, layout->preview_size);
  EXPECT_EQ(364975 + 2 + 104, layout->block_offset);
}

TEST(PackageWriter, NameOfExactly100BytesFillsItsField) {
  const std::string name(100, 'n');
  const std::string pkg = make_package(std::nullopt, {{name, "data"}});
  EXPECT_EQ(name, pkg.substr(4923, 100));
  EXPECT_EQ('\x78', pkg[5023]);  // the zlib header follows at once

  MemoryInputFile file(pkg);
  auto layout = read_package_layout(file);
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  EXPECT_EQ(name, layout->files[0].name);
}

TEST(PackageWriter, RoundTripsEntryPreviewAndFiles) {
  FltsimEntry entry = sample_entry();
  entry.atc_heavy = "";
  entry.Description = "Blue and white";
  entry.rcf_text = "folder=x" + std::string(992, '\0');
  const std::string binary("\0\x01\xFF\x80 end ", 9);
  const std::string good = make_package(std::string("BM\0\0", 4),
                                        {{"one.dds", binary}, {"two.cfg", "x"},
                                         {"Three File.bmp", std::string(70000, 'q')}},
                                        entry);
  MemoryInputFile file(good);
  auto back = read_package_entry(file);
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(entry.title, back->title);
  EXPECT_EQ(entry.Description, back->Description);
  EXPECT_EQ(entry.rcf_text, back->rcf_text);
  auto preview = read_package_preview(file);
  ASSERT_TRUE(preview.ok() && preview->has_value());
  EXPECT_EQ(std::string("BM\0\0", 4), **preview);
  auto layout = read_package_layout(file);
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  ASSERT_EQ(3u, layout->files.size());
  EXPECT_EQ("Three File.bmp", layout->files[2].name);
  auto files = expand_package_files(file, *layout);
  ASSERT_TRUE(files.ok()) << files.error().message;
  EXPECT_EQ((std::vector<std::string>{binary, "x", std::string(70000, 'q')}), *files);
}

TEST(PackageWriter, RefusesContentsItCannotWriteAndWritesNothing) {
  const std::vector<PackageFile> hundred_and_one(101, PackageFile{"f", 1});
  struct Case {
    const char* name;
    std::vector<PackageFile> files;
    std::int64_t data_size;
  } cases[] = {
      {"no files", {}, 0},
      {"101 files", hundred_and_one, 101},
      {"empty name", {{"", 1}}, 1},
      {"name of 101 bytes", {{std::string(101, 'n'), 1}}, 1},
      {"name ending in a blank", {{"a ", 1}}, 1},
      {"size 0", {{"a", 0}}, 0},
      {"negative size", {{"a", -4}, {"b", 8}}, 4},
      {"sizes short of the data", {{"a", 2}, {"b", 2}}, 5},
      {"sizes beyond the data", {{"a", 2}, {"b", 2}}, 3},
      {"over 2 GB", {{"a", 2147483647}, {"b", 1}}, 2147483648},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto checked = check_package_contents(std::nullopt, c.files, c.data_size);
    ASSERT_FALSE(checked.ok());
    EXPECT_EQ(ErrorCode::kRefused, checked.error().code);
  }
  MemoryOutputFile out;
  auto written = write_package(out, sample_entry(), std::nullopt, {{"a", 2}}, "abc");
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(ErrorCode::kRefused, written.error().code);
  EXPECT_TRUE(out.bytes().empty());
  EXPECT_TRUE(check_package_contents(std::nullopt, std::vector<PackageFile>(100, PackageFile{"f", 1}), 100).ok());
}

TEST(PackageWriter, PassesOnWriteFailures) {
  for (int failing = 0; failing < 2; ++failing) {
    SCOPED_TRACE(failing);
    MemoryOutputFile out;
    out.fail_write(failing);
    auto written = write_package(out, sample_entry(), std::nullopt, {{"a", 3}}, "abc");
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(ErrorCode::kNoSpace, written.error().code);
  }
}

}  // namespace
}  // namespace pw
