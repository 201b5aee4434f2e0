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
  // The check every listing makes, so a package listed as damaged is
  // refused here and one listed as usable is not.
  Result<PackageHead> head = read_head_of(fs, path);
  if (!head) return unusable_file(path, head.error());
  return head->entry.rcf_text;
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

// The folder an .rcf names, as selection would take it.
std::optional<std::string> named_folder(Session& session, const std::string& rcf) {
  EZ_CFG cfg(session.fs);
  cfg.ReadCFG(rcf);
  return aircraft_folder_for(session.state.g_SimRoot, session.state.addon_folders, cfg.GetValue("folder"));
}

// The painter's own .rcf for the folder, where one in the root names it.
std::optional<std::string> root_rcf_naming(Session& session, const std::string& folder) {
  const std::string& root = session.state.g_SimRoot;
  Result<std::vector<std::string>> names = list_matching(session.fs, join_path(root, "*.rcf"), ListFilter::kNormalFiles);
  for (const std::string& name : names ? *names : std::vector<std::string>{}) {
    const std::string rcf = join_path(root, name);
    const std::optional<std::string> named = named_folder(session, rcf);
    if (named && is_same_folder(*named, folder)) return rcf;
  }
  return std::nullopt;
}

// The .rcf text a painter would have written for the folder: where it is
// and its first entry's title, nothing excluded.
Result<std::string> made_up_rcf(Session& session, const std::string& folder) {
  if (!session.fs.exists(aircraft_cfg_path(folder))) {
    return make_error(ErrorCode::kNotFound, "The folder " + folder + " cannot be used to select an aircraft: it holds no aircraft.cfg");
  }
  Result<AircraftListing> listing = read_listing(session, folder);
  if (!listing) return listing.error();
  const std::string title = listing->entries.empty() ? "" : listing->entries.front().title;
  std::string text = "folder=" + folder_value_for(session.state.g_SimRoot, folder) + "\r\ntitle=" + title + "\r\n";
  text.resize(kRcfTextSize, '\0');
  return text;
}

// `carried`: a package's configuration text or a made-up one, padded with
// NULs to its fixed size; otherwise the whole .rcf.
Result<Candidate> read_candidate(Session& session, const std::string& path, const std::string& text, bool carried) {
  EZ_CFG cfg(session.fs);
  // The NULs that pad a carried text are not part of it: left on the last
  // line they would become part of its value.
  cfg.ReadCFGText(carried ? text.substr(0, text.find('\0')) + "\r\n" : text);
  const std::string rcf_text = carried ? text : carried_text(text);
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
  const bool from_package = is_package_path(path);
  const bool from_folder = !from_package && session.fs.is_folder(path);
  if (from_folder) {
    if (const std::optional<std::string> rcf = root_rcf_naming(session, path)) return select_aircraft_file(session, *rcf);
  }
  Result<std::string> text = from_package  ? load_package_rcf(session.fs, path)
                             : from_folder ? made_up_rcf(session, path)
                                           : load_rcf(session.fs, path);
  if (!text) return text.error();
  Result<Candidate> next = read_candidate(session, path, *text, from_package || from_folder);
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
