// Installing the repaints of a download (see download.h) into one
// aircraft, and turning one into a Paintwell package instead.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "aircraft/aircraft_state.h"
#include "aircraft/fltsim_entry.h"
#include "base/operation_context.h"
#include "base/result.h"
#include "packages/download.h"
#include "packages/download_scan.h"
#include "packages/package_installation.h"

namespace pw {

// One repaint of a download to install: its texture folder's files (a
// FoundRepaint's folder and files) and the entry written for it (the
// block found with it, or made_up_entry).
struct DownloadRepaint {
  std::string folder;
  std::vector<std::size_t> files;
  FltsimEntry entry;
};

// The repaint as scan_download found it, with the entry to write.
DownloadRepaint download_repaint(const FoundRepaint& found, FltsimEntry entry);

// What installing several repaints as one operation did: all of them or
// none.
struct ImportReport {
  // kInstalled: every repaint is in; kCfgNotWritten, kFailed: none is and
  // nothing was left behind. kSkipped: nothing was left to install.
  InstallOutcome outcome = InstallOutcome::kFailed;
  // kInstalled: one per repaint, in order, as install_package reports one.
  std::vector<InstallReport> repaints;
  Error error{ErrorCode::kIo, {}};  // kCfgNotWritten, kFailed: what went wrong and why
};

// Installs the repaints as one operation ("import") with one restore point
// whose packages name the download's path, in place of the entries marked
// in `replaced` (indices of g_AircraftEntries; none marked: nothing is
// replaced). Only the texture folders' files are written, each at its path
// below the Texture.<name> folder (sub-folders made); the entries are
// written as a package's (AppendPackageEntry), the texture folders named
// as a package's are. g_FirstFreeFltsim advances when nothing was
// replaced. kFailed with nothing written (kRefused): a file that is not
// in its repaint's folder, a path below it with a part that is not
// is_safe_entry_name, a file in two repaints, no repaint, and the refusals
// of install_package; any other failure (a damaged archive on the way,
// the file layer) is rolled back, leaving the tree as it was.
ImportReport install_download(const OperationContext& op, AircraftState& aircraft, Download& download,
                              const std::vector<DownloadRepaint>& repaints, const std::vector<bool>& replaced = {});

// A package made of a download's repaint: its path and the files of the
// texture folder it could not carry (in a sub-folder, or empty), by their
// path in the download.
struct DownloadPackage {
  std::string path;
  std::vector<std::string> left_out;
};

// Writes <folder>\<package_file_name of the entry's ui_variation> from the
// repaint's files directly in its texture folder, streamed from the
// download into the package, the entry carrying `rcf_text`. Replaces a
// package of that name only once complete. Errors: no file left to carry,
// the limits of check_package_contents (kRefused), the download's and the
// file layer's.
Result<DownloadPackage> write_download_package(const OperationContext& op, Download& download,
                                               const DownloadRepaint& repaint, const std::string& rcf_text,
                                               const std::string& folder);

}  // namespace pw
