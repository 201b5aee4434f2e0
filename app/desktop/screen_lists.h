// The lists of the package, install and remove screens: filled from the
// shared state, and their click rules.
#pragma once

#include "app/aircraft_selection.h"
#include "app/desktop/app_context.h"

namespace pw {

// The install list's rows: the listed packages' trimmed ui_variation, item
// data = index, picture = the package; with `mark` the rows of browsed
// packages (is_browsed_package) get a leading "*". Damaged packages follow
// as greyed rows (item data -1) with their file name and, as tooltip, why
// they cannot be used. Row 0 current.
ListContent package_rows(const SharedState& s, bool mark);

// Fills lstPackages of frm_Install (enabled) with package_rows, applies its
// search and runs PackageListClicked (also for an empty list, which
// disables btn_Install); then the Hangar's packages.
void FillPackageList(AppContext& ctx, bool mark);

// Click or tick on lstPackages: the busy pointer while the current row's
// preview is shown (not for a row the search hides), then btn_Install
// "enabled" while a row is checked,
// "disabled" otherwise.
void PackageListClicked(AppContext& ctx);

// Shows the preview of package `packageIndex` (of g_PackagePaths) in
// picPreview of frm_Install, from memory. A package without a preview, a
// bad index, a vanished or damaged package or a bitmap that does not load
// leave the picture as it was.
void ShowPackagePreview(AppContext& ctx, int packageIndex);

// Fills lstAircraft of frm_Package with every entry's trimmed ui_variation
// (item data = entry index) and makes row 0 current, which lists its
// texture files; with no entry, lstTextures is emptied.
void FillPackageAircraftList(AppContext& ctx);

// Click on frm_Package's lstAircraft: lists the current entry's files.
void PackageAircraftClicked(AppContext& ctx);

// Fills lstTextures of frm_Package (enabled) with texture_file_names of
// entry `entryIndex`, all checked, item data = row position, row 0
// current. A bad index gives an empty list.
void ListTextureFiles(AppContext& ctx, int entryIndex);

// Fills lstAircraft of frm_Remove with the removable entries (picture =
// the texture folder) and applies its search.
void FillRemoveAircraftList(AppContext& ctx);

// Click or tick on frm_Remove's lstAircraft: btn_Remove enabled while a
// line is ticked, hidden or not; the ticks counted.
void RemoveListClicked(AppContext& ctx);

// After Aircraft.cfg changed: get_aircraft_list (its error shown as the
// design shows it), then the remove, package and Hangar screens' lists and
// the main screen's last operation.
void reread_aircraft(AppContext& ctx);

// A selection that succeeded: the main screen's labels, buttons and last
// operation, and every screen's list.
void show_selected_aircraft(AppContext& ctx, const SelectedAircraft& selected, bool browsed_package);

}  // namespace pw
