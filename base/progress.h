// Progress of the long operations (create, install, remove), reported to
// whoever shows it: the command line's progress line, the desktop screens.
// The core only counts; it never draws.
#pragma once

#include <cstdint>
#include <functional>

namespace pw {

// Called with what is done so far and the whole amount (bytes read, bytes
// written or steps, as the operation says). Within one operation `total`
// stays the same and `done` never goes down; the last call has done ==
// total when the operation completes. Runs on the operation's thread.
using ProgressFn = std::function<void(std::int64_t done, std::int64_t total)>;

// Calls `progress` when one is set.
inline void report_progress(const ProgressFn& progress, std::int64_t done, std::int64_t total) {
  if (progress) progress(done, total);
}

}  // namespace pw
