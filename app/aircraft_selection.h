// Choosing the aircraft to work on, from a Repaint Configuration File
// (.rcf) or from a package that carries one.
#pragma once

#include <string>

#include "app/app_context.h"

namespace pw {

inline constexpr const char* kNoFolderMessage =
    "The selected Repaint Configuration File does not contain correct folder information.";

// Re-reads the aircraft's entries from its Aircraft.cfg into
// g_AircraftEntries, g_AircraftSections and g_AircraftLast, and sets
// g_FirstFreeFltsim when a numbering gap is met. A missing file gives no
// entries; an unreadable one shows "Error in the get_aircraft_list sub
// routine".
void get_aircraft_list(AppContext& ctx);

// After Aircraft.cfg changed: get_aircraft_list, then the remove and package
// screens' lists.
void reread_aircraft(AppContext& ctx);

// The select command: shows frm_Main's open dialog and selects the chosen
// file. Cancelling changes nothing.
void select_aircraft(AppContext& ctx);

// Selects the aircraft named by an .rcf or a .pkg: reads its configuration,
// checks the folder, fills the labels and every screen's list, enables the
// main screen's buttons, creates Downloads and makes Aircraft.001 once.
// Returns false when the selection did not complete (a message was shown for
// a missing or absent folder; unreadable files end it silently). A failed
// selection keeps the previous aircraft.
bool select_aircraft_file(AppContext& ctx, const std::string& path);

}  // namespace pw
