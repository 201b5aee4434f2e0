// A folder of its own for one test, removed with everything in it when the
// test ends.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pw::test {

// True where '\\' is a byte of a name (POSIX), not a separator.
inline bool backslash_is_a_name_byte() { return !std::filesystem::path("a\\b").has_parent_path(); }

class TempDir {
 public:
  // Creates a new, uniquely named folder under the system's temporary folder.
  TempDir();
  // Removes the folder and its content; errors are ignored.
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder as a core path (Windows-1252 text, no trailing separator).
  std::string path() const;
  // `rel` (a native relative path with '/', UTF-8) inside the folder.
  std::filesystem::path native(std::string_view rel) const;

  // Writes the file, making its parent folders as needed.
  void write(std::string_view rel, std::string_view bytes) const;
  // The file's bytes; empty when it cannot be read.
  std::string read(std::string_view rel) const;
  bool exists(std::string_view rel) const;
  // The names directly inside a folder, sorted; none when it is missing.
  std::vector<std::string> names(std::string_view rel = "") const;

 private:
  std::filesystem::path root_;
};

}  // namespace pw::test
