// Repaint removal: taking entries out of Aircraft.cfg and deleting their
// texture folders.
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
  kIncomplete,     // Aircraft.cfg was written but texture folders were left behind
  kCfgNotWritten,  // Aircraft.cfg could not be written; it is unchanged
  kFailed,         // nothing changed
};

struct RemovalReport {
  RemovalOutcome outcome = RemovalOutcome::kFailed;
  std::vector<std::string> deleted_sections;    // "[fltsim.1] title", as they were numbered
  std::vector<std::pair<int, int>> renumbered;  // kept entries whose number changed: old, new
  std::vector<std::string> deleted_folders;     // full paths
  std::vector<std::string> left_folders;        // kIncomplete: what is left of each folder, and why
  Error error{ErrorCode::kIo, {}};              // kCfgNotWritten, kFailed: what went wrong and why
};

// The indices of the entries that may be removed: those with a texture
// that the configuration's "exclude" list does not name.
std::vector<int> removable_entries(const AircraftState& aircraft);

// Removes the entries marked in `selection` (indices of g_AircraftEntries):
// their sections leave Aircraft.cfg, the kept entries are renumbered from
// 0 in their order, the file is tidied and replaced in one step (after
// Aircraft.vnb was refreshed and Aircraft.001 made once), and then the
// removed entries' texture folders are deleted (unless a kept entry still
// names one). A folder that stays makes the outcome kIncomplete.
RemovalReport remove_repaints(const OperationContext& op, const AircraftState& aircraft,
                              const std::vector<bool>& selection);

}  // namespace pw
