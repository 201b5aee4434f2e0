// Repaint removal: taking entries out of Aircraft.cfg and moving their
// texture folders into a restore point.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "aircraft/aircraft_state.h"
#include "base/operation_context.h"
#include "base/result.h"

namespace pw {

enum class RemovalOutcome {
  kDone,
  kCfgNotWritten,  // Aircraft.cfg could not be written; it is unchanged, the folders are back
  kFailed,         // nothing changed
};

struct RemovalReport {
  RemovalOutcome outcome = RemovalOutcome::kFailed;
  std::vector<std::string> deleted_sections;    // "[fltsim.1] title", as they were numbered
  std::vector<std::pair<int, int>> renumbered;  // kept entries whose number changed: old, new
  std::vector<std::string> moved_folders;       // full paths, in the restore point
  Error error{ErrorCode::kIo, {}};              // kCfgNotWritten, kFailed: what went wrong and why
};

// The indices of the entries that may be removed: those with a texture
// that the configuration's "exclude" list does not name.
std::vector<int> removable_entries(const AircraftState& aircraft);

// What removing the entries marked in `selection` will change, worked out
// from `cfg_bytes` (Aircraft.cfg now) before anything is changed: the new
// text of Aircraft.cfg and the existing texture folders that go.
struct RemovalPlan {
  std::string new_cfg;
  std::vector<std::string> folder_names;  // in the aircraft's folder
  std::vector<std::string> deleted_sections;
  std::vector<std::pair<int, int>> renumbered;
};
// Errors (kRefused): a chosen entry that names no texture folder of its
// own, entries not listed from Aircraft.cfg.
Result<RemovalPlan> plan_removal(FileSystem& fs, const AircraftState& aircraft, const std::vector<bool>& selection,
                                 std::string cfg_bytes);

// Removes the entries marked in `selection` (indices of g_AircraftEntries):
// their sections leave Aircraft.cfg, the kept entries are renumbered from
// 0 in their order and the file is tidied. After Aircraft.vnb was
// refreshed and Aircraft.001 made once, a restore point is kept
// (restore_points.h): the removed entries' texture folders (unless a kept
// entry still names one) are moved into it whole, subfolders and all, and
// then Aircraft.cfg is replaced in one step; when that fails they are
// moved back. A folder that cannot be moved (in use, not permitted) makes
// the outcome kFailed with `error` naming it, and nothing changed.
RemovalReport remove_repaints(const OperationContext& op, const AircraftState& aircraft,
                              const std::vector<bool>& selection);

}  // namespace pw
