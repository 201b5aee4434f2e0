#include "packages/file_helpers.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "app/file_ops.h"
#include "app/text.h"
#include "packages/package_format.h"

namespace pw {
namespace {

constexpr const char* kPackageScreen = "frm_Package";
constexpr const char* kInstallScreen = "frm_Install";
constexpr std::size_t kMaxFolderEntries = 1000;

// Deletes the matching files of one kind until none is left or the
// attempts run out. A file held open elsewhere (the simulator, a virus
// scanner) may vanish a moment later, hence the short wait between passes.
void delete_matching(AppContext& ctx, const std::string& pattern, ListFilter filter) {
  const std::string folder = parent_path(pattern);
  for (int attempt = 0; attempt < kDeleteAttempts; ++attempt) {
    auto names = list_matching(ctx.fs, pattern, filter);
    if (!names || names->empty()) return;
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(kDeleteRetryMs));
    for (const std::string& name : *names) (void)ctx.fs.remove_file(join_path(folder, name));
    ctx.view.pump_events();
  }
}

bool less_ignoring_case(const std::string& a, const std::string& b) {
  const std::string la = to_lower(a);
  const std::string lb = to_lower(b);
  if (la != lb) return la < lb;
  return a < b;  // names that differ only in case still get a fixed order
}

// The rows of lstTextures for one entry: its texture folder's normal files.
std::vector<std::string> texture_file_names(AppContext& ctx, int entryIndex) {
  const SharedState& s = ctx.state;
  if (entryIndex < 0 || static_cast<std::size_t>(entryIndex) >= s.g_AircraftEntries.size()) return {};
  const auto folder = texture_folder_path(s, s.g_AircraftEntries[static_cast<std::size_t>(entryIndex)]);
  if (!folder) return {};
  auto listed = list_matching(ctx.fs, collapse_backslashes(*folder + "\\*.*"), ListFilter::kNormalFiles);
  if (!listed) return {};
  std::vector<std::string> names;
  for (const std::string& name : *listed) names.push_back(trim_blanks(name));
  std::sort(names.begin(), names.end(), less_ignoring_case);
  if (names.size() > kMaxTextureRows) names.resize(kMaxTextureRows);
  return names;
}

// The preview bitmap stored in a package; nullopt when it has none or
// cannot be read any more.
std::optional<std::string> stored_preview(AppContext& ctx, const std::string& package_path) {
  auto opened = ctx.fs.open_read(package_path);
  if (!opened) return std::nullopt;
  auto preview = read_package_preview(**opened);
  if (!preview) return std::nullopt;
  return std::move(*preview);
}

}  // namespace

void DeleteFileAndWait(AppContext& ctx, const std::string& path_or_pattern) {
  delete_matching(ctx, path_or_pattern, ListFilter::kNormalFiles);
}

void RemoveFolder(AppContext& ctx, const std::string& folder) {
  const std::string trimmed = trim_blanks(folder);
  // Hidden files are taken too, or the folder could never be removed.
  auto names = list_matching(ctx.fs, trimmed + "\\*.*", ListFilter::kAllFiles);
  if (names) {
    if (names->size() > kMaxFolderEntries) names->resize(kMaxFolderEntries);
    for (const std::string& name : *names) delete_matching(ctx, join_path(trimmed, name), ListFilter::kAllFiles);
  }
  (void)ctx.fs.remove_folder(folder);
}

std::optional<std::string> texture_folder_path(const SharedState& state, const FltsimEntry& entry) {
  const std::string name = "Texture." + trim_blanks(entry.texture);
  if (!is_safe_entry_name(name)) return std::nullopt;
  return collapse_backslashes(state.g_AircraftFolder + "\\" + name);
}

void ListTextureFiles(AppContext& ctx, int entryIndex) {
  ListContent content;
  content.enabled = true;
  const std::vector<std::string> names = texture_file_names(ctx, entryIndex);
  for (std::size_t i = 0; i < names.size(); ++i) {
    content.rows.push_back(ListRow{names[i], static_cast<int>(i), true});
  }
  content.current = content.rows.empty() ? -1 : 0;
  ctx.view.set_list(kPackageScreen, "lstTextures", content);
}

void ShowPackagePreview(AppContext& ctx, int packageIndex) {
  const SharedState& s = ctx.state;
  if (packageIndex < 0 || packageIndex > s.g_PackageLast ||
      static_cast<std::size_t>(packageIndex) >= s.g_PackagePaths.size()) {
    return;
  }
  const auto preview = stored_preview(ctx, trim_blanks(s.g_PackagePaths[static_cast<std::size_t>(packageIndex)]));
  if (!preview) return;
  const std::string temp = temp_preview_path(s);
  // Showing the old file after a failed write would show another package's picture.
  if (!replace_file(ctx.fs, temp, *preview)) return;
  (void)ctx.view.show_picture(kInstallScreen, "picPreview", temp);
}

std::string temp_preview_path(const SharedState& state) {
  return state.program_folder + "\\Media\\tmpPreviewImage.bmp";
}

}  // namespace pw
