// Choosing the aircraft to work on, from a Repaint Configuration File
// (.rcf), a package that carries one, or the aircraft's folder.
#pragma once

#include <string>

#include "app/session.h"
#include "base/result.h"

namespace pw {

inline constexpr const char* kNoFolderMessage =
    "The selected Repaint Configuration File does not contain correct folder information.";
inline constexpr const char* kAircraftListError = "Error in the get_aircraft_list sub routine";

// Re-reads the aircraft's entries from its Aircraft.cfg into the shared
// state (see take_listing). A missing file gives no entries. Errors: an
// unreadable file (kAircraftListError and why); the entries are then empty.
Result<void> get_aircraft_list(Session& session);

// What the main screen shows of the selected aircraft, from its
// configuration.
struct SelectedAircraft {
  std::string title;
  std::string folder;  // the "folder" value as written
  std::string information;
};

// Selects the aircraft named by an .rcf (read once, whole) or a .pkg, or
// an aircraft folder: the .rcf in the root that names the folder when there
// is one, else the .rcf text a painter would have written for it (folder=
// relative to the root, or absolute outside it, and title= its first
// entry's title), which packages made afterwards carry. Reads its
// configuration, checks the folder, reads the entries and lists the
// packages (damaged ones as such), all aside; only when every step passed
// does the new aircraft replace the old one. Nothing is written. Errors, and the
// previous aircraft stays: a file that is no readable package or .rcf
// (why; a package must pass read_package_head, as its listing does), kNoFolderMessage, the aircraft folder missing
// (the message names the title), a folder without aircraft.cfg, kAircraftListError, a Downloads folder that cannot
// be listed.
Result<SelectedAircraft> select_aircraft_file(Session& session, const std::string& path);

// What the desktop program's selection makes once an aircraft is selected:
// Downloads, Aircraft.001 once and, for a package, its configuration text
// copied to package.rcf in the program's folder. A failure of these stops
// nothing.
void make_selection_files(Session& session, bool from_package);

}  // namespace pw
