// The operations as both front ends run them: explicit inputs, a report of
// what was done, a log record for every change. The dispatcher reads its
// screens' controls into these inputs; the command line reads its
// arguments.
#pragma once

#include <string>
#include <vector>

#include "app/session.h"
#include "base/result.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"

namespace pw {

// What to do with a package whose entry title is installed already.
enum class DuplicateChoice { kCopy, kSkip, kReplace };

struct InstallOptions {
  bool delete_package = false;  // delete the package file once it is installed
  DuplicateChoice on_duplicate = DuplicateChoice::kCopy;
};

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

// Before the packages of one install: Aircraft.vnb refreshed (the final
// empty line is added in memory by the first install that writes, so a
// command whose installs all fail leaves Aircraft.cfg as it was). Errors
// name the file and why.
Result<void> prepare_install(Session& session);

// Installs package k of the listing. When its title is installed already
// (see installed_duplicate) the options say whether a copy is installed,
// the package is skipped (kSkipped) or the installed entry and its folder
// are removed first (a failed removal is kCfgNotWritten). Every outcome is
// logged. A bad index is kFailed (kRefused).
InstallReport install_listed_package(Session& session, int k, const InstallOptions& options);

// Removes the entries marked in `selection` (see remove_repaints) and logs
// what was done.
RemovalReport remove_entries(Session& session, const std::vector<bool>& selection);

}  // namespace pw
