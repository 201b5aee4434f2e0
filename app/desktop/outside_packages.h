// Packages that reach the install list from outside it: browsed, dropped
// on a window, or named on the desktop program's command line. Each joins
// the list as a browsed package, under the browse command's checks.
// Downloads (archives, unpacked folders) given the same ways go to their
// review (open_downloads).
#pragma once

#include <string>
#include <vector>

#include "app/desktop/app_context.h"

namespace pw {

// Opens the packages at `paths` (core paths; a folder stands for the .pkg
// files directly in it) from screen `screen`. With no aircraft selected
// yet, the first package selects it (select_aircraft_path; when that fails
// nothing else happens). Every other package is checked as a browsed one:
// one that cannot be read or that was made for another aircraft is left
// out with the browse command's message. Other files and folders are left
// out with one message naming them. The packages that remain are listed
// as browsed (with those browsed before) and ticked, the ticks already
// made kept; the install screen then takes the place of the main or the
// package screen. Then .zip, .7z and .rar files, and folders holding no
// .pkg but Texture.* folders (a few levels deep), are opened as downloads.
void open_packages(AppContext& ctx, const std::string& screen, const std::vector<std::string>& paths);

// After the aircraft's Downloads folder changed: the packages listed
// again, those browsed kept, and the ticks of the install screen and of
// the Hangar kept on the packages still there. Nothing without an aircraft
// or when the listing fails (the lists then stay as they were).
void relist_packages(AppContext& ctx);

}  // namespace pw
