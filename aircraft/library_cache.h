// The library's cache file: the aircraft with the stamps of their
// aircraft.cfg files and their entries, field by field, closed by a
// checksum so that a file cut short or changed on disk is noticed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "aircraft/library_index.h"
#include "base/result.h"

namespace pw {

// The cache's bytes.
std::string write_library_cache(const std::vector<LibraryAircraft>& aircraft);

// The aircraft of a cache. Errors (kRefused): anything that is not exactly
// what write_library_cache writes (wrong head or checksum, a count or length
// beyond its cap or the bytes left, bytes after the end).
Result<std::vector<LibraryAircraft>> read_library_cache(std::string_view bytes);

// FNV-1a of the bytes: enough to notice a torn or damaged file, which is
// all the cache's checksum is for; it also names each root's cache.
std::uint64_t fnv1a_64(std::string_view bytes);

// Caches larger than this are not read.
inline constexpr std::int64_t kMaxLibraryCacheBytes = std::int64_t{512} << 20;

}  // namespace pw
