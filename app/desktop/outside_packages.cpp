#include "app/desktop/outside_packages.h"

#include <algorithm>

#include "app/command_texts.h"
#include "app/commands.h"
#include "app/desktop/dispatcher.h"
#include "app/desktop/hangar_lists.h"
#include "app/desktop/list_search.h"
#include "app/desktop/screen_lists.h"
#include "base/file_ops.h"
#include "base/text.h"

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

// The .pkg files of `paths`, a folder's in its place; the names of the
// rest go to `ignored`.
std::vector<std::string> package_paths(FileSystem& fs, const std::vector<std::string>& paths,
                                       std::vector<std::string>& ignored) {
  std::vector<std::string> packages;
  for (const std::string& path : paths) {
    const bool folder = fs.is_folder(path);
    if (!folder && is_package_name(path)) {
      packages.push_back(path);
      continue;
    }
    const std::vector<std::string> inside = folder ? folder_packages(fs, path) : std::vector<std::string>{};
    if (inside.empty()) ignored.push_back(file_name(path));
    packages.insert(packages.end(), inside.begin(), inside.end());
  }
  return packages;
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

}  // namespace

void open_packages(AppContext& ctx, const std::string& screen, const std::vector<std::string>& paths) {
  std::vector<std::string> ignored;
  const std::vector<std::string> packages = package_paths(ctx.fs, paths, ignored);
  if (!ignored.empty()) {
    ctx.view.ShowMessage(cr_lines({"Only repaint packages (*.pkg) can be installed; left out:", cr_lines(ignored)}),
                         kStyleOkOnly, kAppTitle);
  }
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
