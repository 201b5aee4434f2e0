#include "app/desktop/outside_packages.h"

#include <algorithm>

#include "app/command_texts.h"
#include "app/commands.h"
#include "app/desktop/dispatcher.h"
#include "app/desktop/download_command.h"
#include "app/desktop/hangar_lists.h"
#include "app/desktop/list_search.h"
#include "app/desktop/screen_lists.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "packages/download.h"

namespace pw {
namespace {

constexpr const char* kInstallScreen = "frm_Install";
constexpr const char* kHangar = "frm_Hangar";

bool is_package_name(const std::string& path) { return ends_with_ci(path, ".pkg"); }

bool contains_path(const std::vector<std::string>& paths, const std::string& path) {
  return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return iequals(p, path); });
}

// The .pkg files directly in `folder`, in name order.
std::vector<std::string> folder_packages(FileSystem& fs, const std::string& folder) {
  std::vector<std::string> packages;
  auto names = list_matching(fs, join_path(folder, "*.pkg"), ListFilter::kNormalFiles);
  if (!names) return packages;
  std::sort(names->begin(), names->end());
  for (const std::string& name : *names) {
    if (is_package_name(name)) packages.push_back(join_path(folder, name));
  }
  return packages;
}

// True when a Texture.* folder stands in `folder` or below it, a few
// levels deep as downloads nest them; links are not entered.
bool holds_texture_folder(FileSystem& fs, const std::string& folder, int depth = 6) {
  Result<std::vector<DirEntry>> entries = fs.list(folder);
  if (!entries || depth == 0) return false;
  return std::any_of(entries->begin(), entries->end(), [&](const DirEntry& e) {
    if (!e.is_folder || e.is_link || holds_separator(e.name)) return false;
    return to_lower(e.name).starts_with("texture.") || holds_texture_folder(fs, join_path(folder, e.name), depth - 1);
  });
}

// What was given, sorted: .pkg files (a folder's in its place), downloads
// (archives, and folders holding texture folders but no package), and the
// names of the rest.
struct OpenedPaths {
  std::vector<std::string> packages;
  std::vector<std::string> downloads;
  std::vector<std::string> ignored;
};

OpenedPaths sorted_paths(FileSystem& fs, const std::vector<std::string>& paths) {
  OpenedPaths sorted;
  for (const std::string& path : paths) {
    const bool folder = fs.is_folder(path);
    if (!folder && is_package_name(path)) {
      sorted.packages.push_back(path);
      continue;
    }
    const std::vector<std::string> inside = folder ? folder_packages(fs, path) : std::vector<std::string>{};
    sorted.packages.insert(sorted.packages.end(), inside.begin(), inside.end());
    if (!inside.empty()) continue;
    const bool download = folder ? holds_texture_folder(fs, path) : is_archive_name(path);
    (download ? sorted.downloads : sorted.ignored).push_back(download ? path : file_name(path));
  }
  return sorted;
}

std::vector<std::string> browsed_now(const SharedState& s) {
  std::vector<std::string> browsed;
  std::copy_if(s.g_PackagePaths.begin(), s.g_PackagePaths.end(), std::back_inserter(browsed),
               [&s](const std::string& path) { return is_browsed_package(s, path); });
  return browsed;
}

const std::string* listed_path(const SharedState& s, int item_data) {
  if (item_data < 0 || item_data > s.g_PackageLast || static_cast<std::size_t>(item_data) >= s.g_PackagePaths.size()) {
    return nullptr;
  }
  return &s.g_PackagePaths[static_cast<std::size_t>(item_data)];
}

std::vector<std::string> ticked_paths(AppContext& ctx, const char* screen = kInstallScreen) {
  std::vector<std::string> ticked;
  for (const ListRow& row : ctx.view.list(screen, "lstPackages").rows) {
    const std::string* path = listed_path(ctx.state, row.item_data);
    if (row.checked && path != nullptr) ticked.push_back(*path);
  }
  return ticked;
}

