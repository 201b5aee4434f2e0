#include "app/desktop/screen_lists.h"

#include <algorithm>
#include <utility>

#include "app/commands.h"
#include "app/desktop/undo_command.h"
#include "app/desktop/hangar_lists.h"
#include "app/desktop/list_search.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "packages/file_helpers.h"
#include "packages/repaint_removal.h"

namespace pw {
namespace {

constexpr const char* kPackageScreen = "frm_Package";
constexpr const char* kInstallScreen = "frm_Install";
constexpr const char* kRemoveScreen = "frm_Remove";

ListRow row_of(std::string text, int item_data, bool checked) {
  ListRow row;
  row.text = std::move(text);
  row.item_data = item_data;
  row.checked = checked;
  return row;
}

bool any_checked(const ListContent& content) {
  return std::any_of(content.rows.begin(), content.rows.end(), [](const ListRow& row) { return row.checked; });
}

}  // namespace

ListContent package_rows(const SharedState& s, bool mark) {
  ListContent content;
  const int last = std::min<int>(s.g_PackageLast, static_cast<int>(s.g_PackageEntries.size()) - 1);
  for (int i = 0; i <= last; ++i) {
    std::string text = trim_blanks(s.g_PackageEntries[static_cast<std::size_t>(i)].ui_variation);
    if (mark && is_browsed_package(s, s.g_PackagePaths[static_cast<std::size_t>(i)])) text = "*" + text;
    content.rows.push_back(row_of(std::move(text), i, false));
    if (static_cast<std::size_t>(i) < s.g_PackagePaths.size()) {
      content.rows.back().picture = trim_blanks(s.g_PackagePaths[static_cast<std::size_t>(i)]);
    }
  }
  for (const DamagedPackage& damaged : s.damaged_packages) {
    ListRow row = row_of(file_name(damaged.path), -1, false);
    row.enabled = false;
    row.tooltip = "Cannot be installed: " + damaged.reason;
    content.rows.push_back(std::move(row));
  }
  content.current = content.rows.empty() ? -1 : 0;
  return content;
}

void FillPackageList(AppContext& ctx, bool mark) {
  ctx.view.set_list(kInstallScreen, "lstPackages", package_rows(ctx.state, mark));
  RefilterList(ctx, kInstallScreen, "lstPackages");
  // Also run for an empty list, so btn_Install cannot stay enabled with nothing to install.
  PackageListClicked(ctx);
  FillHangarPackages(ctx, mark);
}

void PackageListClicked(AppContext& ctx) {
  const ListContent content = ctx.view.list(kInstallScreen, "lstPackages");
  if (content.current >= 0 && static_cast<std::size_t>(content.current) < content.rows.size() &&
      !content.rows[static_cast<std::size_t>(content.current)].hidden) {
    ctx.view.set_busy(true);
    ShowPackagePreview(ctx, content.rows[static_cast<std::size_t>(content.current)].item_data);
    ctx.view.set_busy(false);
  }
  ctx.view.set_button_state(kInstallScreen, "btn_Install", any_checked(content) ? "enabled" : "disabled");
  CountTicks(ctx, kInstallScreen, "lstPackages");
}

void ShowPackagePreview(AppContext& ctx, int packageIndex) {
  const SharedState& s = ctx.state;
  if (packageIndex < 0 || packageIndex > s.g_PackageLast ||
      static_cast<std::size_t>(packageIndex) >= s.g_PackagePaths.size()) {
    return;
  }
  const auto preview = stored_preview(ctx.fs, trim_blanks(s.g_PackagePaths[static_cast<std::size_t>(packageIndex)]));
  if (preview) (void)ctx.view.show_picture_data(kInstallScreen, "picPreview", *preview);
}

void FillPackageAircraftList(AppContext& ctx) {
  const SharedState& s = ctx.state;
  ListContent content;
  const int last = std::min<int>(s.g_AircraftLast, static_cast<int>(s.g_AircraftEntries.size()) - 1);
  for (int i = 0; i <= last; ++i) {
    content.rows.push_back(row_of(trim_blanks(s.g_AircraftEntries[static_cast<std::size_t>(i)].ui_variation), i, false));
  }
  content.current = content.rows.empty() ? -1 : 0;
  ctx.view.set_list(kPackageScreen, "lstAircraft", content);
  // With no entry left the file list would still show a removed repaint's files.
  if (content.rows.empty()) ListTextureFiles(ctx, -1);
  PackageAircraftClicked(ctx);
}

void PackageAircraftClicked(AppContext& ctx) {
  const ListContent content = ctx.view.list(kPackageScreen, "lstAircraft");
  if (content.current < 0 || static_cast<std::size_t>(content.current) >= content.rows.size()) return;
  ListTextureFiles(ctx, content.rows[static_cast<std::size_t>(content.current)].item_data);
}

void ListTextureFiles(AppContext& ctx, int entryIndex) {
  const SharedState& s = ctx.state;
  ListContent content;
  if (entryIndex >= 0 && static_cast<std::size_t>(entryIndex) < s.g_AircraftEntries.size()) {
    const std::vector<std::string> names =
        texture_file_names(ctx.fs, s.g_AircraftFolder, s.g_AircraftEntries[static_cast<std::size_t>(entryIndex)]);
    for (std::size_t i = 0; i < names.size(); ++i) content.rows.push_back(row_of(names[i], static_cast<int>(i), true));
  }
  content.current = content.rows.empty() ? -1 : 0;
  ctx.view.set_list(kPackageScreen, "lstTextures", content);
}

void FillRemoveAircraftList(AppContext& ctx) {
  const SharedState& s = ctx.state;
  ListContent content;
  for (const int i : removable_entries(s)) {
    const FltsimEntry& entry = s.g_AircraftEntries[static_cast<std::size_t>(i)];
    content.rows.push_back(row_of(trim_blanks(entry.ui_variation), i, false));
    content.rows.back().picture = texture_folder_path(s.g_AircraftFolder, entry).value_or("");
  }
  if (!content.rows.empty()) content.current = 0;
  ctx.view.set_list(kRemoveScreen, "lstAircraft", content);
  RefilterList(ctx, kRemoveScreen, "lstAircraft");
  // Also for an empty list: the remove button must not stay usable then.
  RemoveListClicked(ctx);
}

void RemoveListClicked(AppContext& ctx) {
  const ListContent content = ctx.view.list(kRemoveScreen, "lstAircraft");
  ctx.view.set_button_state(kRemoveScreen, "btn_Remove", any_checked(content) ? "enabled" : "disabled");
  CountTicks(ctx, kRemoveScreen, "lstAircraft");
}

void reread_aircraft(AppContext& ctx) {
  if (Result<void> listed = get_aircraft_list(ctx); !listed) ctx.view.ShowMessage(kAircraftListError, kStyleOkOnly, kAppTitle);
  FillRemoveAircraftList(ctx);
  FillPackageAircraftList(ctx);
  show_last_operation(ctx);
  FillHangarRepaints(ctx);
}

void show_selected_aircraft(AppContext& ctx, const SelectedAircraft& selected, bool browsed_package) {
  ctx.view.set_label("frm_Main", "Label5", "Selected Aircraft: " + selected.title);
  ctx.view.set_label("frm_Main", "Label6", "Aircraft Folder: " + selected.folder);
  ctx.view.set_label("frm_Main", "lblInfo", "Information: " + selected.information);
  FillRemoveAircraftList(ctx);
  FillPackageAircraftList(ctx);
  FillHangarRepaints(ctx);
  FillPackageList(ctx, browsed_package);
  for (const char* button : {"btn_Add", "btn_Edit", "btn_Upload", "btn_Hangar"}) ctx.view.set_button_state("frm_Main", button, "enabled");
  show_last_operation(ctx);
}

}  // namespace pw
