// The file layer on POSIX systems. Core paths are Windows-1252 texts; native
// names are UTF-8, and because the simulator's own platform ignores letter
// case, every existing component is looked up whatever its case.
#include "base/platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/text.h"

// The immutable and append-only flags are read by ioctl on Linux; BSD and
// macOS carry them in struct stat.
#if __has_include(<linux/fs.h>)
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

namespace pw {
namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

ErrorCode code_of(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return ErrorCode::kNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:  // what the simulator's platform says for a folder opened as a file
      return ErrorCode::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
      return ErrorCode::kNoSpace;
    case EEXIST:
      return ErrorCode::kExists;
    default:
      return ErrorCode::kIo;
  }
}

Error os_error(const std::string& what, const std::string& native, int err) {
  return make_error(code_of(err), what + " " + native + ": " + std::strerror(err));
}

std::string join_native(const std::string& base, const std::string& name) {
  if (base.empty()) return name;
  if (base.back() == '/') return base + name;
  return base + '/' + name;
}

bool name_exists(const std::string& native) {
  struct stat st;
  return ::lstat(native.c_str(), &st) == 0;
}

// The name in `folder` equal to `name` (Windows-1252) when case is ignored;
// empty when there is none. Among several, the lowest sorting one, so the
// choice does not depend on the listing order.
std::string find_ignoring_case(const std::string& folder, std::string_view name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return {};
  std::string found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string disk = entry->d_name;
    if (!iequals(utf8_to_cp1252(disk), name)) continue;
    if (found.empty() || disk < found) found = disk;
  }
  ::closedir(dir);
  return found;
}

// The native path of a core path. Each component is taken as written when
// that name exists, else as the existing name that differs only in case;
// once a component is missing the rest cannot exist and is taken as
// written. With `match_last` false the last component is always taken as
// written.
std::vector<std::string> path_components(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && !is_separator(path[i])) continue;
    if (i > start) parts.emplace_back(path.substr(start, i - start));
    start = i + 1;
  }
  return parts;
}

std::string root_of(std::string_view path) { return !path.empty() && is_separator(path[0]) ? "/" : ""; }

// The native path with every component as written.
std::string as_written(std::string_view path) {
  std::string native = root_of(path);
  for (const std::string& part : path_components(path)) native = join_native(native, cp1252_to_utf8(part));
  return native;
}

std::string resolve(std::string_view path, bool match_last = true) {
  const std::vector<std::string> parts = path_components(path);
  std::string native = root_of(path);
  if (match_last) {
    // The common case in one call: a path that exists as written has every
    // component as written, since the system walked each of them.
    std::string exact = as_written(path);
    if (name_exists(exact)) return exact;
  }
  bool parent_exists = true;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string exact = cp1252_to_utf8(parts[i]);
    const bool may_match = parent_exists && (match_last || i + 1 < parts.size());
    if (!may_match || name_exists(join_native(native, exact))) {
      native = join_native(native, exact);
      continue;
    }
    std::string other = find_ignoring_case(native, parts[i]);
    parent_exists = !other.empty();
    native = join_native(native, parent_exists ? other : exact);
  }
  return native;
}

// Immutable and append-only files cannot be replaced or emptied, not even
// by the superuser. Unknown when the flags cannot be read: the call itself
// then decides.
bool has_protecting_flags([[maybe_unused]] const std::string& native, [[maybe_unused]] bool follow,
                          [[maybe_unused]] const struct stat& st) {
#if defined(FS_IOC_GETFLAGS)
  const int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
  if (fd < 0) return false;
  int flags = 0;
  const bool known = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  ::close(fd);
  return known && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
#elif defined(UF_IMMUTABLE)
  return (st.st_flags & (UF_IMMUTABLE | UF_APPEND | SF_IMMUTABLE | SF_APPEND)) != 0;
#else
  return false;
#endif
}

// Why an existing regular file must not be replaced or emptied; empty when
// it may be. The simulator's platform refuses to overwrite a read-only
// file, while POSIX lets a rename replace one and lets the superuser write
// anything, which would turn a protected Aircraft.cfg into a silent loss.
std::string write_protection(const std::string& native, bool follow) {
  struct stat st;
  const int found = follow ? ::stat(native.c_str(), &st) : ::lstat(native.c_str(), &st);
  if (found != 0 || !S_ISREG(st.st_mode)) return {};
  if ((st.st_mode & S_IWUSR) == 0) return "the file is read-only";
  if (has_protecting_flags(native, follow, st)) return "the file is immutable or append-only";
  return {};
}

