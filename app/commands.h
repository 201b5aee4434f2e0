// The package listing both front ends show; the writes themselves are an
// aircraft session's (aircraft_session.h).
#pragma once

#include <string>
#include <vector>

#include "app/session.h"
#include "base/result.h"
#include "packages/package_installation.h"

namespace pw {

// Refills g_PackagePaths, g_PackageEntries, g_PackageLast and the damaged
// packages from <g_AircraftFolder>\Downloads and `browsed` (see
// list_packages). Errors: those of list_packages; the listing then stays
// as it was.
Result<void> ListPackages(Session& session, const std::string& browsed);
Result<void> ListPackages(Session& session, const std::vector<std::string>& browsed);

// The browse check's refusal of `package_path`: kFolderMismatchMessage,
// then the aircraft folder the package names and the selected one, as
// native paths.
std::string folder_mismatch_text(Session& session, const std::string& package_path);

// True for a listed package that does not lie in the aircraft's Downloads
// folder: one browsed, dropped or named on the command line.
bool is_browsed_package(const SharedState& state, const std::string& path);

}  // namespace pw
