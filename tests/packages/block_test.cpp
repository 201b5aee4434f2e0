// The compressed block: written by BlockCompressor on a pool of threads,
// read back a piece at a time by expand_block.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>

#include "packages/block_compressor.h"
#include "packages/block_expander.h"
#include "tests/packages/memory_files.h"
#include "tests/packages/mixed_data.h"

namespace pw {
namespace {

using testing::MemoryInputFile;
using testing::MemoryOutputFile;
using testing::mixed_bytes;
using testing::random_bytes;
using testing::repeated_bytes;

// The block for `data`, written in pieces of `piece` bytes (0: in one go).
std::string compress_block(const std::string& data, unsigned threads, std::size_t piece = 0) {
  MemoryOutputFile out;
  BlockCompressor block(out, threads);
  const std::size_t step = piece == 0 ? data.size() : piece;
  for (std::size_t at = 0; at < data.size(); at += step) {
    EXPECT_TRUE(block.write(std::string_view(data).substr(at, step)).ok());
  }
  const Result<void> finished = block.finish();
  EXPECT_TRUE(finished.ok()) << (finished.ok() ? "" : finished.error().message);
  EXPECT_EQ(static_cast<std::int64_t>(data.size()), block.bytes_in());
  return out.bytes();
}

// What zlib's plain uncompress, which checks the Adler-32 trailer, makes of
// the block; "<error N>" on failure.
std::string plain_uncompress(const std::string& block, std::size_t expected) {
  std::string out(expected + 1, '\0');  // room for one byte too many
  uLongf length = static_cast<uLongf>(out.size());
  const int code = uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                              reinterpret_cast<const Bytef*>(block.data()), static_cast<uLong>(block.size()));
  if (code != Z_OK) return "<error " + std::to_string(code) + ">";
  out.resize(length);
  return out;
}

TEST(BlockCompressor, SameBytesWithOneTwoOrEightThreadsAndPlainUncompressReadsThem) {
  const std::string data = mixed_bytes(3 * 1024 * 1024 + 12345, 7);
  const std::string one = compress_block(data, 1);
  EXPECT_EQ(one, compress_block(data, 2));
  EXPECT_EQ(one, compress_block(data, 8));
  EXPECT_EQ(data, plain_uncompress(one, data.size()));
  EXPECT_EQ("\x78\x9c", one.substr(0, 2));  // the header compress writes at the default level
  // Nor does it matter how the caller splits its writes.
  for (const std::size_t piece : {std::size_t{1000}, std::size_t{65537}, kBlockChunkSize, kBlockChunkSize + 1}) {
    SCOPED_TRACE(piece);
    EXPECT_EQ(one, compress_block(data, 2, piece));
  }
}

TEST(BlockCompressor, EverySizeAroundTheChunkEdgesRoundTrips) {
  const std::string source = random_bytes(3 * kBlockChunkSize + 10, 11);
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, kBlockDictionarySize - 1, kBlockChunkSize - 1,
                                 kBlockChunkSize, kBlockChunkSize + 1, 2 * kBlockChunkSize, 3 * kBlockChunkSize + 10}) {
    SCOPED_TRACE(size);
    const std::string data = source.substr(0, size);
    const std::string block = compress_block(data, 2);
    EXPECT_EQ(data, plain_uncompress(block, data.size()));
    EXPECT_EQ(block, compress_block(data, 1));
  }
}

struct Expanded { Result<void> result; std::string bytes; std::size_t largest_piece = 0; };

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
  const auto size = static_cast<std::int64_t>(data.size());
  const std::string prefix(777, 'h');
  const std::string block = compress_block(data, 2);
  MemoryInputFile file(prefix + block);
  const Expanded e = expand(file, 777, static_cast<std::int64_t>(block.size()), size);
  ASSERT_TRUE(e.result.ok()) << e.result.error().message;
  EXPECT_EQ(data, e.bytes);
  EXPECT_LE(e.largest_piece, kExpandOutputChunk);
  EXPECT_LE(file.largest_request(), kExpandInputChunk);

  // Short reads are joined; bytes after the stream are never needed.
  MemoryInputFile trickling(prefix + block + "trailing junk");
  trickling.limit_reads_to(5);
  const Expanded t = expand(trickling, 777, static_cast<std::int64_t>(block.size()) + 13, size);
  ASSERT_TRUE(t.result.ok()) << t.result.error().message;
  EXPECT_EQ(data, t.bytes);
}

TEST(ExpandBlock, ErrorsOfTheFileAndTheSinkEndIt) {
  const std::string data = mixed_bytes(1024 * 1024, 25);
  const std::string block = compress_block(data, 2);
  const auto length = static_cast<std::int64_t>(block.size());
  const auto size = static_cast<std::int64_t>(data.size());

  MemoryInputFile failing(block);
  failing.fail_reads();
  const Expanded e = expand(failing, 0, length, size);
  ASSERT_FALSE(e.result.ok());
  EXPECT_EQ(ErrorCode::kIo, e.result.error().code);

  MemoryInputFile shrunk(block);
  shrunk.claim_size(length + 10);  // the file no longer reaches the end it claims
  const Expanded s = expand(shrunk, 0, length + 10, size);
  ASSERT_FALSE(s.result.ok());
  EXPECT_EQ(ErrorCode::kDamaged, s.result.error().code);

  MemoryInputFile file(block);
  int calls = 0;
  const Result<void> refused = expand_block(file, 0, length, size, [&](std::string_view) -> Result<void> {
    if (++calls == 2) return make_error(ErrorCode::kNoSpace, "disk full");
    return {};
  });
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(ErrorCode::kNoSpace, refused.error().code);
  EXPECT_EQ(2, calls);
}

}  // namespace
}  // namespace pw
