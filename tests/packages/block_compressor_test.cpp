#include "packages/block_compressor.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "tests/packages/memory_files.h"
#include "tests/packages/mixed_data.h"

namespace pw {
namespace {

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
    const Result<void> written = block.write(std::string_view(data).substr(at, step));
    EXPECT_TRUE(written.ok());
  }
  const Result<void> finished = block.finish();
  EXPECT_TRUE(finished.ok()) << (finished.ok() ? "" : finished.error().message);
  EXPECT_EQ(static_cast<std::int64_t>(data.size()), block.bytes_in());
  return out.bytes();
}

// What zlib's plain uncompress makes of the block; "<error N>" on failure.
std::string plain_uncompress(const std::string& block, std::size_t expected) {
  std::string out(expected + 1, '\0');  // room for one byte too many
  uLongf length = static_cast<uLongf>(out.size());
  const int code = uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                              reinterpret_cast<const Bytef*>(block.data()), static_cast<uLong>(block.size()));
  if (code != Z_OK) return "<error " + std::to_string(code) + ">";
  out.resize(length);
  return out;
}

std::size_t compress_size(const std::string& data) {
  uLongf length = compressBound(static_cast<uLong>(data.size()));
  std::string out(length, '\0');
  EXPECT_EQ(Z_OK, compress(reinterpret_cast<Bytef*>(out.data()), &length,
                           reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size())));
  return length;
}

TEST(BlockCompressor, SameBytesWithOneTwoOrEightThreadsAndPlainUncompressReadsThem) {
  const std::string data = mixed_bytes(3 * 1024 * 1024 + 12345, 7);
  const std::string one = compress_block(data, 1);
  EXPECT_EQ(one, compress_block(data, 2));
  EXPECT_EQ(one, compress_block(data, 8));
  EXPECT_EQ(data, plain_uncompress(one, data.size()));
  // The header compress writes at the default level, and the checksum of
  // all the data, big-endian, as the trailer.
  EXPECT_EQ("\x78\x9c", one.substr(0, 2));
  const auto adler = static_cast<std::uint32_t>(
      adler32(1, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
  const std::string trailer = one.substr(one.size() - 4);
  EXPECT_EQ(adler, static_cast<std::uint32_t>(static_cast<unsigned char>(trailer[0])) << 24 |
                       static_cast<std::uint32_t>(static_cast<unsigned char>(trailer[1])) << 16 |
                       static_cast<std::uint32_t>(static_cast<unsigned char>(trailer[2])) << 8 |
                       static_cast<unsigned char>(trailer[3]));
}

TEST(BlockCompressor, HowTheCallerSplitsItsWritesChangesNothing) {
  const std::string data = mixed_bytes(kBlockChunkSize * 3 + 999, 3);
  const std::string whole = compress_block(data, 2);
  for (const std::size_t piece : {std::size_t{1000}, std::size_t{65537}, kBlockChunkSize, kBlockChunkSize + 1}) {
    SCOPED_TRACE(piece);
    EXPECT_EQ(whole, compress_block(data, 2, piece));
  }
}

TEST(BlockCompressor, EverySizeAroundTheChunkEdgesRoundTrips) {
  const std::string source = random_bytes(3 * kBlockChunkSize + 10, 11);
  const struct {
    const char* name;
    std::size_t size;
  } cases[] = {
      {"empty", 0},
      {"one byte", 1},
      {"under the dictionary", kBlockDictionarySize - 1},
      {"one short of a chunk", kBlockChunkSize - 1},
      {"exactly one chunk", kBlockChunkSize},
      {"one past a chunk", kBlockChunkSize + 1},
      {"exactly two chunks", 2 * kBlockChunkSize},
      {"three chunks and some", 3 * kBlockChunkSize + 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string data = source.substr(0, c.size);
    const std::string block = compress_block(data, 2);
    EXPECT_EQ(data, plain_uncompress(block, data.size()));
    EXPECT_EQ(block, compress_block(data, 1));
  }
}

// Each chunk is primed with the data before it, so a pattern repeating
// across chunk edges costs almost nothing more than in one deflate run.
// Without the priming every chunk would pay for the pattern again.
TEST(BlockCompressor, ChunksSeeTheDataBeforeThem) {
  const std::string data = repeated_bytes(40 * kBlockChunkSize, 20000, 5);
  const std::size_t ours = compress_block(data, 2).size();
  const std::size_t single_run = compress_size(data);
  EXPECT_LT(ours, single_run + 40 * 600) << "single run: " << single_run;

  const std::string mixed = mixed_bytes(4 * 1024 * 1024, 9);
  EXPECT_LT(compress_block(mixed, 2).size(), compress_size(mixed) * 102 / 100);
}

// Memory stays bounded because pieces are written as they complete, not
// held until the end.
TEST(BlockCompressor, WritesPiecesBeforeTheEnd) {
  const std::string data = random_bytes(40 * kBlockChunkSize, 13);
  MemoryOutputFile out;
  BlockCompressor block(out, 2);
  ASSERT_TRUE(block.write(data).ok());
  const std::size_t before_finish = out.bytes().size();
  ASSERT_TRUE(block.finish().ok());
  EXPECT_GT(before_finish, out.bytes().size() * 8 / 10);
  EXPECT_EQ(data, plain_uncompress(out.bytes(), data.size()));
}

TEST(BlockCompressor, AFailingWriteIsReportedAndSticks) {
  const std::string data = random_bytes(6 * kBlockChunkSize, 17);
  for (int failing = 0; failing < 5; ++failing) {
    SCOPED_TRACE(failing);
    MemoryOutputFile out;
    out.fail_write(failing);
    BlockCompressor block(out, 2);
    Result<void> result = block.write(data);
    if (result.ok()) result = block.finish();
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(ErrorCode::kNoSpace, result.error().code);
    const Result<void> again = block.finish();
    ASSERT_FALSE(again.ok());
    EXPECT_EQ(ErrorCode::kNoSpace, again.error().code);
  }
  MemoryOutputFile out;
  BlockCompressor block(out, 2);
  ASSERT_TRUE(block.finish().ok());
  EXPECT_FALSE(block.write("late").ok());
  EXPECT_FALSE(block.finish().ok());
}

TEST(BlockCompressor, AnUnfinishedCompressorStopsCleanly) {
  const std::string data = random_bytes(10 * kBlockChunkSize, 19);
  for (const unsigned threads : {1u, 2u, 8u}) {
    SCOPED_TRACE(threads);
    MemoryOutputFile out;
    {
      BlockCompressor block(out, threads);
      ASSERT_TRUE(block.write(data).ok());
    }  // abandoned mid-stream: the workers must still stop
    EXPECT_EQ('<', plain_uncompress(out.bytes(), data.size())[0]);  // no stream end was written
  }
}

}  // namespace
}  // namespace pw
