#include "base/platform/process.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <io.h>

#include <cstdio>
#include <vector>

#include "base/platform/win32_paths.h"

namespace pw {
namespace {

// A native folder as the core sees it: no "\\?\" prefix, no trailing '\'
// unless it is a drive's root.
std::string core_folder(std::wstring native) {
  native = win32::without_long_prefix(native);
  while (native.size() > 3 && (native.back() == L'\\' || native.back() == L'/')) native.pop_back();
  if (native.size() == 2 && native[1] == L':') native += L'\\';
  return win32::to_cp1252(native);
}

// A shell folder as a core path; empty when the system has none.
std::string shell_folder(const KNOWNFOLDERID& id) {
  wchar_t* path = nullptr;
  std::string folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = core_folder(path);
  ::CoTaskMemFree(path);
  return folder;
}

}  // namespace

std::string executable_folder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return current_directory();
    if (n < buffer.size()) {
      const std::wstring file(buffer.data(), n);
      return core_folder(file.substr(0, file.rfind(L'\\') + 1));
    }
    buffer.resize(buffer.size() * 2);  // the name was cut
  }
}

unsigned long process_id() { return ::GetCurrentProcessId(); }

std::string current_directory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return {};
    if (n < buffer.size()) return core_folder(std::wstring(buffer.data(), n));
    buffer.resize(n + 1);
  }
}

std::vector<std::string> program_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) {
    // Out of memory: the code page's form is better than nothing.
    return argc < 1 ? std::vector<std::string>{} : std::vector<std::string>(argv + 1, argv + argc);
  }
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(win32::to_utf8(wide[i]));
  ::LocalFree(wide);
  return args;
}

std::string known_folder(KnownFolder which) {
  return shell_folder(which == KnownFolder::kRoamingAppData ? FOLDERID_RoamingAppData
                      : which == KnownFolder::kProgramData  ? FOLDERID_ProgramData
                                                            : FOLDERID_Documents);
}

std::string user_cache_folder() {
  const std::string local = shell_folder(FOLDERID_LocalAppData);
  return local.empty() ? local : local + "\\Paintwell";
}

bool runs_under_wine() {
  // Wine's ntdll exports its version; Windows' own does not.
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool stderr_is_terminal() { return ::_isatty(::_fileno(stderr)) != 0; }

Utf8ThreadLocale::Utf8ThreadLocale() = default;
Utf8ThreadLocale::~Utf8ThreadLocale() = default;

}  // namespace pw
