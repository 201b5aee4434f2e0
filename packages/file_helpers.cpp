#include "packages/file_helpers.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "base/file_ops.h"
#include "base/text.h"
#include "packages/package_format.h"

namespace pw {
namespace {

constexpr std::size_t kMaxFolderEntries = 1000;

// Deletes one file, or a link itself, until it is gone or the attempts run
// out. A file held open elsewhere (the simulator, a virus scanner) may
// vanish a moment later, hence the short wait between attempts. The path
// is never a pattern: '*' and '?' in it are only characters of the name.
// Returns the failure that kept it, if any.
std::optional<Error> delete_until_gone(const OperationContext& op, const std::string& path) {
  std::optional<Error> failure;
  for (int attempt = 0; attempt < kDeleteAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(kDeleteRetryMs));
    const Result<void> removed = op.fs.remove_file(path);
    if (removed || removed.error().code == ErrorCode::kNotFound) return std::nullopt;
    failure = removed.error();
    if (failure->code == ErrorCode::kRefused) break;  // a name that fits several files stays so
    op.pump();
  }
  return failure;
}

bool less_ignoring_case(const std::string& a, const std::string& b) {
  const std::string la = to_lower(a);
  const std::string lb = to_lower(b);
  if (la != lb) return la < lb;
  return a < b;  // names that differ only in case still get a fixed order
}

// "a.bmp, sub, ..." of what is still inside a folder (the first few).
std::string left_inside(FileSystem& fs, const std::string& folder) {
  std::vector<std::string> names;
  for (const ListFilter filter : {ListFilter::kFolders, ListFilter::kAllFiles}) {
    auto listed = list_matching(fs, folder + "\\*.*", filter);
    if (listed) names.insert(names.end(), listed->begin(), listed->end());
  }
  std::string text;
  constexpr std::size_t kNamed = 5;
  for (std::size_t i = 0; i < names.size() && i < kNamed; ++i) text += (i == 0 ? "" : ", ") + names[i];
  if (names.size() > kNamed) text += ", ...";
  return text;
}

}  // namespace

void DeleteFileAndWait(const OperationContext& op, const std::string& path) { (void)delete_until_gone(op, path); }

Result<void> RemoveFolder(const OperationContext& op, const std::string& folder) {
  const std::string trimmed = trim_blanks(folder);
  if (op.fs.is_link(folder)) {  // the link goes, never what it leads to
    const std::optional<Error> failed = delete_until_gone(op, folder);
    if (!failed) return {};
    return make_error(failed->code, trimmed + " was left behind: " + failed->message);
  }
  std::optional<Error> why;
  if (auto entries = op.fs.list(trimmed)) {
    std::size_t taken = 0;
    // Hidden files are taken too, or the folder could never be removed.
    for (const DirEntry& entry : *entries) {
      if (entry.is_folder && !entry.is_link) continue;
      if (++taken > kMaxFolderEntries) break;
      if (auto failed = delete_until_gone(op, join_path(trimmed, entry.name))) why = failed;
    }
  }
  if (Result<void> removed = op.fs.remove_folder(folder); !removed && !why) why = removed.error();
  if (!op.fs.exists(folder)) return {};
  const std::string left = left_inside(op.fs, trimmed);
  return make_error(ErrorCode::kIo, trimmed + " was left behind" + (left.empty() ? "" : ", holding " + left) +
                                        (why ? ": " + why->message : ""));
}

std::optional<std::string> texture_folder_path(const std::string& aircraft_folder, const FltsimEntry& entry) {
  const std::string name = "Texture." + trim_blanks(entry.texture);
  if (!is_safe_entry_name(name)) return std::nullopt;
  return collapse_backslashes(aircraft_folder + "\\" + name);
}

std::vector<std::string> texture_file_names(FileSystem& fs, const std::string& aircraft_folder,
                                            const FltsimEntry& entry) {
  const auto folder = texture_folder_path(aircraft_folder, entry);
  if (!folder) return {};
  auto listed = list_matching(fs, collapse_backslashes(*folder + "\\*.*"), ListFilter::kNormalFiles);
  if (!listed) return {};
  std::vector<std::string> names;
  for (const std::string& name : *listed) names.push_back(trim_blanks(name));
  std::sort(names.begin(), names.end(), less_ignoring_case);
  if (names.size() > kMaxTextureRows) names.resize(kMaxTextureRows);
  return names;
}

std::optional<std::string> stored_preview(FileSystem& fs, const std::string& package_path) {
  auto opened = fs.open_read(package_path);
  if (!opened) return std::nullopt;
  auto preview = read_package_preview(**opened);
  if (!preview) return std::nullopt;
  return std::move(*preview);
}

std::optional<std::string> find_thumbnail(FileSystem& fs, const std::string& texture_folder) {
  for (const char* name : {"thumbnail.jpg", "thumbnail.bmp", "thumbnail.png"}) {
    std::string path = join_path(texture_folder, name);
    if (fs.exists(path) && !fs.is_folder(path)) return path;
  }
  return std::nullopt;
}

}  // namespace pw
