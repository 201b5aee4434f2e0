// Private to the Windows platform layer: core paths (Windows-1252 text,
// '\' or '/') turned into the wide paths the file APIs take, and Windows
// error numbers turned into the core's error codes.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/result.h"

namespace pw::win32 {

// Windows-1252 bytes to UTF-16, whatever the system's own code page is.
std::wstring to_wide(std::string_view cp1252);
// UTF-16 to Windows-1252; each character it lacks becomes '?' (no
// look-alike substitutes, so a name is never silently another name).
std::string to_cp1252(std::wstring_view wide);
std::string to_utf8(std::wstring_view wide);

// The full native path with the "\\?\" prefix, so that paths past MAX_PATH
// work: '/' becomes '\', empty components go, "." and ".." are resolved, a
// bare drive ("C:") means its root, a relative path starts at the current
// directory. A component holding '?' (the listing's stand-in for a
// character Windows-1252 lacks) is replaced by the existing name it
// matches. Empty when the path cannot be made absolute.
std::wstring long_path(std::string_view core_path);

// How many existing names the path's last component stands for when it
// holds '?' stand-ins (case ignored); 1 when it holds none.
std::size_t stand_in_matches(std::string_view core_path);

// The path without the "\\?\" (or "\\?\UNC\") prefix, as users know it.
std::wstring without_long_prefix(std::wstring_view path);

ErrorCode code_of(DWORD error);
// "<what> <path>: <system's text>" with the code for `error`.
Error os_error(const std::string& what, std::wstring_view native, DWORD error);

}  // namespace pw::win32
