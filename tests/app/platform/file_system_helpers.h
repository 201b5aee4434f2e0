// Small helpers for the tests of the native file layer on every platform.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw::test {

// The whole file through the interface, or "<error message>".
inline std::string read_all(FileSystem& fs, const std::string& path) {
  auto opened = fs.open_read(path);
  if (!opened) return "<" + opened.error().message + ">";
  std::string bytes(static_cast<std::size_t>((*opened)->size()), '\0');
  auto got = (*opened)->read_at(0, bytes);
  if (!got) return "<" + got.error().message + ">";
  bytes.resize(*got);
  return bytes;
}

inline Result<void> write_file(FileSystem& fs, const std::string& path, std::string_view bytes) {
  auto created = fs.create(path);
  if (!created) return created.error();
  PW_TRY((*created)->write(bytes));
  return (*created)->close();
}

template <class T>
std::optional<ErrorCode> code_of(const Result<T>& result) {
  if (result.ok()) return std::nullopt;
  return result.error().code;
}

}  // namespace pw::test
