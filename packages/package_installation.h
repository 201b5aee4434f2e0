// Package installation: listing the packages of an aircraft, the browse
// check and installing one package.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "aircraft/aircraft_state.h"
#include "aircraft/diagnosis.h"
#include "aircraft/fltsim_entry.h"
#include "base/operation_context.h"
#include "base/result.h"
#include "packages/package_format.h"

namespace pw {

inline constexpr int kMaxListedPackages = 1000;

inline constexpr const char* kFolderMismatchMessage =
    "The folder path for the selected package and the folder path from the originally loaded PKG or RCF "
    "file do not match. Please check your files and try again.";

// A listed file that is no usable package, and why.
struct DamagedPackage {
  std::string path;
  std::string reason;
};

struct PackageListing {
  std::vector<FltsimEntry> entries;  // the usable packages' entry records
  std::vector<std::string> paths;    // their full paths, same indices
  std::vector<DamagedPackage> damaged;
};

// The .pkg files of <aircraft_folder>\Downloads (sorted by name without
// regard to case; only names ending in ".pkg", any case) and then
// `browsed`, trimmed, when not empty. Each package's head is read
// (read_package_head); a file that fails it is listed as damaged with the
// reason. Errors: more than kMaxListedPackages packages (kRefused), a
// Downloads folder that cannot be listed. A missing Downloads folder lists
// nothing.
Result<PackageListing> list_packages(FileSystem& fs, const std::string& aircraft_folder, const std::string& browsed);
// The same with any number of browsed packages, listed in the order given.
Result<PackageListing> list_packages(FileSystem& fs, const std::string& aircraft_folder,
                                     const std::vector<std::string>& browsed);

enum class InstallOutcome {
  kInstalled,
  kSkipped,        // its title is installed already and the caller chose to skip it
  kCfgNotWritten,  // Aircraft.cfg could not be replaced; the new folder is removed again
  kFailed,         // anything else; nothing was left behind
};

struct InstallReport {
  InstallOutcome outcome = InstallOutcome::kFailed;
  std::string variation;  // kInstalled: the package's trimmed ui_variation
  std::string folder;     // kInstalled: the texture folder created (full path)
  std::string title;      // kInstalled: the title written (trimmed; a copy's ends in " - NNN")
  int section = -1;       // kInstalled: the N of the [fltsim.N] written
  std::vector<Finding> texture_findings;  // kInstalled: the texture check of the new folder
  std::string duplicate_of;  // the installed title the package duplicated, if any
  std::string package_not_deleted;  // kInstalled: the package that was to be deleted and stayed
  Error error{ErrorCode::kIo, {}};  // kCfgNotWritten, kFailed: what went wrong and why
};

// Installs the package at `package_path` whose entry record is `entry`:
// the package is read and checked in full, a restore point notes what the
// install is about to do, its files are written and synced into a staging
// folder inside that point, which is then renamed to the first free name of <aircraft>\Texture.<texture>,
// _000 ... _999, and the entry is appended to Aircraft.cfg in one replace
// (section from g_FirstFreeFltsim, which advances only when the file was
// written). Before the rename, check_texture_folder looks at the staged
// files as the folder they become; its findings go into the report and
// never stop the install. kCfgNotWritten: the replace of Aircraft.cfg
// failed; the new folder is taken back and Aircraft.cfg is unchanged. kFailed, with nothing
// left behind: a texture that makes an unsafe folder name or a file name
// that is not is_safe_entry_name (kRefused), a damaged package (kDamaged,
// kRefused), all 1000 names taken (kRefused), a file layer error, an
// unreadable Aircraft.cfg. The package file is closed before returning;
// with `delete_package`, after a successful install only, a package of the
// aircraft's Downloads is moved into the restore point (undo gives it
// back) and one from elsewhere is deleted (DeleteFileAndWait).
InstallReport install_package(const OperationContext& op, AircraftState& aircraft, const std::string& package_path,
                              const FltsimEntry& entry, bool delete_package);

// Installs the package in place of the entries marked in `replaced`
// (indices of g_AircraftEntries, as for remove_repaints) as one operation
// with one restore point ("replace") holding both the removed folders and
// the new entry. The package is expanded in full into the point before
// anything is moved, so a damaged package, like any failure, leaves the
// installed repaints as they were. Outcomes and errors as install_package,
// plus the refusals of plan_removal.
InstallReport replace_with_package(const OperationContext& op, const AircraftState& aircraft,
                                   const std::vector<bool>& replaced, const std::string& package_path,
                                   const FltsimEntry& entry, bool delete_package);

// The aircraft folder that the "folder" of the package's carried
// configuration text names (see aircraft_folder_for); nullopt when it names
// none that may be used. Errors as package_fits_aircraft.
Result<std::optional<std::string>> package_aircraft_folder(FileSystem& fs, const std::string& sim_root,
                                                           const std::vector<std::string>& addon_folders,
                                                           const std::string& package_path);

// The browse check: true when the "folder" of the package's carried
// configuration text, joined to `sim_root`, names `aircraft_folder`
// (letter case, doubled and trailing backslashes aside). The text is
// parsed in memory: nothing is written. Errors: the package cannot be read
// (file layer codes, kDamaged when shorter than a record).
Result<bool> package_fits_aircraft(FileSystem& fs, const std::string& sim_root,
                                   const std::vector<std::string>& addon_folders, const std::string& aircraft_folder,
                                   const std::string& package_path);

// read_package_head of the file at `path`; its errors and the file layer's.
Result<PackageHead> read_head_of(FileSystem& fs, const std::string& path);

}  // namespace pw
