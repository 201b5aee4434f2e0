#include "app/commands.h"

#include <utility>

#include "base/file_ops.h"
#include "base/text.h"

namespace pw {

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

}  // namespace pw
