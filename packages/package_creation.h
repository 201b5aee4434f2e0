// Package creation: writing <aircraft>\Uploads\<name>_Repaint.pkg.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "aircraft/aircraft_state.h"
#include "base/operation_context.h"
#include "base/result.h"

namespace pw {

// <ui_variation>_Repaint.pkg: the variation trimmed, blanks turned to "_",
// and the characters , / \ ( ) [ ] : ; = * ' " removed, as packages have
// always been named; the characters ? < > | that Windows refuses in names
// are removed as well. Letter case, dots and other characters stay.
std::string package_file_name(std::string_view ui_variation);

// What to pack: entry `entry_index` of g_AircraftEntries, the names of
// files of its texture folder in table order, and the preview bitmap's
// path (none: no preview).
struct PackageRequest {
  int entry_index = -1;
  std::vector<std::string> files;
  std::optional<std::string> preview_path;
};

// Writes <g_AircraftFolder>\Uploads\<package_file_name> from the request
// (the entry's rcf_text is first set to g_RcfText) and returns the file
// name. Uploads is created when nothing of that name exists. Errors, each
// naming the file or folder and why: a bad index or an unsafe texture, no
// file or more than 100, a name that cannot travel in a package
// (is_safe_entry_name), a missing, empty or over-large file, an unreadable
// preview, an Uploads folder that cannot be made, a package that cannot
// be written. The package is written through replace_file_with, so a
// failure leaves no partial file and an older package of the same name as
// it was.
Result<std::string> create_package(const OperationContext& op, AircraftState& aircraft,
                                   const PackageRequest& request);

}  // namespace pw