void tick_packages(AppContext& ctx, const std::vector<std::string>& paths, const char* screen = kInstallScreen) {
  ListContent content = ctx.view.list(screen, "lstPackages");
  for (ListRow& row : content.rows) {
    const std::string* path = listed_path(ctx.state, row.item_data);
    if (path != nullptr && row.enabled && contains_path(paths, *path)) row.checked = true;
  }
  ctx.view.set_list(screen, "lstPackages", content);
  RefilterList(ctx, screen, "lstPackages");
  if (screen == kHangar) return HangarListClicked(ctx, "lstPackages");
  PackageListClicked(ctx);
}

// The browse check; a package that fails it is named with the reason.
bool fits_aircraft(AppContext& ctx, const std::string& path) {
  const SharedState& s = ctx.state;
  const Result<bool> fits = package_fits_aircraft(ctx.fs, s.g_SimRoot, s.addon_folders, s.g_AircraftFolder, path);
  if (!fits) ctx.view.ShowMessage(with_reason(package_error_text(path), fits.error()), kStyleOkOnly, kAppTitle);
  if (fits && !*fits) ctx.view.ShowMessage(folder_mismatch_text(ctx, path), kStyleOkOnly, kAppTitle);
  return fits && *fits;
}

// The packages join the install list as browsed ones, ticked.
void list_browsed_packages(AppContext& ctx, const std::string& screen, const std::vector<std::string>& packages) {
  if (packages.empty()) return;
  if (ctx.state.g_AircraftFolder.empty() && !select_aircraft_path(ctx, packages.front())) return;
  std::vector<std::string> ticked = ticked_paths(ctx);
  std::vector<std::string> browsed = browsed_now(ctx.state);
  const std::size_t browsed_before = browsed.size();
  std::vector<std::string> wanted;
  for (const std::string& path : packages) {
    const bool listed = contains_path(ctx.state.g_PackagePaths, path) || contains_path(browsed, path);
    if (!listed && !fits_aircraft(ctx, path)) continue;
    if (!listed) browsed.push_back(path);
    wanted.push_back(path);
  }
  if (wanted.empty()) return;
  if (browsed.size() > browsed_before) {
    if (Result<void> listed = ListPackages(ctx, browsed); !listed) {
      ctx.view.ShowMessage(with_reason(package_error_text(browsed.back()), listed.error()), kStyleOkOnly, kAppTitle);
      return;
    }
    FillPackageList(ctx, true);
  }
  ticked.insert(ticked.end(), wanted.begin(), wanted.end());
  tick_packages(ctx, ticked);
  if (screen == "frm_Main" || screen == "frm_Package") ctx.view.show_screen_in_place(kInstallScreen, screen);
}

}  // namespace

void open_packages(AppContext& ctx, const std::string& screen, const std::vector<std::string>& paths) {
  const OpenedPaths sorted = sorted_paths(ctx.fs, paths);
  if (!sorted.ignored.empty()) {
    ctx.view.ShowMessage(cr_lines({"Only repaint packages (*.pkg) and downloads (*.zip, *.7z, *.rar, or a folder holding Texture.* folders) can be "
                                   "installed; left out:", cr_lines(sorted.ignored)}),
                         kStyleOkOnly, kAppTitle);
  }
  list_browsed_packages(ctx, screen, sorted.packages);
  if (!sorted.downloads.empty()) open_downloads(ctx, sorted.downloads);
}

void relist_packages(AppContext& ctx) {
  if (ctx.state.g_AircraftFolder.empty()) return;
  const std::vector<std::string> ticked = ticked_paths(ctx);
  const std::vector<std::string> hangar_ticked = ticked_paths(ctx, kHangar);
  const std::vector<std::string> browsed = browsed_now(ctx.state);
  if (!ListPackages(ctx, browsed).ok()) return;
  FillPackageList(ctx, !browsed.empty());
  tick_packages(ctx, ticked);
  tick_packages(ctx, hangar_ticked, kHangar);
}

}  // namespace pw
