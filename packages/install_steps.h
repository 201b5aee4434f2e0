// The steps every install shares, whatever its files come from (one
// package, the texture folders of a download): target names, the new
// entries appended to Aircraft.cfg in memory, one restore point, the files
// staged inside it, the texture check, the renames into place and the one
// replace of Aircraft.cfg. Private to the install modules.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "aircraft/aircraft_state.h"
#include "aircraft/fltsim_entry.h"
#include "base/operation_context.h"
#include "base/result.h"
#include "packages/package_installation.h"

namespace pw {

// Writes the files of new repaint i into stages[i] (the staging folders,
// made already, one per entry in order), each file complete and synced,
// and closes whatever the source holds open before returning, failure or
// not, since the steps after it may move or delete the source.
using FillStages = std::function<Result<void>(const std::vector<std::string>& stages)>;

struct NewRepaints {
  std::string operation;  // the restore point's: "install", "replace", "import"
  std::string source;     // the package or the download, as the manifest names it
  std::vector<FltsimEntry> entries;
  FillStages fill;
  // A package to be deleted once installed (one of Downloads is kept in
  // the point, one from elsewhere deleted); a download never is.
  bool delete_source = false;
};

// What the steps did: kInstalled with one report per entry (variation,
// folder, title, section, texture findings), or kCfgNotWritten / kFailed
// with the error and nothing left behind.
struct RepaintsReport {
  InstallOutcome outcome = InstallOutcome::kFailed;
  std::vector<InstallReport> placed;
  std::string source_not_deleted;  // kInstalled: the package that was to be deleted and stayed
  Error error{ErrorCode::kIo, {}};
};

// Installs the new repaints as one operation with one restore point, in
// place of the entries marked in `replaced` (none: an install; see
// replace_with_package). Each gets the first free name of
// Texture.<texture>, _000 ... _999, none taken by another of them; the
// entries are appended with AppendPackageEntry, numbered from `first_free`
// (from 0 after a replace), which advances only when an install wrote
// them. Refused (kFailed, nothing written): a texture that makes an unsafe
// folder name, all 1000 names taken, an entry check_entry_text refuses;
// any other failure is rolled back.
RepaintsReport install_repaints(const OperationContext& op, const AircraftState& aircraft,
                                const std::vector<bool>& replaced, const NewRepaints& repaints,
                                std::int16_t& first_free);

// A report of one repaint that was not installed, and why.
InstallReport failed_install_report(InstallOutcome outcome, Error error);

}  // namespace pw
