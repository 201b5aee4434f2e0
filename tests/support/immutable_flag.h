// Marks a file immutable (chattr +i) for as long as the object lives. Only
// the superuser may, only on Linux file systems that keep the flag; ok()
// tells whether it took, so a test can skip where the machine cannot.
#pragma once

#if defined(__linux__)
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <filesystem>

namespace pw::test {

class ImmutableFlag {
 public:
  explicit ImmutableFlag(const std::filesystem::path& file) : file_(file) { ok_ = change(true); }
  ~ImmutableFlag() {
    if (ok_) change(false);
  }
  ImmutableFlag(const ImmutableFlag&) = delete;
  ImmutableFlag& operator=(const ImmutableFlag&) = delete;

  bool ok() const { return ok_; }

 private:
#if defined(__linux__)
  bool change(bool on) {
    const int fd = ::open(file_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
  }
#else
  bool change(bool) { return false; }  // no such flag elsewhere: ok() is false
#endif

  std::filesystem::path file_;
  bool ok_ = false;
};

}  // namespace pw::test
