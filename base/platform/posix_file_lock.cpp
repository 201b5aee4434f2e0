#include "base/platform/file_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pw {
namespace {

class PosixFileLock final : public FileLock {
 public:
  explicit PosixFileLock(int fd) : fd_(fd) {}
  ~PosixFileLock() override { ::close(fd_); }  // closing the description drops its lock
  PosixFileLock(const PosixFileLock&) = delete;
  PosixFileLock& operator=(const PosixFileLock&) = delete;

 private:
  int fd_;
};

Error lock_error(const char* what, const std::string& native, int err) {
  const ErrorCode code = err == ENOENT ? ErrorCode::kNotFound
                         : err == EACCES || err == EPERM || err == EROFS ? ErrorCode::kAccessDenied
                                                                        : ErrorCode::kIo;
  return make_error(code, std::string(what) + " " + native + ": " + std::strerror(err));
}

}  // namespace

Result<std::unique_ptr<FileLock>> try_lock_file(FileSystem& fs, const std::string& path) {
  const std::string native = fs.native_path(path);
  const int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return lock_error("cannot open the lock file", native, errno);
  // An open-file-description lock belongs to this open, not to the process:
  // a second open in the same process is refused as another process is.
  struct flock whole = {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  if (::fcntl(fd, F_OFD_SETLK, &whole) == 0) return std::unique_ptr<FileLock>(std::make_unique<PosixFileLock>(fd));
  const int err = errno;
  ::close(fd);
  if (err == EAGAIN || err == EACCES) return std::unique_ptr<FileLock>();
  return lock_error("cannot lock", native, err);
}

}  // namespace pw