Error refused_write(const std::string& what, const std::string& why) {
  return make_error(ErrorCode::kAccessDenied, what + ": " + why);
}

bool has_nul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

Result<std::string> to_native(const std::string& path) {
  if (has_nul(path)) return make_error(ErrorCode::kRefused, "path holds a NUL byte: " + resolve(path));
  return resolve(path);
}

// Where a rename puts `to`. Naming the source again in another case must
// change its case, not find the source itself as the target.
std::string rename_target(const std::string& native_from, const std::string& to) {
  std::string native_to = resolve(to);
  if (native_to == native_from) native_to = resolve(to, false);
  return native_to;
}

class PosixInputFile final : public InputFile {
 public:
  PosixInputFile(int fd, std::int64_t size, std::string native)
      : fd_(fd), size_(size), native_(std::move(native)) {}
  ~PosixInputFile() override { ::close(fd_); }
  PosixInputFile(const PosixInputFile&) = delete;
  PosixInputFile& operator=(const PosixInputFile&) = delete;

  std::int64_t size() const override { return size_; }

  Result<std::size_t> read_at(std::int64_t offset, std::span<char> out) override {
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done,
                                static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return os_error("cannot read", native_, errno);
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

 private:
  int fd_;
  std::int64_t size_;
  std::string native_;
};

class PosixOutputFile final : public OutputFile {
 public:
  PosixOutputFile(int fd, std::string native) : fd_(fd), native_(std::move(native)) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixOutputFile(const PosixOutputFile&) = delete;
  PosixOutputFile& operator=(const PosixOutputFile&) = delete;

  Result<void> write(std::string_view bytes) override {
    if (fd_ < 0) return closed_error();
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return os_error("cannot write", native_, errno);
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
  }

  Result<void> sync() override {
    if (fd_ < 0) return closed_error();
    if (::fsync(fd_) != 0) return os_error("cannot sync", native_, errno);
    return {};
  }

  Result<void> close() override {
    if (fd_ < 0) return closed_error();
    const int fd = fd_;
    fd_ = -1;  // released even when close fails: retrying could close another file
    if (::close(fd) != 0) return os_error("cannot close", native_, errno);
    return {};
  }

 private:
  Error closed_error() const { return make_error(ErrorCode::kIo, "file already closed: " + native_); }

  int fd_;
  std::string native_;
};

Result<std::unique_ptr<OutputFile>> open_output(const Result<std::string>& native, int flags) {
  if (!native) return native.error();
  const int fd = ::open(native->c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666);
  if (fd < 0) return os_error("cannot create", *native, errno);
  return std::unique_ptr<OutputFile>(std::make_unique<PosixOutputFile>(fd, *native));
}

// Opens an existing file for writing unless it is read-only or immutable,
// which the simulator's platform refuses even to an administrator.
Result<std::unique_ptr<OutputFile>> open_unprotected(const std::string& path, int flags) {
  const auto native = to_native(path);
  if (native) {
    const std::string protection = write_protection(*native, true);
    if (!protection.empty()) return refused_write("cannot create " + *native, protection);
  }
  return open_output(native, flags);
}

// Whether a call on the path as written failed for want of a name that
// may exist in another case.
bool may_differ_in_case(int err) { return err == ENOENT || err == ENOTDIR; }

// Texture checks and listings call these for thousands of files: the path
// as written first, walked once by the system, and a lookup whatever the
// case only when that fails.
bool stat_path(const std::string& path, struct stat& st) {
  if (has_nul(path)) return false;
  if (::stat(as_written(path).c_str(), &st) == 0) return true;
  return may_differ_in_case(errno) && ::stat(resolve(path).c_str(), &st) == 0;
}

int open_for_reading(const std::string& path, std::string& native) {
  native = as_written(path);
  const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0 || !may_differ_in_case(errno)) return fd;
  native = resolve(path);
  return ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
}

