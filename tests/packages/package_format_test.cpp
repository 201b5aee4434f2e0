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
using testing::random_bytes;
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

std::string compressed(std::string data) {
  EXPECT_EQ(Z_OK, CompressBytes(data));
  return data;
}

// A table-and-block package built by hand, to say what the writer never would.
std::string package_with(const std::vector<PackageFile>& table, const std::string& block) {
  return build_package_head(sample_entry(), std::nullopt, table) + block;
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

TEST(PackageWriter, RoundTripsEntryPreviewAndFiles) {
  FltsimEntry entry = sample_entry();
  entry.Description = "Blue and white";
  entry.rcf_text = "folder=x" + std::string(992, '\0');
  const std::string binary("\0\x01\xFF\x80 end ", 9);
  const std::vector<std::string> contents = {binary, "x", std::string(70000, 'q')};
  MemoryInputFile file(make_package(std::string("BM\0\0", 4),
                                    {{"one.dds", contents[0]}, {"two.cfg", contents[1]}, {"Three File.bmp", contents[2]}},
                                    entry));
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
  EXPECT_EQ(contents, *files);
}

TEST(PackageWriter, RefusesContentsItCannotWriteAndWritesNothing) {
  const struct {
    const char* name;
    std::vector<PackageFile> files;
    std::int64_t data_size;
  } cases[] = {
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
  EXPECT_TRUE(check_package_contents(std::nullopt, std::vector<PackageFile>(100, PackageFile{"f", 1}), 100).ok());
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

// Claims of huge tables and previews are checked against the file's size
// before any buffer is sized by them.
TEST(PackageReader, ClaimsAreCheckedBeforeAllocating) {
  std::string hundred_claimed = make_package(std::nullopt, {{"A", "A"}});
  store_le16(hundred_claimed.data() + 4917, 100);  // one entry present
  const std::string with_preview = make_package(std::string(50, 'p'), {{"A", "A"}});
  const auto preview_length = [&](std::uint32_t length) {
    std::string bad = with_preview;
    store_le32(bad.data() + 4917, length);
    return bad;
  };
  // Length -200 would put the count at 4721, inside rcf_text, where a
  // plausible one-file table has been planted.
  FltsimEntry planting = sample_entry();
  std::string planted(106, ' ');
  store_le16(planted.data(), 1);
  store_le32(planted.data() + 2, 1);
  planted[6] = 'x';
  planting.rcf_text = std::string(806, '\0') + planted + std::string(88, '\0');
  std::string pointing_back = make_package(std::string(10, 'p'), {{"A", "A"}}, planting);
  store_le32(pointing_back.data() + 4917, static_cast<std::uint32_t>(-200));
  const struct {
    const char* name;
    std::string bytes;
    const char* message;
    std::size_t largest_request;
  } cases[] = {
      {"100 entries claimed", hundred_claimed, "file table runs past the end", 10400},
      {"100 files of 2 GB", package_with(std::vector<PackageFile>(100, PackageFile{"big.dds", 2147483647}), compressed("tiny")),
       "", 10400},
      {"preview to the end", preview_length(static_cast<std::uint32_t>(with_preview.size())), "preview", 4},
      {"preview of 4 GB", preview_length(0xFFFFFFF0u), "preview", 4},
      {"preview of 2 GB", preview_length(0x7FFFFFFFu), "preview", 4},
      {"preview pointing back", pointing_back, "preview", 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryInputFile file(c.bytes);
    auto layout = read_package_layout(file);
    ASSERT_FALSE(layout.ok());
    expect_damaged(layout.error());
    EXPECT_NE(std::string::npos, layout.error().message.find(c.message)) << layout.error().message;
    EXPECT_LE(file.largest_request(), c.largest_request);
  }

  // A block big enough that 4 GB could be genuine: only the 32-bit limit stops it.
  MemoryInputFile huge(package_with(std::vector<PackageFile>(2, PackageFile{"big.dds", 2147483647}),
                                    std::string(4200000, 'z')));
  auto layout = read_package_layout(huge);
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  EXPECT_EQ(4294967294, layout->total_size);
  auto files = expand_package_files(huge, *layout);
  ASSERT_FALSE(files.ok());
  EXPECT_EQ(ErrorCode::kRefused, files.error().code);
  EXPECT_NE(std::string::npos, files.error().message.find("too large"));
  EXPECT_LT(huge.largest_request(), 4200000u);
}

// A file that shrank under the block reader is in block_test.cpp.
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
}

TEST(EntryName, RefusesNamesThatCouldEscapeOrMisbehave) {
  for (const std::string name : {"a320_t.dds", "Texture.cfg", "thumbnail .jpg", ".hidden", "Caf\xE9.bmp",
                                 "console.txt", "COM10", "LPT0.dds"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(is_safe_entry_name(name));
  }
  EXPECT_TRUE(is_safe_entry_name(std::string(100, 'n')));
  for (const std::string name : {"", ".", "..", "..\\aircraft.cfg", "../x", "sub/a.dds", "C:a.dds", "a<b", "a>b",
                                 "a\"b", "a|b", "a?b", "a*b", "tab\there", "\x1F", "name.", "name ", "CON",
                                 "con.dds", "Prn.tar.gz", "AUX .txt", "nul", "COM1", "com9.bmp", "Lpt5", "COM\xB9"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(is_safe_entry_name(name));
  }
  EXPECT_FALSE(is_safe_entry_name(std::string(101, 'n')));
  EXPECT_FALSE(is_safe_entry_name(std::string("nul\0x", 5)));
}

// A stream that expands to exactly `size` bytes.
std::string stream_of(std::size_t size) { return compressed(random_bytes(size, 7)); }

TEST(CompressBytes, RoundTripsEvenIncompressibleDataIgnoringWhatFollows) {
  // Random bytes grow under deflate, so these probe the capacity's margin.
  for (const std::string& input : {std::string("A"), std::string(1, '\0'), std::string("hello hello hello hello"),
                                   random_bytes(50, 1), random_bytes(150, 2), random_bytes(65536, 3),
                                   random_bytes(300001, 4), std::string(1 << 20, '\0')}) {
    SCOPED_TRACE(input.size());
    std::string data = input;
    ASSERT_EQ(Z_OK, CompressBytes(data));
    EXPECT_NE(input, data);
    data += "trailing \x78\x9C bytes";
    ASSERT_EQ(Z_OK, ExpandBytes(data, static_cast<std::int32_t>(input.size())));
    EXPECT_EQ(input, data);
  }
  std::string cut = stream_of(500);
  cut.pop_back();
  EXPECT_EQ(Z_DATA_ERROR, ExpandBytes(cut, 500));
}

TEST(ExpandBytes, CapacityIsNearestWholeNumberWithHalvesToEven) {
  const struct {
    std::int32_t expected;
    std::size_t capacity;  // S * 1.01 + 12, rounded
  } cases[] = {{0, 12}, {1, 13}, {50, 62} /* 62.5 */, {150, 164} /* 163.5 */, {60, 73}, {100, 113}, {1000, 1022}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    std::string fits = stream_of(c.capacity);
    EXPECT_EQ(Z_OK, ExpandBytes(fits, c.expected));
    EXPECT_EQ(c.capacity, fits.size());
    std::string one_over = stream_of(c.capacity + 1);
    EXPECT_EQ(Z_BUF_ERROR, ExpandBytes(one_over, c.expected));
    EXPECT_EQ(random_bytes(c.capacity, 7), one_over);  // what fitted is kept
  }
}

TEST(ExpandBytes, ImpossibleSizesAreRefusedBeforeAllocating) {
  std::string data = "xyz";
  EXPECT_EQ(Z_DATA_ERROR, ExpandBytes(data, -1));
  EXPECT_EQ("xyz", data);
  EXPECT_EQ(Z_DATA_ERROR, ExpandBytes(data, 3 * 1032 + 1025));
  EXPECT_EQ("xyz", data);  // refused before zlib saw it
  EXPECT_EQ(Z_DATA_ERROR, ExpandBytes(data, 3 * 1032 + 1024));
  EXPECT_NE("xyz", data);  // at the cap zlib was asked, and found garbage
}

}  // namespace
}  // namespace pw
