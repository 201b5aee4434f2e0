#include "packages/block_expander.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "packages/block_compressor.h"
#include "packages/package_format.h"
#include "tests/packages/memory_files.h"
#include "tests/packages/mixed_data.h"

namespace pw {
namespace {

using testing::MemoryInputFile;
using testing::MemoryOutputFile;
using testing::mixed_bytes;

std::string block_of(const std::string& data) {
  MemoryOutputFile out;
  BlockCompressor block(out, 2);
  EXPECT_TRUE(block.write(data).ok());
  EXPECT_TRUE(block.finish().ok());
  return out.bytes();
}

struct Expanded {
  Result<void> result;
  std::string bytes;
  std::size_t largest_piece = 0;
};

// Expands the block that follows `prefix` bytes of padding in the file.
Expanded expand(MemoryInputFile& file, std::int64_t prefix, std::int64_t length, std::int64_t expected) {
  Expanded e{Result<void>(), {}, 0};
  e.result = expand_block(file, prefix, length, expected, [&](std::string_view bytes) -> Result<void> {
    e.bytes.append(bytes);
    e.largest_piece = std::max(e.largest_piece, bytes.size());
    return {};
  });
  return e;
}

TEST(ExpandBlock, DeliversTheDataInBoundedPiecesReadingBoundedChunks) {
  const std::string data = mixed_bytes(3 * 1024 * 1024, 21);
  const std::string prefix(777, 'h');
  const std::string block = block_of(data);
  MemoryInputFile file(prefix + block);
  const Expanded e = expand(file, 777, static_cast<std::int64_t>(block.size()), static_cast<std::int64_t>(data.size()));
  ASSERT_TRUE(e.result.ok()) << e.result.error().message;
  EXPECT_EQ(data, e.bytes);
  EXPECT_LE(e.largest_piece, kExpandOutputChunk);
  EXPECT_LE(file.largest_request(), kExpandInputChunk);

  // Short reads are joined; bytes after the stream are never needed.
  MemoryInputFile trickling(prefix + block + "trailing junk");
  trickling.limit_reads_to(5);
  const Expanded t = expand(trickling, 777, static_cast<std::int64_t>(block.size()) + 13,
                            static_cast<std::int64_t>(data.size()));
  ASSERT_TRUE(t.result.ok()) << t.result.error().message;
  EXPECT_EQ(data, t.bytes);
}

TEST(ExpandBlock, DamagedStreamsAreDamagedAndNothingBeyondTheTotalIsDelivered) {
  const std::string data = mixed_bytes(700 * 1024, 23);
  const std::string block = block_of(data);
  const auto size = static_cast<std::int64_t>(data.size());
  std::string corrupt = block;
  corrupt[block.size() / 2] = static_cast<char>(corrupt[block.size() / 2] ^ 0x5A);
  std::string bad_checksum = block;
  bad_checksum.back() = static_cast<char>(bad_checksum.back() ^ 1);
  const struct {
    const char* name;
    std::string bytes;
    std::int64_t expected;
    bool intact;  // what is delivered before the fault is found is the data
  } cases[] = {
      {"cut after the header", block.substr(0, 2), size, true},
      {"cut in the middle", block.substr(0, block.size() / 2), size, true},
      {"cut before the checksum", block.substr(0, block.size() - 4), size, true},
      {"a flipped byte", corrupt, size, false},
      {"a wrong checksum", bad_checksum, size, true},
      {"ends early", block, size + 1, true},
      {"runs long", block, size - 1, true},
      {"runs far too long", block, 1000, true},
      {"not zlib at all", std::string(5000, 'x'), size, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryInputFile file(c.bytes);
    const Expanded e = expand(file, 0, static_cast<std::int64_t>(c.bytes.size()), c.expected);
    ASSERT_FALSE(e.result.ok());
    EXPECT_EQ(ErrorCode::kDamaged, e.result.error().code) << e.result.error().message;
    EXPECT_LE(static_cast<std::int64_t>(e.bytes.size()), c.expected);
    EXPECT_TRUE(!c.intact || data.compare(0, e.bytes.size(), e.bytes) == 0);
  }
}

TEST(ExpandBlock, ErrorsOfTheFileAndTheSinkEndIt) {
  const std::string data = mixed_bytes(1024 * 1024, 25);
  const std::string block = block_of(data);
  const auto length = static_cast<std::int64_t>(block.size());

  MemoryInputFile failing(block);
  failing.fail_reads();
  const Expanded e = expand(failing, 0, length, static_cast<std::int64_t>(data.size()));
  ASSERT_FALSE(e.result.ok());
  EXPECT_EQ(ErrorCode::kIo, e.result.error().code);

  MemoryInputFile shrunk(block);
  shrunk.claim_size(length + 10);  // the file no longer reaches the end it claims
  const Expanded s = expand(shrunk, 0, length + 10, static_cast<std::int64_t>(data.size()));
  ASSERT_FALSE(s.result.ok());
  EXPECT_EQ(ErrorCode::kDamaged, s.result.error().code);

  MemoryInputFile file(block);
  int calls = 0;
  const Result<void> refused =
      expand_block(file, 0, length, static_cast<std::int64_t>(data.size()), [&](std::string_view) -> Result<void> {
        if (++calls == 2) return make_error(ErrorCode::kNoSpace, "disk full");
        return {};
      });
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(ErrorCode::kNoSpace, refused.error().code);
  EXPECT_EQ(2, calls);
}

// The sink of stream_package_files sees each file whole and in table order.
class RecordingSink final : public PackageFileSink {
 public:
  Result<void> begin_file(const PackageFile& file) override {
    events += "begin " + file.name + ";";
    files.emplace_back();
    return {};
  }
  Result<void> write(std::string_view bytes) override {
    files.back().append(bytes);
    return {};
  }
  Result<void> end_file() override {
    events += "end;";
    return {};
  }
  std::string events;
  std::vector<std::string> files;
};

TEST(StreamPackageFiles, SplitsTheStreamAtTheTableSizes) {
  const std::vector<std::string> contents = {std::string(1, 'a'), mixed_bytes(kExpandOutputChunk + 5, 27),
                                             std::string(3, 'c'), mixed_bytes(2 * kExpandOutputChunk, 29)};
  std::vector<PackageFile> table;
  std::string data;
  for (std::size_t i = 0; i < contents.size(); ++i) {
    table.push_back({"f" + std::to_string(i), static_cast<std::int32_t>(contents[i].size())});
    data += contents[i];
  }
  MemoryOutputFile out;
  ASSERT_TRUE(write_package(out, FltsimEntry{}, std::nullopt, table, data).ok());
  MemoryInputFile file(out.bytes());
  auto layout = read_package_layout(file);
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  RecordingSink sink;
  const Result<void> streamed = stream_package_files(file, *layout, sink);
  ASSERT_TRUE(streamed.ok()) << streamed.error().message;
  EXPECT_EQ("begin f0;end;begin f1;end;begin f2;end;begin f3;end;", sink.events);
  EXPECT_EQ(contents, sink.files);
}

}  // namespace
}  // namespace pw
