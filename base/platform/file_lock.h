// An exclusive lock on a file, held through the handle that opened it: the
// system drops it when that handle closes, so a holder that crashes leaves
// no lock behind. Not flock: under Wine a LockFileEx holder does not
// exclude it.
#pragma once

#include <memory>
#include <string>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

class FileLock {
 public:
  virtual ~FileLock() = default;  // unlocks and closes the handle; the file stays
};

// Opens the file at `path` (a core path; an empty file is made when it is
// missing, and it stays) and locks it whole for this handle alone, without
// waiting. A null lock means another handle holds it, in this process or
// another. Errors: those of creating the file (kNotFound, kAccessDenied,
// kIo) or of the lock call itself.
Result<std::unique_ptr<FileLock>> try_lock_file(FileSystem& fs, const std::string& path);

}  // namespace pw
