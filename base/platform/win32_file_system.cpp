// The file layer on Windows. Core paths are Windows-1252 texts; they go to
// the wide ("W") file APIs through long paths, so neither the system's own
// code page nor MAX_PATH limits what the simulator's tree may hold. The
// file system itself ignores letter case.
#include "base/platform/file_system.h"

#include <algorithm>

#include "base/platform/win32_paths.h"

namespace pw {
namespace {

using win32::long_path;
using win32::os_error;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// How long rename_over waits for another program (a virus scanner, an
// editor, the simulator) to let go of the target.
constexpr int kRenameAttempts = 10;
constexpr DWORD kRenamePauseMs = 50;

bool has_nul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

Result<std::wstring> to_native(const std::string& path) {
  if (has_nul(path)) {
    return make_error(ErrorCode::kRefused, "path holds a NUL byte: " + path.substr(0, path.find('\0')));
  }
  std::wstring native = long_path(path);
  if (native.empty()) return make_error(ErrorCode::kNotFound, "not a usable path: " + path);
  return native;
}

DWORD attributes_of(const std::wstring& native) { return ::GetFileAttributesW(native.c_str()); }

bool is_read_only(const std::wstring& native) {
  const DWORD attributes = attributes_of(native);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool is_unreplaceable(const std::wstring& native) {
  const DWORD attributes = attributes_of(native);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

// The attributes a file made in place of `native` is given: emptying a
// hidden or system file fails unless they are asked for again.
DWORD attributes_to_keep(const std::wstring& native) {
  const DWORD attributes = attributes_of(native);
  if (attributes == INVALID_FILE_ATTRIBUTES) return FILE_ATTRIBUTE_NORMAL;
  const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

// Whether a failed call may succeed once another program closes the file.
bool is_held_open(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

bool same_name(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Where a rename puts `to`: an existing target keeps the case of its name
// on disk; naming the source again in another case renames it to that case.
std::wstring rename_target(const std::wstring& from, const std::wstring& to) {
  // A name left with a wildcard matches no file; looking it up could find another.
  if (same_name(from, to) || to.find_first_of(L"?*", 4) != std::wstring::npos) return to;
  WIN32_FIND_DATAW found;
  const HANDLE find = ::FindFirstFileW(to.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return to;
  ::FindClose(find);
  return to.substr(0, to.rfind(L'\\') + 1) + found.cFileName;
}

std::int64_t join_dwords(DWORD high, DWORD low) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

// FILETIME counts 100 ns from 1601; in nanoseconds that overflows 64 bits,
// so count from 1970 as the POSIX layer does.
std::int64_t unix_ns(const FILETIME& time) {
  constexpr std::int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;
  return (join_dwords(time.dwHighDateTime, time.dwLowDateTime) - kTicksFrom1601To1970) * 100;
}

// Renames a name to itself in another case. Some file systems (and Wine)
// take such a rename for a no-op, so it goes through a passing name.
BOOL rename_case(const std::wstring& from, const std::wstring& to) {
  const std::wstring passing = from + L".pwcase";
  if (!::MoveFileExW(from.c_str(), passing.c_str(), MOVEFILE_WRITE_THROUGH)) return FALSE;
  if (::MoveFileExW(passing.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return TRUE;
  const DWORD error = ::GetLastError();
  ::MoveFileExW(passing.c_str(), from.c_str(), MOVEFILE_WRITE_THROUGH);
  ::SetLastError(error);
  return FALSE;
}

// MoveFileExW, except that a change of case only always renames.
BOOL move_file(const std::wstring& from, const std::wstring& to, DWORD flags) {
  if (same_name(from, to)) return from == to || rename_case(from, to);
  return ::MoveFileExW(from.c_str(), to.c_str(), flags);
}

class Win32InputFile final : public InputFile {
 public:
  Win32InputFile(HANDLE handle, std::int64_t size, std::wstring native)
      : handle_(handle), size_(size), native_(std::move(native)) {}
  ~Win32InputFile() override { ::CloseHandle(handle_); }
  Win32InputFile(const Win32InputFile&) = delete;
  Win32InputFile& operator=(const Win32InputFile&) = delete;

  std::int64_t size() const override { return size_; }

  Result<std::size_t> read_at(std::int64_t offset, std::span<char> out) override {
    std::size_t done = 0;
    while (done < out.size()) {
      const std::uint64_t at = static_cast<std::uint64_t>(offset) + done;
      OVERLAPPED where{};
      where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
      where.OffsetHigh = static_cast<DWORD>(at >> 32);
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
      DWORD got = 0;
      if (!::ReadFile(handle_, out.data() + done, want, &got, &where)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_HANDLE_EOF) break;
        return os_error("cannot read", native_, error);
      }
      if (got == 0) break;
      done += got;
    }
    return done;
  }

 private:
  HANDLE handle_;
  std::int64_t size_;
  std::wstring native_;
};

class Win32OutputFile final : public OutputFile {
 public:
  Win32OutputFile(HANDLE handle, std::wstring native) : handle_(handle), native_(std::move(native)) {}
  ~Win32OutputFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  Win32OutputFile(const Win32OutputFile&) = delete;
  Win32OutputFile& operator=(const Win32OutputFile&) = delete;

  Result<void> write(std::string_view bytes) override {
    if (handle_ == INVALID_HANDLE_VALUE) return closed_error();
    while (!bytes.empty()) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      DWORD written = 0;
      if (!::WriteFile(handle_, bytes.data(), want, &written, nullptr)) {
        return os_error("cannot write", native_, ::GetLastError());
      }
      bytes.remove_prefix(written);
    }
    return {};
  }

  Result<void> sync() override {
    if (handle_ == INVALID_HANDLE_VALUE) return closed_error();
    if (!::FlushFileBuffers(handle_)) return os_error("cannot sync", native_, ::GetLastError());
    return {};
  }

  Result<void> close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return closed_error();
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;  // released even when closing fails
    if (!::CloseHandle(handle)) return os_error("cannot close", native_, ::GetLastError());
    return {};
  }

 private:
  Error closed_error() const {
    return make_error(ErrorCode::kIo, "file already closed: " + win32::to_utf8(win32::without_long_prefix(native_)));
  }

  HANDLE handle_;
  std::wstring native_;
};

Result<std::unique_ptr<OutputFile>> open_output(const std::string& path, DWORD disposition) {
  const auto native = to_native(path);
  if (!native) return native.error();
  // Windows refuses to empty a read-only file; checked here too, because an
  // emulation running with full rights may not.
  if (disposition == CREATE_ALWAYS && is_read_only(*native)) {
    return os_error("cannot create", *native, ERROR_ACCESS_DENIED);
  }
  const HANDLE handle = ::CreateFileW(native->c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                     disposition, attributes_to_keep(*native), nullptr);
  if (handle == INVALID_HANDLE_VALUE) return os_error("cannot create", *native, ::GetLastError());
  // Only appends open an existing file; they write from its end.
  if (disposition == OPEN_ALWAYS && !::SetFilePointerEx(handle, LARGE_INTEGER{}, nullptr, FILE_END)) {
    const DWORD error = ::GetLastError();
    ::CloseHandle(handle);
    return os_error("cannot open", *native, error);
  }
  return std::unique_ptr<OutputFile>(std::make_unique<Win32OutputFile>(handle, *native));
}

// An open handle on a file or folder for reading its facts only.
HANDLE open_for_facts(const std::wstring& native) {
  return ::CreateFileW(native.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

DirEntry entry_of(const WIN32_FIND_DATAW& found) {
  const DWORD attributes = found.dwFileAttributes;
  return DirEntry{win32::to_cp1252(found.cFileName), (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                  (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0};
}

class Win32FileSystem final : public FileSystem {
 public:
  std::string native_path(const std::string& path) override {
    return win32::to_utf8(win32::without_long_prefix(long_path(path)));
  }

  bool exists(const std::string& path) override {
    return !has_nul(path) && attributes_of(long_path(path)) != INVALID_FILE_ATTRIBUTES;
  }

  bool is_folder(const std::string& path) override {
    if (has_nul(path)) return false;
    const DWORD attributes = attributes_of(long_path(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  // The attribute, not the reparse tag: Wine reports a POSIX link with the
  // attribute and a tag of its own.
  bool is_link(const std::string& path) override {
    if (has_nul(path)) return false;
    const DWORD attributes = attributes_of(long_path(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  }

  std::optional<FileStamp> stamp(const std::string& path) override {
    if (has_nul(path)) return std::nullopt;
    const HANDLE handle = open_for_facts(long_path(path));
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = ::GetFileInformationByHandle(handle, &info);
    ::CloseHandle(handle);
    if (!ok) return std::nullopt;
    return FileStamp{join_dwords(info.nFileSizeHigh, info.nFileSizeLow), unix_ns(info.ftLastWriteTime),
                     static_cast<std::uint64_t>(join_dwords(info.nFileIndexHigh, info.nFileIndexLow))};
  }

  Result<std::unique_ptr<InputFile>> open_read(const std::string& path) override {
    const auto native = to_native(path);
    if (!native) return native.error();
    const HANDLE handle = ::CreateFileW(native->c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return os_error("cannot open", *native, ::GetLastError());
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(handle, &size)) {
      const DWORD error = ::GetLastError();
      ::CloseHandle(handle);
      return os_error("cannot open", *native, error);
    }
    return std::unique_ptr<InputFile>(std::make_unique<Win32InputFile>(handle, size.QuadPart, *native));
  }

  Result<std::unique_ptr<OutputFile>> create(const std::string& path) override {
    return open_output(path, CREATE_ALWAYS);
  }

  Result<std::unique_ptr<OutputFile>> create_new(const std::string& path) override {
    return open_output(path, CREATE_NEW);
  }

  Result<std::unique_ptr<OutputFile>> open_append(const std::string& path) override {
    return open_output(path, OPEN_ALWAYS);
  }

  Result<void> rename_over(const std::string& from, const std::string& to) override {
    const auto native_from = to_native(from);
    if (!native_from) return native_from.error();
    const auto native_to = to_native(to);
    if (!native_to) return native_to.error();
    const std::wstring target = rename_target(*native_from, *native_to);
    const std::string what = "cannot rename " + win32::to_utf8(win32::without_long_prefix(*native_from)) + " to";
    // A read-only file is one its owner asked to keep: never replace it. A
    // folder cannot be replaced either, however long one waits.
    if (is_unreplaceable(target) && !same_name(target, *native_from)) {
      return os_error(what, target, ERROR_ACCESS_DENIED);
    }
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kRenameAttempts; ++attempt) {
      if (attempt > 0) ::Sleep(kRenamePauseMs);
      if (move_file(*native_from, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return {};
      }
      error = ::GetLastError();
      if (!is_held_open(error)) break;
    }
    return os_error(what, target, error);
  }

  Result<void> rename_new(const std::string& from, const std::string& to) override {
    const auto native_from = to_native(from);
    if (!native_from) return native_from.error();
    const auto native_to = to_native(to);
    if (!native_to) return native_to.error();
    if (!move_file(*native_from, *native_to, MOVEFILE_WRITE_THROUGH)) {
      const std::string what = "cannot rename " + win32::to_utf8(win32::without_long_prefix(*native_from)) + " to";
      return os_error(what, *native_to, ::GetLastError());
    }
    return {};
  }

  Result<void> remove_file(const std::string& path) override {
    return call_on(path, "cannot remove", [](const wchar_t* p) { return ::DeleteFileW(p); });
  }

  Result<void> make_folder(const std::string& path) override {
    return call_on(path, "cannot make folder", [](const wchar_t* p) { return ::CreateDirectoryW(p, nullptr); });
  }

  Result<void> remove_folder(const std::string& path) override {
    return call_on(path, "cannot remove folder", [](const wchar_t* p) { return ::RemoveDirectoryW(p); });
  }

  // Windows offers no portable way to flush a folder's entries (a folder
  // handle cannot be flushed on every file system), and its renames with
  // MOVEFILE_WRITE_THROUGH are already on disk: only the folder's presence
  // is checked.
  Result<void> sync_folder(const std::string& path) override {
    return call_on(path, "cannot sync folder", [](const wchar_t* p) {
      const DWORD attributes = ::GetFileAttributesW(p);
      if (attributes == INVALID_FILE_ATTRIBUTES) return FALSE;
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return TRUE;
      ::SetLastError(ERROR_DIRECTORY);
      return FALSE;
    });
  }

  Result<std::vector<DirEntry>> list(const std::string& folder) override {
    const auto native = to_native(folder);
    if (!native) return native.error();
    const std::wstring pattern = *native + (native->back() == L'\\' ? L"*" : L"\\*");
    WIN32_FIND_DATAW found;
    const HANDLE find =
        ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
      const DWORD error = ::GetLastError();
      // Only a drive root can be empty of even "." and "..".
      if (error == ERROR_FILE_NOT_FOUND && is_folder(folder)) return std::vector<DirEntry>{};
      return os_error("cannot list", *native, error);
    }
    std::vector<DirEntry> entries;
    do {
      const std::wstring_view name = found.cFileName;
      if (name != L"." && name != L"..") entries.push_back(entry_of(found));
    } while (::FindNextFileW(find, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(find);
    if (error != ERROR_NO_MORE_FILES) return os_error("cannot list", *native, error);
    return entries;
  }

 private:
  // Runs a call that returns FALSE and sets the last error on failure.
  template <class Call>
  Result<void> call_on(const std::string& path, const char* what, Call call) {
    const auto native = to_native(path);
    if (!native) return native.error();
    if (!call(native->c_str())) return os_error(what, *native, ::GetLastError());
    return {};
  }
};

}  // namespace

FileSystem& native_file_system() {
  static Win32FileSystem file_system;
  return file_system;
}

}  // namespace pw
