// Repaint removal: the remove screen's list and RemoveRepaints.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/app_context.h"

namespace pw {

inline constexpr std::int16_t kRemoveDone = 1;
inline constexpr std::int16_t kRemoveCfgFailed = -2;
inline constexpr std::int16_t kRemoveFailed = 0;

struct RemovalReport {
  std::int16_t result = kRemoveFailed;
  std::vector<std::string> deleted_sections;    // "[fltsim.1] title", as they were numbered
  std::vector<std::pair<int, int>> renumbered;  // kept entries whose number changed: old, new
  std::vector<std::string> deleted_folders;     // full paths
};

// Removes the entries marked in g_RemoveSelection: their sections leave
// Aircraft.cfg, the kept entries are renumbered from 0 in their order, the
// file is tidied and replaced in one step, and then the removed entries'
// texture folders are deleted (unless a kept entry still names one).
// Returns kRemoveDone, kRemoveCfgFailed (Aircraft.cfg could not be
// written; it is unchanged) or kRemoveFailed (nothing changed).
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
