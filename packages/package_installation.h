// Package installation: the package list, the install screen's browse check
// and InstallPackage.
#pragma once

#include <string>
#include <vector>

#include "aircraft/diagnosis.h"

#include "app/app_context.h"
#include "app/result.h"

namespace pw {

inline constexpr int kMaxListedPackages = 1000;

inline constexpr const char* kFolderMismatchMessage =
    "The folder path for the selected package and the folder path from the originally loaded PKG or RCF "
    "file do not match. Please check your files and try again.";

// Refills g_PackagePaths, g_PackageEntries and g_PackageLast with the .pkg
// files of <g_AircraftFolder>\Downloads (sorted by name without regard to
// case; only names ending in ".pkg", any case) and then `browsed`, trimmed,
// when not empty. Only each package's entry record is read. Errors (the
// listing is then left as it was): more than kMaxListedPackages packages
// (kRefused), a listed file that cannot be opened or is shorter than a
// record (the file layer's codes, kDamaged), a Downloads folder that
// cannot be listed. A missing Downloads folder lists nothing.
Result<void> ListPackages(AppContext& ctx, const std::string& browsed);

// Fills lstPackages of frm_Install (enabled) with the listed packages'
// trimmed ui_variation, item data = index; with `mark` the last row gets a
// leading "*". Makes row 0 current and runs PackageListClicked (also for
// an empty list, which disables btn_Install).
void FillPackageList(AppContext& ctx, bool mark);

// Click or tick on lstPackages: the busy pointer while the current row's
// preview is shown, then btn_Install "enabled" while a row is checked,
// "disabled" otherwise.
void PackageListClicked(AppContext& ctx);

enum class InstallOutcome {
  kInstalled,
  kCfgNotWritten,  // Aircraft.cfg could not be replaced; the new folder is removed again
  kFailed,         // anything else; nothing was left behind
};

struct InstallReport {
  InstallOutcome outcome = InstallOutcome::kFailed;
  std::string variation;  // kInstalled: the package's trimmed ui_variation
  std::string folder;     // kInstalled: the texture folder created (full path)
  int section = -1;       // kInstalled: the N of the [fltsim.N] written
  std::vector<Finding> texture_findings;  // kInstalled: the texture check of the new folder
  Error error{ErrorCode::kIo, {}};  // otherwise: what went wrong
};

// Installs package k of the listing: the package is read and checked in
// full, its files are written and synced into a staging folder
// "~<name>.pwstage" beside the target, which is then renamed to the first
// free name of <aircraft>\Texture.<texture>, _000 ... _999, and the entry
// is appended to Aircraft.cfg in one replace (section from
// g_FirstFreeFltsim, which advances only when the file was written).
// Between the two, check_texture_folder looks at the folder in place; its
// findings go into the report and never stop the install.
// kCfgNotWritten: the replace of Aircraft.cfg failed; the new folder is
// removed and Aircraft.cfg is unchanged. kFailed, with nothing left
// behind: a bad index (kRefused), a texture that makes an unsafe folder
// name or a file name that is not is_safe_entry_name (kRefused), a damaged
// package (kDamaged, kRefused), all 1000 names taken (kRefused), a file
// layer error, an unreadable Aircraft.cfg. The package file is closed
// before returning. With frm_Install's chkDelete checked the package file
// is deleted (DeleteFileAndWait) after a successful install only.
InstallReport install_package(AppContext& ctx, int packageIndex);

// install_package with the dispatcher's result text: the trimmed ui_variation
// (without suffix; empty for a blank variation) when installed, "-1" for
// kCfgNotWritten, the empty text for kFailed.
std::string InstallPackage(AppContext& ctx, int packageIndex);

// The browse check without the dialog: true when the "folder" of the
// package's carried configuration text, joined to g_SimRoot, names
// g_AircraftFolder (letter case, doubled and trailing backslashes aside).
// The text is read as every .rcf is, through a file "tmp.rcf" in the
// program's folder, which is deleted again. Errors: the package cannot be
// read (file layer codes, kDamaged when shorter than a record), tmp.rcf
// cannot be written.
Result<bool> package_fits_aircraft(AppContext& ctx, const std::string& package_path);

// The browse command: frm_Install's open dialog ("Package File
// (*.pkg)|*.pkg"); a package that fits is listed after those of Downloads
// and shown with a "*"; one made for another aircraft gets the folder
// mismatch message (application title, OK only) and the list stays. A
// cancelled dialog or an unreadable file changes nothing, silently.
void BrowseForPackages(AppContext& ctx);

}  // namespace pw
