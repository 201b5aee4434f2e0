#include "app/aircraft_selection.h"

#include "aircraft/cfg_files.h"
#include "aircraft/entry_list.h"
#include "app/file_ops.h"
#include "app/safeguards.h"
#include "app/text.h"
#include "config/ez_cfg.h"
#include "packages/package_creation.h"
#include "packages/package_format.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"

namespace pw {
namespace {

constexpr const char* kSelectFilter = "Package File (*.pkg)|*.pkg|Repaint Configuration File (*.rcf)|*.rcf";

bool is_package_path(const std::string& path) { return ends_with_ci(path, ".pkg"); }

// The configuration text a package carries, copied to package.rcf in the
// program's folder as a selection from a package does.
Result<std::string> load_package_rcf(AppContext& ctx, const std::string& path) {
  Result<std::unique_ptr<InputFile>> file = ctx.fs.open_read(path);
  if (!file) return file.error();
  Result<FltsimEntry> entry = read_package_entry(**file);
  if (!entry) return entry.error();
  PW_TRY(replace_file(ctx.fs, join_path(ctx.state.program_folder, "package.rcf"), entry->rcf_text + "\r\n"));
  return entry->rcf_text;
}

// The first 1000 bytes of an .rcf, NUL-filled beyond its end.
Result<std::string> load_rcf_head(AppContext& ctx, const std::string& path) {
  Result<std::unique_ptr<InputFile>> file = ctx.fs.open_read(path);
  if (!file) return file.error();
  std::string head(kRcfTextSize, '\0');
  Result<std::size_t> got = (*file)->read_at(0, head);
  if (!got) return got.error();
  return head;
}

// A folder value that climbs out of the simulator root is not an aircraft
// folder: a package from a stranger must not aim our writes elsewhere.
bool climbs_out(const std::string& folder_value) {
  const std::string unified = "\\" + replace_all(folder_value, "/", "\\") + "\\";
  return unified.find("\\..\\") != std::string::npos || folder_value.find(':') != std::string::npos;
}

void fill_main_labels(AppContext& ctx, const EZ_CFG& cfg) {
  ctx.view.set_label("frm_Main", "Label5", "Selected Aircraft: " + cfg.GetValue("title"));
  ctx.view.set_label("frm_Main", "Label6", "Aircraft Folder: " + cfg.GetValue("folder"));
  ctx.view.set_label("frm_Main", "lblInfo", "Information: " + cfg.GetValue("information"));
}

}  // namespace

void get_aircraft_list(AppContext& ctx) {
  SharedState& s = ctx.state;
  s.g_AircraftEntries.clear();
  s.g_AircraftSections.clear();
  s.g_AircraftWhole.clear();
  s.g_AircraftLast = -1;
  Result<std::shared_ptr<const ProfileDocument>> cfg = ctx.profiles.load(aircraft_cfg_path(s.g_AircraftFolder));
  if (!cfg) {
    ctx.view.ShowMessage("Error in the get_aircraft_list sub routine", kStyleOkOnly, kAppTitle);
    return;
  }
  AircraftListing listing = read_aircraft_entries(**cfg);
  s.g_AircraftEntries = std::move(listing.entries);
  s.g_AircraftSections = std::move(listing.section_numbers);
  s.g_AircraftWhole = std::move(listing.whole);
  s.g_AircraftLast = static_cast<std::int16_t>(s.g_AircraftEntries.size()) - 1;
  if (listing.first_free) s.g_FirstFreeFltsim = *listing.first_free;
}

void reread_aircraft(AppContext& ctx) {
  get_aircraft_list(ctx);
  FillRemoveAircraftList(ctx);
  FillPackageAircraftList(ctx);
}

void select_aircraft(AppContext& ctx) {
  const std::optional<std::string> path = ctx.view.open_file("frm_Main", {kSelectFilter, ""});
  if (path) select_aircraft_file(ctx, *path);
}

bool select_aircraft_file(AppContext& ctx, const std::string& path) {
  const bool from_package = is_package_path(path);
  Result<std::string> rcf_text = from_package ? load_package_rcf(ctx, path) : load_rcf_head(ctx, path);
  if (!rcf_text) return false;
  EZ_CFG cfg(ctx.fs);
  if (from_package) {
    // The NULs that pad the carried text are not part of it: left on the
    // last line they would become part of its value.
    cfg.ReadCFGText(rcf_text->substr(0, rcf_text->find('\0')) + "\r\n");
  } else {
    cfg.ReadCFG(path);
  }

  const std::string folder_value = cfg.GetValue("folder");
  if (folder_value.empty() || climbs_out(folder_value)) {
    ctx.view.ShowMessage(kNoFolderMessage, kStyleOkOnly, kAppTitle);
    return false;
  }
  std::string folder = collapse_backslashes(ctx.state.g_SimRoot + "\\" + folder_value);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (!ctx.fs.exists(folder)) {
    ctx.view.ShowMessage("The aircraft folder listed for " + cfg.GetValue("title") +
                             " does not exist. Please check your configuration and try again.",
                         kStyleOkOnly, kAppTitle);
    return false;
  }

  SharedState& s = ctx.state;
  s.g_RcfText = *rcf_text;
  s.g_AircraftFolder = folder;
  fill_main_labels(ctx, cfg);
  s.g_ExcludeList = cfg.GetValue("exclude");
  reread_aircraft(ctx);
  if (!ListPackages(ctx, from_package ? path : std::string()).ok()) return false;
  FillPackageList(ctx, from_package);
  for (const char* button : {"btn_Add", "btn_Edit", "btn_Upload"}) ctx.view.set_button_state("frm_Main", button, "enabled");
  const std::string downloads = s.g_AircraftFolder + "\\Downloads";
  if (!ctx.fs.exists(downloads)) (void)ctx.fs.make_folder(downloads);
  BackupAircraftCfgOnce(ctx.fs, s.g_AircraftFolder);
  check_and_offer_repair(ctx);
  return true;
}

}  // namespace pw
