#include "packages/block_compressor.h"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

namespace pw {
namespace {

// Raw deflate for the pieces: the zlib header and trailer are written once,
// around all of them.
constexpr int kRawWindowBits = -15;
constexpr int kMemLevel = 8;  // zlib's default, as compress uses
// The header compress writes for a 32 KiB window at the default level.
constexpr std::string_view kZlibHeader = "\x78\x9c";
// A sync flush adds an empty stored block beyond what deflateBound counts.
constexpr std::size_t kFlushSlack = 64;
// Chunks queued, being compressed or waiting to be written, per worker:
// enough to keep every core busy while the caller reads or writes.
constexpr std::size_t kChunksPerWorker = 2;

const Bytef* as_bytes(const std::string& s) { return reinterpret_cast<const Bytef*>(s.data()); }

Error zlib_error(int code) {
  return make_error(ErrorCode::kIo, "could not compress the package's files (zlib error " + std::to_string(code) + ")");
}

// One deflate state, reset for every chunk.
class Deflater {
 public:
  Deflater() {
    ok_ = deflateInit2(&z_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kRawWindowBits, kMemLevel, Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~Deflater() {
    if (ok_) deflateEnd(&z_);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Deflates `input` primed with `dictionary` into `output`; zlib's code.
  int run(const std::string& input, const std::string& dictionary, bool last, std::string& output) {
    if (!ok_) return Z_MEM_ERROR;
    if (const int code = deflateReset(&z_); code != Z_OK) return code;
    if (!dictionary.empty()) {
      const int code = deflateSetDictionary(&z_, as_bytes(dictionary), static_cast<uInt>(dictionary.size()));
      if (code != Z_OK) return code;
    }
    z_.next_in = const_cast<Bytef*>(as_bytes(input));  // zlib does not write through it
    z_.avail_in = static_cast<uInt>(input.size());
    output.resize(deflateBound(&z_, static_cast<uLong>(input.size())) + kFlushSlack);
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    std::size_t produced = 0;
    while (true) {
      z_.next_out = reinterpret_cast<Bytef*>(output.data() + produced);
      z_.avail_out = static_cast<uInt>(output.size() - produced);
      const int code = deflate(&z_, flush);
      produced = output.size() - z_.avail_out;
      if (code == Z_STREAM_ERROR) return code;
      // A flush is complete once deflate leaves room unused.
      const bool complete = last ? code == Z_STREAM_END : z_.avail_out != 0;
      if (complete) break;
      output.resize(output.size() * 2);
    }
    output.resize(produced);
    return Z_OK;
  }

 private:
  z_stream z_{};
  bool ok_ = false;
};

}  // namespace

struct BlockCompressor::Chunk {
  std::string input;
  std::string dictionary;  // the data just before input, at most 32 KiB
  bool last = false;
  // Filled by the worker.
  std::string output;
  std::uint32_t adler = 1;
  int code = Z_OK;
  bool done = false;  // guarded by Shared::mutex once submitted

  void compress(Deflater& deflater) {
    adler = static_cast<std::uint32_t>(adler32(1, as_bytes(input), static_cast<uInt>(input.size())));
    code = deflater.run(input, dictionary, last, output);
  }
};

struct BlockCompressor::Shared {
  std::mutex mutex;
  std::condition_variable work_ready;
  std::condition_variable chunk_done;
  std::deque<Chunk*> waiting;  // submitted, not yet taken by a worker
  bool stopping = false;
  std::unique_ptr<Deflater> own_deflater;  // for the calling thread when no worker started
};

unsigned default_compression_threads() {
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxCompressionThreads);
}

void BlockCompressor::work(Shared& shared) {
  Deflater deflater;
  while (true) {
    Chunk* chunk = nullptr;
    {
      std::unique_lock lock(shared.mutex);
      shared.work_ready.wait(lock, [&] { return shared.stopping || !shared.waiting.empty(); });
      if (shared.stopping) return;
      chunk = shared.waiting.front();
      shared.waiting.pop_front();
    }
    chunk->compress(deflater);
    {
      std::lock_guard lock(shared.mutex);
      chunk->done = true;
    }
    shared.chunk_done.notify_one();  // there is one waiter: the writing thread
  }
}

BlockCompressor::BlockCompressor(OutputFile& out, unsigned threads)
    : out_(out), shared_(std::make_unique<Shared>()) {
  threads = std::clamp(threads, 1u, kMaxCompressionThreads);
  for (unsigned i = 0; i < threads; ++i) {
    try {
      workers_.emplace_back(work, std::ref(*shared_));
    } catch (const std::system_error&) {
      break;  // fewer workers, or none: submit then compresses in place
    }
  }
  max_outstanding_ = std::max<std::size_t>(1, workers_.size() * kChunksPerWorker);
  filling_ = fresh_chunk();
}

BlockCompressor::~BlockCompressor() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
  }
  shared_->work_ready.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

std::unique_ptr<BlockCompressor::Chunk> BlockCompressor::fresh_chunk() {
  std::unique_ptr<Chunk> chunk;
  if (spare_.empty()) {
    chunk = std::make_unique<Chunk>();
    chunk->input.reserve(kBlockChunkSize);
  } else {
    chunk = std::move(spare_.back());
    spare_.pop_back();
    chunk->input.clear();
  }
  chunk->last = false;
  chunk->done = false;
  return chunk;
}

Result<void> BlockCompressor::write(std::string_view bytes) {
  if (error_) return *error_;
  if (finished_) return make_error(ErrorCode::kIo, "the compressed block is already finished");
  Result<void> written = write_data(bytes);
  if (!written) error_ = written.error();
  return written;
}

Result<void> BlockCompressor::write_data(std::string_view bytes) {
  bytes_in_ += static_cast<std::int64_t>(bytes.size());
  while (!bytes.empty()) {
    // A full chunk goes only once more data follows: the last chunk must
    // end the stream, and only finish() knows which one that is.
    if (filling_->input.size() == kBlockChunkSize) PW_TRY(submit(false));
    const std::size_t take = std::min(bytes.size(), kBlockChunkSize - filling_->input.size());
    filling_->input.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
  }
  return emit_ready(max_outstanding_);
}

Result<void> BlockCompressor::finish() {
  if (error_) return *error_;
  if (finished_) return make_error(ErrorCode::kIo, "the compressed block is already finished");
  finished_ = true;
  Result<void> done = submit(true);
  if (done) done = emit_ready(0);
  if (done) {
    const char trailer[4] = {static_cast<char>(adler_ >> 24), static_cast<char>(adler_ >> 16),
                             static_cast<char>(adler_ >> 8), static_cast<char>(adler_)};
    done = out_.write(std::string_view(trailer, sizeof trailer));
  }
  if (!done) error_ = done.error();
  return done;
}

Result<void> BlockCompressor::submit(bool last) {
  std::unique_ptr<Chunk> chunk = std::exchange(filling_, fresh_chunk());
  chunk->last = last;
  chunk->dictionary = tail_;
  const std::string& input = chunk->input;
  if (input.size() >= kBlockDictionarySize) {
    tail_.assign(input, input.size() - kBlockDictionarySize);
  } else {
    tail_ += input;
    if (tail_.size() > kBlockDictionarySize) tail_.erase(0, tail_.size() - kBlockDictionarySize);
  }
  Chunk* raw = chunk.get();
  outstanding_.push_back(std::move(chunk));
  if (workers_.empty()) {
    if (!shared_->own_deflater) shared_->own_deflater = std::make_unique<Deflater>();
    raw->compress(*shared_->own_deflater);
    raw->done = true;
  } else {
    {
      std::lock_guard lock(shared_->mutex);
      shared_->waiting.push_back(raw);
    }
    shared_->work_ready.notify_one();
  }
  return emit_ready(max_outstanding_);
}

Result<void> BlockCompressor::emit_ready(std::size_t keep) {
  while (!outstanding_.empty()) {
    Chunk& oldest = *outstanding_.front();
    {
      std::unique_lock lock(shared_->mutex);
      if (!oldest.done) {
        if (outstanding_.size() <= keep) return {};
        shared_->chunk_done.wait(lock, [&] { return oldest.done; });
      }
    }
    PW_TRY(emit(oldest));
    spare_.push_back(std::move(outstanding_.front()));
    outstanding_.pop_front();
  }
  return {};
}

Result<void> BlockCompressor::emit(Chunk& chunk) {
  if (chunk.code != Z_OK) return zlib_error(chunk.code);
  if (!header_written_) {
    PW_TRY(out_.write(kZlibHeader));
    header_written_ = true;
  }
  PW_TRY(out_.write(chunk.output));
  adler_ = static_cast<std::uint32_t>(adler32_combine(adler_, chunk.adler, static_cast<z_off_t>(chunk.input.size())));
  return {};
}

}  // namespace pw
