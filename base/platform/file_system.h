// The core's only door to the disk. Paths are texts in the program's own
// form: Windows-1252 bytes, components joined with '\' (or '/'), absolute
// from the start. Implementations turn them into native paths and, on
// file systems that distinguish case, find every existing component
// whatever its case (an exact match first). Empty components are skipped;
// "." and ".." go to the native layer unchanged (the core refuses unsafe
// names before they get here). A path holding a NUL byte is refused
// (kRefused) by every fallible call. Tests pass a fault-injecting
// implementation.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace pw {

// Identity of a file's content as far as caching needs it.
struct FileStamp {
  std::int64_t size = 0;
  std::int64_t modified_ns = 0;
  std::uint64_t file_id = 0;  // inode or file index: changes on replace-by-rename
  bool operator==(const FileStamp&) const = default;
};

struct DirEntry {
  // Windows-1252, as the core sees names. A native name with characters
  // Windows-1252 lacks shows '?' for each of them; giving that name back to
  // the file layer still finds the entry, as the '?' matches it when case
  // and such characters are ignored.
  std::string name;
  bool is_folder = false;  // links to folders count as folders
  bool is_hidden = false;  // hidden or system (POSIX: a leading '.'): not a "normal file"
};

class InputFile {
 public:
  virtual ~InputFile() = default;
  virtual std::int64_t size() const = 0;
  // Reads up to out.size() bytes at offset; fewer only at the end of the
  // file. Errors: kIo.
  virtual Result<std::size_t> read_at(std::int64_t offset, std::span<char> out) = 0;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Appends all bytes or fails (kNoSpace, kIo).
  virtual Result<void> write(std::string_view bytes) = 0;
  // Forces written bytes to stable storage (kIo, kNoSpace).
  virtual Result<void> sync() = 0;
  // Closes the file; a close that loses data fails (kIo, kNoSpace).
  // Destroying an open file closes it and ignores errors.
  virtual Result<void> close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The path as the native layer sees it (UTF-8 on POSIX), for messages.
  virtual std::string native_path(const std::string& path) = 0;

  // True when a file or folder of that name exists (case ignored).
  virtual bool exists(const std::string& path) = 0;
  virtual bool is_folder(const std::string& path) = 0;
  // True when the entry itself is a symbolic link, junction or other
  // reparse point, whatever it points to (or when it dangles).
  virtual bool is_link(const std::string& path) = 0;
  // Stamp of an existing file; nullopt when it is missing.
  virtual std::optional<FileStamp> stamp(const std::string& path) = 0;

  // Errors: kNotFound, kAccessDenied (also when it is a folder), kIo.
  virtual Result<std::unique_ptr<InputFile>> open_read(const std::string& path) = 0;
  // Creates the file, or empties an existing one (its name keeps the case
  // it has on disk). Errors: kNotFound (no folder), kAccessDenied (also for
  // an existing read-only or immutable file, whoever asks), kNoSpace, kIo.
  virtual Result<std::unique_ptr<OutputFile>> create(const std::string& path) = 0;
  // Creates a new file that must not exist yet. Errors as create, plus kExists.
  virtual Result<std::unique_ptr<OutputFile>> create_new(const std::string& path) = 0;
  // Opens the file for writing at its end, creating it when missing.
  // Errors as create.
  virtual Result<std::unique_ptr<OutputFile>> open_append(const std::string& path) = 0;

  // Renames `from` to `to`, replacing an existing `to` in one step; the
  // replaced name keeps the case it has on disk. Naming `from` itself in
  // another case changes the case of its name. A read-only or immutable
  // `to` is refused (kAccessDenied), as the simulator's platform does.
  // Errors: kNotFound, kAccessDenied, kNoSpace, kIo.
  virtual Result<void> rename_over(const std::string& from, const std::string& to) = 0;
  // Renames a file or folder to a name that must not exist in any case
  // (kExists); `from` itself in another case is allowed. Other errors as
  // rename_over.
  virtual Result<void> rename_new(const std::string& from, const std::string& to) = 0;
  // Errors: kNotFound, kAccessDenied (also when it is a folder), kIo.
  virtual Result<void> remove_file(const std::string& path) = 0;
  // Errors: kExists, kNotFound (no parent), kAccessDenied, kNoSpace, kIo.
  virtual Result<void> make_folder(const std::string& path) = 0;
  // Removes an empty folder. Errors: kNotFound, kAccessDenied, kIo (not empty).
  virtual Result<void> remove_folder(const std::string& path) = 0;
  // Makes the folder's entries (renames, creations) durable.
  // Errors: kNotFound, kAccessDenied, kIo.
  virtual Result<void> sync_folder(const std::string& path) = 0;

  // Every entry directly inside the folder except "." and "..", in the
  // order the native listing gives. Errors: kNotFound, kAccessDenied, kIo.
  virtual Result<std::vector<DirEntry>> list(const std::string& folder) = 0;
};

// The real file system of this platform.
FileSystem& native_file_system();

}  // namespace pw
