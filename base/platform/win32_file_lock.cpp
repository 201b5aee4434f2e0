#include "base/platform/file_lock.h"

#include "base/platform/win32_paths.h"

namespace pw {
namespace {

class Win32FileLock final : public FileLock {
 public:
  explicit Win32FileLock(HANDLE handle) : handle_(handle) {}
  ~Win32FileLock() override { ::CloseHandle(handle_); }  // closing the handle drops its lock
  Win32FileLock(const Win32FileLock&) = delete;
  Win32FileLock& operator=(const Win32FileLock&) = delete;

 private:
  HANDLE handle_;
};

}  // namespace

Result<std::unique_ptr<FileLock>> try_lock_file(FileSystem& /*fs: Windows finds names in any case itself*/,
                                                const std::string& path) {
  const std::wstring native = win32::long_path(path);
  if (native.empty()) return make_error(ErrorCode::kNotFound, "cannot make the path absolute: " + path);
  const HANDLE handle = ::CreateFileW(native.c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return win32::os_error("cannot open the lock file", native, ::GetLastError());
  OVERLAPPED whole = {};
  if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
    return std::unique_ptr<FileLock>(std::make_unique<Win32FileLock>(handle));
  }
  const DWORD error = ::GetLastError();
  ::CloseHandle(handle);
  if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return std::unique_ptr<FileLock>();
  return win32::os_error("cannot lock", native, error);
}

}  // namespace pw