bool is_folder_entry(const std::string& folder, const dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat st;
  return ::stat(join_native(folder, entry.d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class PosixFileSystem final : public FileSystem {
 public:
  std::string native_path(const std::string& path) override { return resolve(path); }

  bool exists(const std::string& path) override {
    struct stat st;
    return stat_path(path, st);
  }

  bool is_folder(const std::string& path) override {
    struct stat st;
    return stat_path(path, st) && S_ISDIR(st.st_mode);
  }

  bool is_link(const std::string& path) override {
    struct stat st;
    return !has_nul(path) && ::lstat(resolve(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
  }

  std::optional<FileStamp> stamp(const std::string& path) override {
    struct stat st;
    if (!stat_path(path, st)) return std::nullopt;
    return FileStamp{st.st_size, std::int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec,
                     st.st_ino};
  }

  Result<std::unique_ptr<InputFile>> open_read(const std::string& path) override {
    if (has_nul(path)) return to_native(path).error();
    std::string native;
    const int fd = open_for_reading(path, native);
    if (fd < 0) return os_error("cannot open", native, errno);
    struct stat st;
    const int err = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
    if (err != 0) {
      ::close(fd);
      return os_error("cannot open", native, err);
    }
    return std::unique_ptr<InputFile>(std::make_unique<PosixInputFile>(fd, st.st_size, native));
  }

  Result<std::unique_ptr<OutputFile>> create(const std::string& path) override {
    return open_unprotected(path, O_TRUNC);
  }

  Result<std::unique_ptr<OutputFile>> create_new(const std::string& path) override {
    return open_output(to_native(path), O_EXCL);
  }

  Result<std::unique_ptr<OutputFile>> open_append(const std::string& path) override {
    return open_unprotected(path, O_APPEND);
  }

  Result<void> rename_over(const std::string& from, const std::string& to) override {
    const auto native_from = to_native(from);
    if (!native_from) return native_from.error();
    if (has_nul(to)) return to_native(to).error();
    const std::string native_to = rename_target(*native_from, to);
    const std::string protection = native_to == *native_from ? "" : write_protection(native_to, false);
    if (!protection.empty()) {
      return refused_write("cannot rename " + *native_from + " to " + native_to, protection);
    }
    if (::rename(native_from->c_str(), native_to.c_str()) != 0) {
      return os_error("cannot rename " + *native_from + " to", native_to, errno);
    }
    return {};
  }

  Result<void> rename_new(const std::string& from, const std::string& to) override {
    const auto native_from = to_native(from);
    if (!native_from) return native_from.error();
    if (has_nul(to)) return to_native(to).error();
    const std::string native_to = rename_target(*native_from, to);
    const std::string what = "cannot rename " + *native_from + " to";
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, native_from->c_str(), AT_FDCWD, native_to.c_str(), RENAME_NOREPLACE) == 0) {
      return {};
    }
    // Only file systems without the flag fall through to the check below.
    if (errno != EINVAL && errno != ENOSYS) return os_error(what, native_to, errno);
#endif
    if (name_exists(native_to)) return os_error(what, native_to, EEXIST);
    if (::rename(native_from->c_str(), native_to.c_str()) != 0) return os_error(what, native_to, errno);
    return {};
  }

  Result<void> remove_file(const std::string& path) override {
    return call_on(path, "cannot remove", [](const char* p) { return ::unlink(p); });
  }

  Result<void> make_folder(const std::string& path) override {
    return call_on(path, "cannot make folder", [](const char* p) { return ::mkdir(p, 0777); });
  }

  Result<void> remove_folder(const std::string& path) override {
    return call_on(path, "cannot remove folder", [](const char* p) { return ::rmdir(p); });
  }

  Result<void> sync_folder(const std::string& path) override {
    return call_on(path, "cannot sync folder", [](const char* p) {
      const int fd = ::open(p, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (fd < 0) return -1;
      const int result = ::fsync(fd);
      const int err = errno;
      ::close(fd);
      errno = err;
      return result;
    });
  }

  Result<std::vector<DirEntry>> list(const std::string& folder) override {
    const auto native = to_native(folder);
    if (!native) return native.error();
    DIR* dir = ::opendir(native->c_str());
    if (dir == nullptr) return os_error("cannot list", *native, errno);
    std::vector<DirEntry> entries;
    while (true) {
      errno = 0;
      const dirent* entry = ::readdir(dir);
      if (entry == nullptr) break;
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      entries.push_back(DirEntry{utf8_to_cp1252(name), is_folder_entry(*native, *entry), name[0] == '.'});
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0) return os_error("cannot list", *native, err);
    return entries;
  }

 private:
  // Runs a call that returns -1 and sets errno on failure.
  template <class Call>
  Result<void> call_on(const std::string& path, const char* what, Call call) {
    const auto native = to_native(path);
    if (!native) return native.error();
    if (call(native->c_str()) != 0) return os_error(what, *native, errno);
    return {};
  }
};

}  // namespace

FileSystem& native_file_system() {
  static PosixFileSystem file_system;
  return file_system;
}

}  // namespace pw
