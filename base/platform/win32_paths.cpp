#include "base/platform/win32_paths.h"

#include <vector>

#include "base/text.h"

namespace pw::win32 {
namespace {

constexpr UINT kWindows1252 = 1252;
constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool is_bare_drive(std::wstring_view path) {
  return path.size() == 2 && path[1] == L':' && ((path[0] | 0x20) >= L'a' && (path[0] | 0x20) <= L'z');
}

// '/' to '\', runs of separators to one (a leading "\\" of a network path
// stays), and no separator at the end unless it ends a drive's root.
std::wstring tidy_separators(std::wstring_view path) {
  std::wstring out;
  out.reserve(path.size() + 1);
  for (std::size_t i = 0; i < path.size(); ++i) {
    const bool sep = is_separator(path[i]);
    const bool keep_double = i == 1 && sep && is_separator(path[0]);
    if (sep && !out.empty() && out.back() == L'\\' && !keep_double) continue;
    out += sep ? L'\\' : path[i];
  }
  if (is_bare_drive(out)) out += L'\\';
  while (out.size() > 3 && out.back() == L'\\') out.pop_back();
  return out;
}

std::wstring full_path_of(const std::wstring& path) {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    const DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n == 0) return {};
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(n + 1);
  }
}

std::wstring with_long_prefix(std::wstring_view full) {
  if (full.substr(0, 2) == L"\\\\") return std::wstring(kLongUncPrefix) + std::wstring(full.substr(2));
  return std::wstring(kLongPrefix) + std::wstring(full);
}

// The names in `folder` whose Windows-1252 form is `name` (case ignored).
std::vector<std::wstring> existing_names(const std::wstring& folder, const std::wstring& name) {
  std::vector<std::wstring> names;
  const std::wstring pattern = with_long_prefix(folder + L"\\" + name);
  WIN32_FIND_DATAW found;
  const HANDLE find = ::FindFirstFileW(pattern.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  const std::string wanted = to_cp1252(name);
  do {
    if (iequals(to_cp1252(found.cFileName), wanted)) names.emplace_back(found.cFileName);
  } while (::FindNextFileW(find, &found));
  ::FindClose(find);
  return names;
}

// The first name in `folder` whose Windows-1252 form is `name` (case
// ignored); `name` itself when there is none.
std::wstring existing_name(const std::wstring& folder, const std::wstring& name) {
  const std::vector<std::wstring> names = existing_names(folder, name);
  return names.empty() ? name : names.front();
}

// Each component holding '?' replaced by the existing name it stands for.
std::wstring resolve_stand_ins(const std::wstring& full) {
  if (full.find(L'?') == std::wstring::npos) return full;
  // The root ("C:\" or "\\server\share") holds no stand-ins.
  std::size_t start = full.find(L'\\', full.substr(0, 2) == L"\\\\" ? full.find(L'\\', 2) + 1 : 0);
  if (start == std::wstring::npos) return full;
  std::wstring out = full.substr(0, start);
  while (start < full.size()) {
    std::size_t end = full.find(L'\\', start + 1);
    if (end == std::wstring::npos) end = full.size();
    const std::wstring part = full.substr(start + 1, end - start - 1);
    out += L'\\';
    out += part.find(L'?') == std::wstring::npos ? part : existing_name(out.substr(0, out.size() - 1), part);
    start = end;
  }
  return out;
}

std::string system_text(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n == 0 ? L"" : std::wstring(text, n);
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
    message.pop_back();
  }
  return to_utf8(message) + " (error " + std::to_string(error) + ")";
}

}  // namespace

std::wstring to_wide(std::string_view cp1252) {
  if (cp1252.empty()) return {};
  const int size = static_cast<int>(cp1252.size());
  const int n = ::MultiByteToWideChar(kWindows1252, 0, cp1252.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(kWindows1252, 0, cp1252.data(), size, wide.data(), n);
  return wide;
}

std::string to_cp1252(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = ::WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, "?", nullptr);
  std::string text(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, wide.data(), size, text.data(), n, "?", nullptr);
  return text;
}

std::string to_utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
  return text;
}

std::wstring long_path(std::string_view core_path) {
  const std::wstring wide = to_wide(core_path);
  if (wide.substr(0, kLongPrefix.size()) == kLongPrefix) return wide;
  const std::wstring tidy = tidy_separators(wide);
  if (tidy.empty()) return {};
  const std::wstring full = full_path_of(tidy);
  if (full.empty()) return {};
  return with_long_prefix(resolve_stand_ins(tidy_separators(full)));
}

std::size_t stand_in_matches(std::string_view core_path) {
  const std::wstring full = long_path(core_path.substr(0, core_path.find_last_of("\\/") + 1));
  const std::string_view name = core_path.substr(core_path.find_last_of("\\/") + 1);
  if (full.empty() || name.find('?') == std::string_view::npos) return 1;
  return existing_names(without_long_prefix(full), to_wide(name)).size();
}

std::wstring without_long_prefix(std::wstring_view path) {
  if (path.substr(0, kLongUncPrefix.size()) == kLongUncPrefix) {
    return L"\\\\" + std::wstring(path.substr(kLongUncPrefix.size()));
  }
  if (path.substr(0, kLongPrefix.size()) == kLongPrefix) return std::wstring(path.substr(kLongPrefix.size()));
  return std::wstring(path);
}

ErrorCode code_of(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:  // a name no file can have cannot exist
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:  // a file where a folder was named
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ErrorCode::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return ErrorCode::kAccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ErrorCode::kNoSpace;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return ErrorCode::kExists;
    default:  // ERROR_DIR_NOT_EMPTY among others
      return ErrorCode::kIo;
  }
}

Error os_error(const std::string& what, std::wstring_view native, DWORD error) {
  return make_error(code_of(error), what + " " + to_utf8(without_long_prefix(native)) + ": " + system_text(error));
}

}  // namespace pw::win32
