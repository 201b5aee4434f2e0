// Expanding a package's compressed block straight from the package file, a
// fixed-size piece at a time, so that memory does not grow with the package.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

inline constexpr std::size_t kExpandInputChunk = 64 * 1024;
inline constexpr std::size_t kExpandOutputChunk = 256 * 1024;

// Receives the expanded bytes in order, at most kExpandOutputChunk at a
// time; the view is valid during the call only.
using ExpandSink = std::function<Result<void>(std::string_view bytes)>;

// Inflates the zlib stream that starts at `offset` of `file` and may run up
// to `offset + length`; bytes after the stream's end are ignored. The
// stream must expand to exactly `expected` bytes. kDamaged when it is
// corrupt (its checksum included), when the file ends before the stream
// does or before `offset + length`, when the stream ends short of
// `expected`, or when it would give more: the
// sink never sees a byte beyond `expected`. Errors of file.read_at and of
// the sink are passed on; the first error ends the expansion.
Result<void> expand_block(InputFile& file, std::int64_t offset, std::int64_t length, std::int64_t expected,
                          const ExpandSink& sink);

}  // namespace pw
