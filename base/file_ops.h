// Path helpers and the file operations every module shares: whole-file
// reads, the one atomic replace that every save goes through, copies and
// wildcard listings. Only the FileSystem interface is used, so each of them
// can be run against a fault-injecting one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

// folder + "\" + name, nothing else added or removed.
std::string join_path(std::string_view folder, std::string_view name);
// Everything before the last '\' or '/'; empty when there is none.
std::string parent_path(std::string_view path);
// Everything after the last '\' or '/'; the whole path when there is none.
std::string file_name(std::string_view path);

// True for a path from a drive ("C:..."), a share or the root ("\\...",
// "/..."): a path that is not read relative to another folder.
bool is_absolute_path(std::string_view path);

// The one form a path is kept in, on every platform, so that the files both
// builds read (Paintwell.log, restore points) hold the same text: '\'
// separators, none doubled or trailing, "." and ".." resolved by the text
// alone (a ".." at the root stays there; a relative path keeps its leading
// ones). The root stays as written: "\", "C:\", or "\\server\share".
std::string normal_path(std::string_view path);
// `path` read from `folder` when it is relative, then normal_path: how a
// path enters from the command line, a dialog or a declaration file.
std::string absolute_path(std::string_view folder, std::string_view path);

// True when `path` is `folder` or lies inside it, compared without regard
// to case, with either separator and doubled separators reduced.
bool is_inside_folder(std::string_view path, std::string_view folder);
// Both inside each other: one folder, however spelled.
inline bool is_same_folder(std::string_view a, std::string_view b) { return is_inside_folder(a, b) && is_inside_folder(b, a); }

// The temporary file replace_file_with writes: "~" + name + "." +
// process id + ".pwtmp" in the target's folder, so that two processes never
// share one. A stale one left by a crash is simply overwritten.
std::string temp_path_for(std::string_view path);

// The chunk copy_file moves at a time; memory use does not grow with the file.
inline constexpr std::size_t kCopyChunkSize = std::size_t{1} << 20;

// The whole content of a file.
// Errors: kRefused when it is larger than max_bytes (nothing is read), kIo
// when it yields fewer bytes than its size, and those of open_read/read_at.
Result<std::string> read_whole_file(FileSystem& fs, const std::string& path, std::int64_t max_bytes);

// Replaces (or creates) the file at `path` in one step: write_body writes
// the new content into the temporary file beside it (temp_path_for), which
// is then synced, closed and renamed over the target, and the folder is
// synced. On failure the temporary file is removed, the target is left as
// it was and the first error is returned: write_body's own, or one of
// create, sync, close or rename_over (kNotFound when the folder is missing,
// kAccessDenied, kNoSpace, kIo). A failing sync of the folder is not
// reported, because the target already holds the new content and some file
// systems cannot sync folders.
Result<void> replace_file_with(FileSystem& fs, const std::string& path,
                               const std::function<Result<void>(OutputFile&)>& write_body);

// replace_file_with writing exactly `bytes`.
Result<void> replace_file(FileSystem& fs, const std::string& path, std::string_view bytes);

// Copies `from` over `to` through replace_file_with, kCopyChunkSize at a
// time, so `to` is either its old self or a full copy. Errors: those of
// open_read and read_at on `from` (then `to` is not touched), and those of
// replace_file_with.
Result<void> copy_file(FileSystem& fs, const std::string& from, const std::string& to);

// Deletes a folder with everything below it; errors are ignored. A link,
// the folder itself or anything below it, is deleted as a link and never
// entered, so nothing outside the tree is touched and links that lead back
// into it cannot make the walk endless.
void remove_tree(FileSystem& fs, const std::string& folder);

// The bytes of the files below a folder; links count nothing and are
// never entered. What cannot be listed or measured counts nothing.
std::int64_t tree_bytes(FileSystem& fs, const std::string& folder);

enum class ListFilter {
  kNormalFiles,  // files that are neither hidden nor system
  kAllFiles,     // every file, hidden ones included
  kFolders,      // folders only, hidden ones included
};

// Bare names in the pattern's folder, in listing order, that match its last
// part: '*' and '?' as wildcards, letter case ignored, and a final ".*"
// also matching names without a dot (so "*.*" matches every name).
// Names that hold a separator are left out (holds_separator).
// A missing folder gives an empty list. Errors: those of list other than
// kNotFound.
Result<std::vector<std::string>> list_matching(FileSystem& fs, const std::string& pattern, ListFilter filter);

}  // namespace pw
