#include "app/commands.h"

#include <utility>

#include "aircraft/cfg_files.h"
#include "app/aircraft_selection.h"
#include "app/history_commands.h"
#include "app/safeguards.h"
#include "base/file_ops.h"
#include "base/text.h"

namespace pw {
namespace {

Error with_context(const std::string& what, const Error& error) {
  return make_error(error.code, what + ": " + error.message);
}

bool is_listed_package(const SharedState& s, int k) {
  return k >= 0 && k <= s.g_PackageLast && static_cast<std::size_t>(k) < s.g_PackageEntries.size() &&
         static_cast<std::size_t>(k) < s.g_PackagePaths.size();
}

// Removes the installed entry `index` (of the entries as the file holds them
// now) and its folder, so that a package can take its place.
Result<void> remove_installed(Session& session, std::size_t index) {
  PW_TRY(get_aircraft_list(session));
  std::vector<bool> selection(session.state.g_AircraftEntries.size(), false);
  selection[index] = true;
  const RemovalReport removal = remove_entries(session, selection);
  (void)get_aircraft_list(session);
  if (removal.outcome == RemovalOutcome::kDone) return {};
  return with_context("the installed entry could not be removed", removal.error);
}

// After every operation that kept a restore point.
void prune(Session& session) { prune_with_log(session.fs, session.state.g_AircraftFolder, session.state.program_folder); }

}  // namespace

Result<void> ListPackages(Session& session, const std::string& browsed) {
  return ListPackages(session, std::vector<std::string>{browsed});
}

Result<void> ListPackages(Session& session, const std::vector<std::string>& browsed) {
  Result<PackageListing> listing = list_packages(session.fs, session.state.g_AircraftFolder, browsed);
  if (!listing) return listing.error();
  take_packages(session.state, std::move(*listing));
  return {};
}

std::string folder_mismatch_text(Session& session, const std::string& package_path) {
  const SharedState& s = session.state;
  const auto named = package_aircraft_folder(session.fs, s.g_SimRoot, s.addon_folders, package_path);
  const std::string package_folder = named && *named ? session.fs.native_path(**named) : "(none)";
  return std::string(kFolderMismatchMessage) + "\r\rThe package's aircraft folder: " + package_folder +
         "\rThe selected aircraft folder: " + session.fs.native_path(s.g_AircraftFolder);
}

bool is_browsed_package(const SharedState& state, const std::string& path) {
  return !iequals(parent_path(path), state.g_AircraftFolder + "\\Downloads");
}

Result<void> prepare_install(Session& session) {
  const std::string& folder = session.state.g_AircraftFolder;
  if (Result<void> backup = RefreshAircraftCfgBackup(session.fs, folder); !backup) {
    return with_context("cannot write " + aircraft_vnb_path(folder), backup.error());
  }
  return {};
}

InstallReport install_listed_package(Session& session, int k, const InstallOptions& options) {
  SharedState& s = session.state;
  InstallReport report;
  if (!is_listed_package(s, k)) {
    report.error = make_error(ErrorCode::kRefused, "no such package");
    return report;
  }
  const FltsimEntry entry = s.g_PackageEntries[static_cast<std::size_t>(k)];
  const std::string path = s.g_PackagePaths[static_cast<std::size_t>(k)];
  if (const auto installed = installed_duplicate(session, entry)) {
    report.duplicate_of = trim_blanks(entry.title);
    if (options.on_duplicate == DuplicateChoice::kSkip) {
      report.outcome = InstallOutcome::kSkipped;
      log_skipped_install(session, path, report.duplicate_of);
      return report;
    }
    if (options.on_duplicate == DuplicateChoice::kReplace) {
      if (Result<void> removed = remove_installed(session, *installed); !removed) {
        report.outcome = InstallOutcome::kCfgNotWritten;
        report.error = removed.error();
        return report;
      }
    }
  }
  std::string duplicate_of = std::move(report.duplicate_of);
  report = install_package(session.operation(), s, path, entry, options.delete_package);
  report.duplicate_of = std::move(duplicate_of);
  log_install(session, path, report);
  if (report.outcome == InstallOutcome::kInstalled) prune(session);
  return report;
}

RemovalReport remove_entries(Session& session, const std::vector<bool>& selection) {
  RemovalReport report = remove_repaints(session.operation(), session.state, selection);
  log_removal(session, report);
  if (report.outcome == RemovalOutcome::kDone) prune(session);
  return report;
}

}  // namespace pw
