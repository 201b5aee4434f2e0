// The compressed block of a package, written while the files are read: one
// zlib stream (RFC 1950, default level) that any `uncompress` reads, made of
// fixed-size chunks deflated independently on a pool of threads. Each chunk
// is primed with the 32 KiB of data before it, so it compresses nearly as
// well as one long deflate run, and ends with a sync flush (the last one
// with the stream's end), so the pieces join into one stream. The bytes
// depend only on the data: never on the number of threads, nor on how the
// caller splits its writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

inline constexpr std::size_t kBlockChunkSize = 128 * 1024;
inline constexpr std::size_t kBlockDictionarySize = 32 * 1024;

// Each worker holds a deflate state and a few chunks (under 1 MiB), so
// their number is capped: memory stays bounded on any machine, and more
// threads would wait on the disk anyway.
inline constexpr unsigned kMaxCompressionThreads = 4;

// One compression thread per core (std::thread::hardware_concurrency), at
// least one and at most kMaxCompressionThreads.
unsigned default_compression_threads();

class BlockCompressor {
 public:
  // Compresses onto `out` with `threads` worker threads (0 counts as 1,
  // more than kMaxCompressionThreads as that many).
  // When no thread can be started, the calling thread compresses. Only the
  // calling thread ever touches `out`. At most a few chunks per thread are
  // held at any time, so memory does not grow with the data.
  BlockCompressor(OutputFile& out, unsigned threads);
  // Stops the workers. A stream that was not finished stays unfinished.
  ~BlockCompressor();
  BlockCompressor(const BlockCompressor&) = delete;
  BlockCompressor& operator=(const BlockCompressor&) = delete;

  // Adds bytes to the stream; waits while every queue slot is busy. Errors:
  // those of out.write (kNoSpace, kIo), kIo when zlib fails. After an
  // error, this and finish() return that error again.
  Result<void> write(std::string_view bytes);

  // Compresses the last chunk, writes every piece still pending and the
  // Adler-32 of all the data. Errors as write; calling it twice is kIo.
  Result<void> finish();

  // Bytes accepted by write so far.
  std::int64_t bytes_in() const { return bytes_in_; }


 private:
  struct Chunk;
  struct Shared;
  static void work(Shared& shared);
  Result<void> write_data(std::string_view bytes);
  Result<void> submit(bool last);
  // Writes finished chunks, oldest first, waiting for the oldest while more
  // than `keep` chunks are outstanding.
  Result<void> emit_ready(std::size_t keep);
  Result<void> emit(Chunk& chunk);
  std::unique_ptr<Chunk> fresh_chunk();

  OutputFile& out_;
  std::unique_ptr<Shared> shared_;
  std::vector<std::thread> workers_;
  std::deque<std::unique_ptr<Chunk>> outstanding_;  // submitted, oldest first
  std::vector<std::unique_ptr<Chunk>> spare_;       // recycled buffers
  std::unique_ptr<Chunk> filling_;
  std::string tail_;  // the last kBlockDictionarySize bytes submitted
  std::size_t max_outstanding_ = 1;
  std::uint32_t adler_ = 1;  // Adler-32 of the bytes written out so far
  std::int64_t bytes_in_ = 0;
  bool header_written_ = false;
  bool finished_ = false;
  std::optional<Error> error_;
};

}  // namespace pw
