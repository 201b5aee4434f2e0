// The Hangar's "All aircraft" tab: every aircraft the simulator loads, or
// under a search every entry of them that it finds, as cards with a
// repaint's thumbnail; choosing one selects its aircraft as its .rcf would.
#pragma once

#include "app/desktop/app_context.h"

namespace pw {

inline constexpr const char* kLibraryList = "lstLibrary";
inline constexpr const char* kLibrarySearch = "txtSearchLibrary";
inline constexpr const char* kLibraryCount = "lblLibraryCount";

// Indexes the simulator's aircraft places again into ctx.library (the
// cache in ctx.library_cache_folder spares unchanged aircraft.cfg files)
// and fills the tab.
void LoadHangarLibrary(AppContext& ctx);

// Fills lstLibrary from ctx.library under the search field's text: one card
// per aircraft (first title, entry count, folder name; picture: its first
// entry's texture folder) or, with a search, per matching entry (title,
// folder name; picture: its texture folder). Item data: the aircraft's
// index. The count label says what is shown.
void FillHangarLibrary(AppContext& ctx);

// A click on a card: its aircraft is selected through its folder (see
// select_aircraft_path), then the tab shows it current.
void HangarLibraryClicked(AppContext& ctx);

}  // namespace pw
