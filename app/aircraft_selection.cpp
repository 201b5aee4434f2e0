#include "app/aircraft_selection.h"

#include <utility>

#include "aircraft/cfg_files.h"
#include "aircraft/entry_list.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "config/ez_cfg.h"
#include "packages/package_format.h"
#include "packages/package_installation.h"

namespace pw {
namespace {

bool is_package_path(const std::string& path) { return ends_with_ci(path, ".pkg"); }

Error unusable_file(const std::string& path, const Error& why) {
  return make_error(why.code, "The file " + path + " cannot be used to select an aircraft: " + why.message);
}

// The configuration text a package carries.
Result<std::string> load_package_rcf(FileSystem& fs, const std::string& path) {
  Result<std::unique_ptr<InputFile>> file = fs.open_read(path);
  if (!file) return unusable_file(path, file.error());
  Result<FltsimEntry> entry = read_package_entry(**file);
  if (!entry) return unusable_file(path, entry.error());
  // A download cut short still carries its head: only the whole package
  // shows that it is no package to work from.
  if (Result<void> whole = check_package_whole(fs, path); !whole) return unusable_file(path, whole.error());
  return entry->rcf_text;
}

// The whole .rcf, read once: its first 1000 bytes, NUL-filled beyond its
// end, are the configuration text the packages carry.
Result<std::string> load_rcf(FileSystem& fs, const std::string& path) {
  Result<std::string> bytes = read_whole_file(fs, path, kMaxCfgBytes);
  if (!bytes) return unusable_file(path, bytes.error());
  return std::move(*bytes);
}

std::string carried_text(const std::string& rcf) {
  std::string head = rcf.substr(0, kRcfTextSize);
  head.resize(kRcfTextSize, '\0');
  return head;
}

Result<AircraftListing> read_listing(Session& session, const std::string& folder) {
  Result<std::shared_ptr<const ProfileDocument>> cfg = session.profiles.load(aircraft_cfg_path(folder));
  if (!cfg) return make_error(cfg.error().code, std::string(kAircraftListError) + ": " + cfg.error().message);
  return read_aircraft_entries(**cfg);
}

// The new aircraft and its packages, read without touching the shared state.
struct Candidate {
  AircraftState aircraft;
  PackageListing packages;
  SelectedAircraft shown;
};

Result<Candidate> read_candidate(Session& session, const std::string& path, const std::string& text) {
  EZ_CFG cfg(session.fs);
  // The NULs that pad a package's carried text are not part of it: left on
  // the last line they would become part of its value.
  cfg.ReadCFGText(is_package_path(path) ? text.substr(0, text.find('\0')) + "\r\n" : text);
  const std::string rcf_text = is_package_path(path) ? text : carried_text(text);
  const std::optional<std::string> named =
      aircraft_folder_for(session.state.g_SimRoot, session.state.addon_folders, cfg.GetValue("folder"));
  if (!named) return make_error(ErrorCode::kRefused, kNoFolderMessage);
  const std::string& folder = *named;
  if (!session.fs.exists(folder)) {
    return make_error(ErrorCode::kNotFound, "The aircraft folder listed for " + cfg.GetValue("title") +
                                                " does not exist. Please check your configuration and try again.");
  }
  Candidate next;
  next.aircraft.g_AircraftFolder = folder;
  next.aircraft.g_RcfText = rcf_text;
  next.aircraft.g_ExcludeList = cfg.GetValue("exclude");
  next.aircraft.g_FirstFreeFltsim = session.state.g_FirstFreeFltsim;
  Result<AircraftListing> listing = read_listing(session, folder);
  if (!listing) return listing.error();
  take_listing(next.aircraft, std::move(*listing));
  Result<PackageListing> packages = list_packages(session.fs, folder, is_package_path(path) ? path : "");
  if (!packages) return packages.error();
  next.packages = std::move(*packages);
  next.shown = {cfg.GetValue("title"), cfg.GetValue("folder"), cfg.GetValue("information")};
  return next;
}

}  // namespace

Result<void> get_aircraft_list(Session& session) {
  SharedState& s = session.state;
  Result<AircraftListing> listing = read_listing(session, s.g_AircraftFolder);
  take_listing(s, listing ? std::move(*listing) : AircraftListing{});
  if (!listing) return listing.error();
  return {};
}

Result<SelectedAircraft> select_aircraft_file(Session& session, const std::string& path) {
  Result<std::string> text = is_package_path(path) ? load_package_rcf(session.fs, path) : load_rcf(session.fs, path);
  if (!text) return text.error();
  Result<Candidate> next = read_candidate(session, path, *text);
  if (!next) return next.error();
  SharedState& s = session.state;
  static_cast<AircraftState&>(s) = std::move(next->aircraft);
  take_packages(s, std::move(next->packages));
  return std::move(next->shown);
}

void make_selection_files(Session& session, bool from_package) {
  const SharedState& s = session.state;
  const std::string downloads = s.g_AircraftFolder + "\\Downloads";
  if (!session.fs.exists(downloads)) (void)session.fs.make_folder(downloads);
  BackupAircraftCfgOnce(session.fs, s.g_AircraftFolder);
  // Kept where it always was; the program's folder is often read-only
  // (Program Files), and nothing reads the copy back.
  if (from_package) (void)replace_file(session.fs, join_path(s.program_folder, "package.rcf"), s.g_RcfText + "\r\n");
}

}  // namespace pw
