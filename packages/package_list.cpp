// The install screen's package list, its selection handling and the
// browse check.
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "app/file_ops.h"
#include "app/text.h"
#include "config/ez_cfg.h"
#include "packages/file_helpers.h"
#include "packages/package_format.h"
#include "packages/package_installation.h"

namespace pw {
namespace {

constexpr const char* kInstallScreen = "frm_Install";

bool less_ignoring_case(const std::string& a, const std::string& b) {
  const std::string la = to_lower(a);
  const std::string lb = to_lower(b);
  if (la != lb) return la < lb;
  return a < b;
}

Error too_many_packages() {
  return make_error(ErrorCode::kRefused, "more than " + std::to_string(kMaxListedPackages) + " packages to list");
}

// Full paths of the .pkg files in <aircraft>\Downloads, sorted by name
// without regard to case as the simulator's platform lists them.
Result<std::vector<std::string>> downloaded_packages(AppContext& ctx) {
  const std::string folder = ctx.state.g_AircraftFolder + "\\Downloads\\";
  auto names = list_matching(ctx.fs, collapse_backslashes(folder) + "*.pkg", ListFilter::kNormalFiles);
  if (!names) return names.error();
  std::sort(names->begin(), names->end(), less_ignoring_case);
  std::vector<std::string> paths;
  for (const std::string& name : *names) {
    // The platform's wildcard also matches long extensions that merely start with .pkg.
    if (name.size() < 4 || !iequals(std::string_view(name).substr(name.size() - 4), ".pkg")) continue;
    if (paths.size() == static_cast<std::size_t>(kMaxListedPackages)) return too_many_packages();
    paths.push_back(folder + trim_blanks(name));
  }
  return paths;
}

Result<FltsimEntry> read_entry_of(FileSystem& fs, const std::string& path) {
  auto opened = fs.open_read(path);
  if (!opened) return opened.error();
  return read_package_entry(**opened);
}

// A folder text as the browse check compares it: lower case, runs of
// backslashes reduced to one, no trailing backslash. The carried text is
// NUL-filled, so NULs that reach the end of a value are dropped too.
std::string comparable_folder(std::string_view folder) {
  std::string text = to_lower(folder);
  while (text.find("\\\\") != std::string::npos) text = collapse_backslashes(text);
  while (!text.empty() && (text.back() == '\\' || text.back() == '\0')) text.pop_back();
  return text;
}

// The "folder" value of a carried configuration text, read the way the
// program reads every .rcf: through a file "tmp.rcf" in its own folder.
Result<std::string> carried_folder(AppContext& ctx, const std::string& rcf_text) {
  const std::string tmp = ctx.state.program_folder + "\\tmp.rcf";
  PW_TRY(replace_file(ctx.fs, tmp, rcf_text + "\r\n"));
  EZ_CFG cfg(ctx.fs);
  cfg.ReadCFG(tmp);
  (void)ctx.fs.remove_file(tmp);
  return cfg.GetValue("folder");
}

}  // namespace

Result<void> ListPackages(AppContext& ctx, const std::string& browsed) {
  auto paths = downloaded_packages(ctx);
  if (!paths) return paths.error();
  const std::string extra = trim_blanks(browsed);
  if (!extra.empty()) {
    if (paths->size() == static_cast<std::size_t>(kMaxListedPackages)) return too_many_packages();
    paths->push_back(extra);
  }
  std::vector<FltsimEntry> entries;
  std::vector<std::string> trimmed;
  for (const std::string& path : *paths) {
    auto entry = read_entry_of(ctx.fs, path);
    if (!entry) return entry.error();
    entries.push_back(std::move(*entry));
    trimmed.push_back(trim_blanks(path));
  }
  // Only a complete listing replaces the old one.
  SharedState& s = ctx.state;
  s.g_PackageLast = static_cast<std::int16_t>(static_cast<int>(entries.size()) - 1);
  s.g_PackageEntries = std::move(entries);
  s.g_PackagePaths = std::move(trimmed);
  return {};
}

void FillPackageList(AppContext& ctx, bool mark) {
  const SharedState& s = ctx.state;
  ListContent content;
  content.enabled = true;
  const int last = std::min<int>(s.g_PackageLast, static_cast<int>(s.g_PackageEntries.size()) - 1);
  for (int i = 0; i <= last; ++i) {
    std::string text = trim_blanks(s.g_PackageEntries[static_cast<std::size_t>(i)].ui_variation);
    if (mark && i == last) text = "*" + text;
    content.rows.push_back(ListRow{std::move(text), i, false});
  }
  content.current = content.rows.empty() ? -1 : 0;
  ctx.view.set_list(kInstallScreen, "lstPackages", content);
  // Also run for an empty list, so btn_Install cannot stay enabled with nothing to install.
  PackageListClicked(ctx);
}

void PackageListClicked(AppContext& ctx) {
  const ListContent content = ctx.view.list(kInstallScreen, "lstPackages");
  if (content.current >= 0 && static_cast<std::size_t>(content.current) < content.rows.size()) {
    ctx.view.set_busy(true);
    ShowPackagePreview(ctx, content.rows[static_cast<std::size_t>(content.current)].item_data);
    ctx.view.set_busy(false);
  }
  const bool any_checked =
      std::any_of(content.rows.begin(), content.rows.end(), [](const ListRow& row) { return row.checked; });
  ctx.view.set_button_state(kInstallScreen, "btn_Install", any_checked ? "enabled" : "disabled");
}

Result<bool> package_fits_aircraft(AppContext& ctx, const std::string& package_path) {
  auto entry = read_entry_of(ctx.fs, package_path);
  if (!entry) return entry.error();
  auto folder = carried_folder(ctx, entry->rcf_text);
  if (!folder) return folder.error();
  const SharedState& s = ctx.state;
  return comparable_folder(s.g_AircraftFolder) == comparable_folder(s.g_SimRoot + "\\" + *folder);
}

void BrowseForPackages(AppContext& ctx) {
  const auto chosen = ctx.view.open_file(kInstallScreen, OpenFileRequest{"Package File (*.pkg)|*.pkg", ""});
  if (!chosen) return;
  const std::string path = trim_blanks(*chosen);
  if (path.empty()) return;
  const Result<bool> fits = package_fits_aircraft(ctx, path);
  if (!fits) return;
  if (!*fits) {
    ctx.view.ShowMessage(kFolderMismatchMessage, kStyleOkOnly, kAppTitle);
    return;
  }
  if (!ListPackages(ctx, path)) return;
  FillPackageList(ctx, true);
}

}  // namespace pw
