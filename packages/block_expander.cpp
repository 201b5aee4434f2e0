#include "packages/block_expander.h"

#include <zlib.h>

#include <algorithm>
#include <span>
#include <string>

namespace pw {
namespace {

Error damaged(const std::string& what) { return make_error(ErrorCode::kDamaged, "package is damaged: " + what); }

// One inflate state for one stream, ended whatever way the expansion ends.
class Inflater {
 public:
  Inflater() { ok_ = inflateInit(&z_) == Z_OK; }
  ~Inflater() {
    if (ok_) inflateEnd(&z_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  bool ok() const { return ok_; }
  z_stream& stream() { return z_; }

 private:
  z_stream z_{};
  bool ok_ = false;
};

// The next piece of the block, where inflate wants it; 0 bytes once the
// block's range is used up.
Result<std::size_t> refill(InputFile& file, std::int64_t& at, std::int64_t end, std::string& buffer) {
  if (at >= end) return std::size_t{0};
  const auto room = static_cast<std::int64_t>(buffer.size());
  const auto want = static_cast<std::size_t>(std::min<std::int64_t>(end - at, room));
  Result<std::size_t> got = file.read_at(at, std::span<char>(buffer.data(), want));
  if (!got) return got.error();
  if (*got == 0) return damaged("the compressed block runs past the end of the file");
  at += static_cast<std::int64_t>(*got);
  return got;
}

std::string zlib_message(int code, const z_stream& z) {
  return "the compressed block does not expand (zlib error " + std::to_string(code) +
         (z.msg != nullptr ? std::string(": ") + z.msg : std::string()) + ")";
}

// After the stream's end: the bytes after it are not needed, but a file
// that no longer reaches the end it claimed has changed under us; and the
// stream must have given the whole total.
Result<void> check_complete(InputFile& file, std::int64_t at, std::int64_t end, std::int64_t produced,
                            std::int64_t expected) {
  if (at < end) {
    char last = 0;
    Result<std::size_t> got = file.read_at(end - 1, std::span<char>(&last, 1));
    if (!got) return got.error();
    if (*got == 0) return damaged("the compressed block runs past the end of the file");
  }
  if (produced != expected) {
    return damaged("the compressed block expands to " + std::to_string(produced) + " bytes, the file table says " +
                   std::to_string(expected));
  }
  return {};
}

}  // namespace

Result<void> expand_block(InputFile& file, std::int64_t offset, std::int64_t length, std::int64_t expected,
                          const ExpandSink& sink) {
  Inflater inflater;
  if (!inflater.ok()) return make_error(ErrorCode::kIo, "out of memory while expanding the package");
  z_stream& z = inflater.stream();
  std::string in(kExpandInputChunk, '\0');
  std::string out(kExpandOutputChunk, '\0');
  std::int64_t at = offset;
  const std::int64_t end = offset + length;
  std::int64_t produced = 0;
  while (true) {
    if (z.avail_in == 0) {
      Result<std::size_t> got = refill(file, at, end, in);
      if (!got) return got.error();
      z.next_in = reinterpret_cast<Bytef*>(in.data());
      z.avail_in = static_cast<uInt>(*got);
    }
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int code = inflate(&z, Z_NO_FLUSH);
    if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR) return damaged(zlib_message(code, z));
    const auto piece = static_cast<std::int64_t>(out.size() - z.avail_out);
    if (piece > expected - produced) {
      return damaged("the compressed block expands to more than the " + std::to_string(expected) +
                     " bytes of the file table");
    }
    if (piece > 0) PW_TRY(sink(std::string_view(out.data(), static_cast<std::size_t>(piece))));
    produced += piece;
    if (code == Z_STREAM_END) break;
    // No progress possible: the input is used up and the stream goes on.
    if (code == Z_BUF_ERROR && z.avail_in == 0 && at >= end) {
      return damaged("the compressed block ends before its stream does");
    }
  }
  return check_complete(file, at, end, produced, expected);
}

}  // namespace pw
