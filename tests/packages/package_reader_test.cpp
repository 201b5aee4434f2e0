#include <gtest/gtest.h>
#include <zlib.h>

#include "packages/package_format.h"
#include "tests/packages/memory_files.h"
#include "tests/packages/sample_packages.h"

namespace pw {
namespace {

using testing::MemoryInputFile;
using testing::make_package;
using testing::sample_entry;

constexpr std::size_t kNoPreviewTable = 4919;  // count at 4917

void expect_damaged(const Error& error) {
  EXPECT_EQ(ErrorCode::kDamaged, error.code) << error.message;
  EXPECT_EQ(0u, error.message.find("package is damaged: ")) << error.message;
}

Result<std::vector<std::string>> read_files(MemoryInputFile& file) {
  auto layout = read_package_layout(file);
  if (!layout.ok()) return layout.error();
  return expand_package_files(file, *layout);
}

// A table-and-block package built by hand, to say what the writer never would.
std::string package_with(const std::vector<PackageFile>& table, std::string block) {
  return build_package_head(sample_entry(), std::nullopt, table) + block;
}

std::string compressed(std::string data) {
  EXPECT_EQ(Z_OK, CompressBytes(data));
  return data;
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
    auto layout = read_package_layout(file);
    EXPECT_EQ(length > block_offset, layout.ok());
    auto files = read_files(file);
    ASSERT_FALSE(files.ok());
    expect_damaged(files.error());
    EXPECT_LE(file.largest_request(), length);
  }
  MemoryInputFile whole(pkg);
  EXPECT_TRUE(read_files(whole).ok());
}

TEST(PackageReader, PreviewFlagOtherThanOneMeansNoPreview) {
  for (std::uint16_t flag : {0, 2, 0xFFFF}) {
    SCOPED_TRACE(flag);
    std::string pkg = make_package(std::nullopt, {{"A", "A"}});
    store_le16(pkg.data() + 4915, flag);
    MemoryInputFile file(pkg);
    auto preview = read_package_preview(file);
    ASSERT_TRUE(preview.ok());
    EXPECT_FALSE(preview->has_value());
    auto files = read_files(file);
    ASSERT_TRUE(files.ok()) << files.error().message;
    EXPECT_EQ(std::vector<std::string>{"A"}, *files);
  }
}

TEST(PackageReader, CountMustBeOneToHundred) {
  for (std::uint16_t count : {0, 101, 0xFFFF, 0x8000}) {
    SCOPED_TRACE(count);
    std::string pkg = make_package(std::nullopt, {{"A", "A"}});
    store_le16(pkg.data() + 4917, count);
    MemoryInputFile file(pkg);
    auto layout = read_package_layout(file);
    ASSERT_FALSE(layout.ok());
    expect_damaged(layout.error());
  }
  // 101 complete table entries and a block that matches them: still too many.
  const std::vector<PackageFile> table(101, PackageFile{"f", 1});
  MemoryInputFile too_many(package_with(table, compressed(std::string(101, 'f'))));
  auto refused = read_package_layout(too_many);
  ASSERT_FALSE(refused.ok());
  expect_damaged(refused.error());

  std::string pkg = make_package(std::nullopt, {{"A", "A"}});
  store_le16(pkg.data() + 4917, 100);  // 100 entries claimed, one present
  MemoryInputFile file(pkg);
  auto layout = read_package_layout(file);
  ASSERT_FALSE(layout.ok());
  EXPECT_NE(std::string::npos, layout.error().message.find("file table runs past the end"));
  EXPECT_LT(file.largest_request(), 10400u);
}

TEST(PackageReader, SizesMustBePositive) {
  for (std::uint32_t size : {0u, 0xFFFFFFFFu, 0x80000000u}) {
    SCOPED_TRACE(size);
    std::string pkg = make_package(std::nullopt, {{"A", "A"}, {"B", "B"}});
    store_le32(pkg.data() + kNoPreviewTable + 104, size);
    MemoryInputFile file(pkg);
    auto layout = read_package_layout(file);
    ASSERT_FALSE(layout.ok());
    expect_damaged(layout.error());
  }
}

TEST(PackageReader, HundredFilesOf2GBAreDamagedWithoutAllocating) {
  const std::vector<PackageFile> table(100, PackageFile{"big.dds", 2147483647});
  MemoryInputFile file(package_with(table, compressed("tiny")));
  auto layout = read_package_layout(file);
  ASSERT_FALSE(layout.ok());
  expect_damaged(layout.error());
  EXPECT_LE(file.largest_request(), 10400u);
}

TEST(PackageReader, TotalOver2GBIsRefusedBeforeTheBlockIsRead) {
  // A block big enough that 4 GB could be genuine: only the 32-bit limit stops it.
  const std::vector<PackageFile> table(2, PackageFile{"big.dds", 2147483647});
  MemoryInputFile file(package_with(table, std::string(4200000, 'z')));
  auto layout = read_package_layout(file);
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  EXPECT_EQ(4294967294, layout->total_size);
  auto files = expand_package_files(file, *layout);
  ASSERT_FALSE(files.ok());
  EXPECT_EQ(ErrorCode::kRefused, files.error().code);
  EXPECT_NE(std::string::npos, files.error().message.find("too large"));
  EXPECT_LT(file.largest_request(), 4200000u);
}

TEST(PackageReader, PreviewLengthMustStayInsideTheFile) {
  const std::string pkg = make_package(std::string(50, 'p'), {{"A", "A"}});
  for (std::uint32_t length : {static_cast<std::uint32_t>(pkg.size()), 0xFFFFFFF0u, 0x7FFFFFFFu}) {
    SCOPED_TRACE(length);
    std::string bad = pkg;
    store_le32(bad.data() + 4917, length);
    MemoryInputFile file(bad);
    auto preview = read_package_preview(file);
    ASSERT_FALSE(preview.ok());
    expect_damaged(preview.error());
    auto layout = read_package_layout(file);
    ASSERT_FALSE(layout.ok());
    expect_damaged(layout.error());
    EXPECT_NE(std::string::npos, layout.error().message.find("preview")) << layout.error().message;
    EXPECT_LE(file.largest_request(), 4u);
  }
}

TEST(PackageReader, NegativePreviewLengthCannotPointBackIntoTheRecord) {
  // Length -200 would put the count at 4721, inside rcf_text, where a
  // plausible one-file table has been planted.
  FltsimEntry entry = sample_entry();
  std::string planted(106, ' ');
  store_le16(planted.data(), 1);
  store_le32(planted.data() + 2, 1);
  planted[6] = 'x';
  entry.rcf_text = std::string(806, '\0') + planted + std::string(88, '\0');
  std::string pkg = make_package(std::string(10, 'p'), {{"A", "A"}}, entry);
  store_le32(pkg.data() + 4917, static_cast<std::uint32_t>(-200));
  MemoryInputFile file(pkg);
  auto layout = read_package_layout(file);
  ASSERT_FALSE(layout.ok());
  expect_damaged(layout.error());
}

TEST(PackageReader, BlockMustExpandToExactlyTheTableTotal) {
  const std::vector<PackageFile> three{{"a", 1}, {"b", 2}};
  const std::string stream = compressed("abc");
  struct Case {
    const char* name;
    std::string block;
  } cases[] = {
      {"not a zlib stream", "this is not compressed at all"},
      {"stream cut short", stream.substr(0, stream.size() - 3)},
      {"stream with a flipped byte", stream.substr(0, 4) + '\x55' + stream.substr(5)},
      {"expands short", compressed("ab")},
      {"expands a little long", compressed("abcd")},
      {"expands far too long", compressed(std::string(5000, 'a'))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryInputFile file(package_with(three, c.block));
    auto files = read_files(file);
    ASSERT_FALSE(files.ok());
    expect_damaged(files.error());
  }
  MemoryInputFile good(package_with(three, stream));
  auto files = read_files(good);
  ASSERT_TRUE(files.ok()) << files.error().message;
  EXPECT_EQ((std::vector<std::string>{"a", "bc"}), *files);
}

TEST(PackageReader, BytesAfterTheStreamAreIgnored) {
  const std::string pkg = make_package(std::nullopt, {{"a", "first"}, {"b", "second"}});
  MemoryInputFile file(pkg + std::string("\x78\x9C garbage\0\xFF", 13));
  auto files = read_files(file);
  ASSERT_TRUE(files.ok()) << files.error().message;
  EXPECT_EQ((std::vector<std::string>{"first", "second"}), *files);
}

TEST(PackageReader, ReadFailuresPassThroughAndShortReadsAreJoined) {
  const std::string pkg = make_package(std::string(300, 'p'), {{"a", std::string(900, 'x')}});
  MemoryInputFile failing(pkg);
  failing.fail_reads();
  auto layout = read_package_layout(failing);
  ASSERT_FALSE(layout.ok());
  EXPECT_EQ(ErrorCode::kIo, layout.error().code);

  MemoryInputFile trickling(pkg);
  trickling.limit_reads_to(7);
  auto preview = read_package_preview(trickling);
  ASSERT_TRUE(preview.ok() && preview->has_value());
  EXPECT_EQ(std::string(300, 'p'), **preview);
  auto files = read_files(trickling);
  ASSERT_TRUE(files.ok()) << files.error().message;
  EXPECT_EQ(std::string(900, 'x'), (*files)[0]);

  MemoryInputFile shrunk(pkg);
  shrunk.claim_size(static_cast<std::int64_t>(pkg.size()) + 40);  // reads end early
  auto shrunk_files = read_files(shrunk);
  ASSERT_FALSE(shrunk_files.ok());
  expect_damaged(shrunk_files.error());
}

}  // namespace
}  // namespace pw
