// Repaint removal: the remove screen's list and RemoveRepaints.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/app_context.h"
#include "app/result.h"

namespace pw {

inline constexpr std::int16_t kRemoveDone = 1;
inline constexpr std::int16_t kRemoveCfgFailed = -2;
inline constexpr std::int16_t kRemoveFailed = 0;

struct RemovalReport {
  std::int16_t result = kRemoveFailed;
  std::vector<std::string> deleted_sections;    // "[fltsim.1] title", as they were numbered
  std::vector<std::pair<int, int>> renumbered;  // kept entries whose number changed: old, new
  std::vector<std::string> moved_folders;       // full paths, in the restore point
  Error error{ErrorCode::kIo, {}};              // otherwise: what failed, naming a folder that could not be moved
};

// Removes the entries marked in g_RemoveSelection: their sections leave
// Aircraft.cfg, the kept entries are renumbered from 0 in their order and
// the file is tidied. A restore point is kept (restore_points.h): the
// removed entries' texture folders (unless a kept entry still names one)
// are moved into it whole, subfolders and all, and then Aircraft.cfg is
// replaced in one step; when that fails they are moved back. Returns
// kRemoveDone, kRemoveCfgFailed (Aircraft.cfg could not be written; it is
// unchanged, the folders are back) or kRemoveFailed (nothing changed; a
// folder that cannot be moved, in use or not permitted, is named in
// `error`).
RemovalReport remove_repaints(AppContext& ctx);
// remove_repaints' result code.
std::int16_t RemoveRepaints(AppContext& ctx);

// Fills lstAircraft of frm_Remove with the entries that have a texture and
// are not excluded by the configuration's "exclude" list.
void FillRemoveAircraftList(AppContext& ctx);

// Click or tick on frm_Remove's lstAircraft: btn_Remove enabled while a
// line is ticked.
void RemoveListClicked(AppContext& ctx);

}  // namespace pw
