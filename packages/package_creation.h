// Package creation: the package screen's lists and CreatePackage.
#pragma once

#include <string>
#include <string_view>

#include "app/app_context.h"

namespace pw {

// <ui_variation>_Repaint.pkg: the variation trimmed, blanks turned to "_",
// and the characters , / \ ( ) [ ] : ; = * ' " removed, as packages have
// always been named; the characters ? < > | that Windows refuses in names
// are removed as well. Letter case, dots and other characters stay.
std::string package_file_name(std::string_view ui_variation);

// Writes <g_AircraftFolder>\Uploads\<package_file_name> from entry
// `entryIndex` of g_AircraftEntries (whose rcf_text is first set to
// g_RcfText) with the checked rows of frm_Package's lstTextures, in list
// order, and the preview g_PreviewPath when g_PreviewChosen. Uploads is
// created when nothing of that name exists. Returns the file name, or the
// empty text on any failure: a bad index, an unsafe texture, no checked
// row or more than 100, a name that cannot travel in a package
// (is_safe_entry_name), a missing, empty or over-large file, an
// unreadable preview, a file layer error. The package is written through
// replace_file_with, so a failure leaves no partial file and an older
// package of the same name as it was.
std::string CreatePackage(AppContext& ctx, int entryIndex);

// Fills lstAircraft of frm_Package with every entry's trimmed ui_variation
// (item data = entry index) and makes row 0 current, which lists its
// texture files; with no entry, lstTextures is emptied.
void FillPackageAircraftList(AppContext& ctx);

// Click on frm_Package's lstAircraft: lists the current entry's files.
void PackageAircraftClicked(AppContext& ctx);

}  // namespace pw
