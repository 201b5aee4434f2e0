// paintwell-cli inspect: what a package holds, read from its head only.
#pragma once

#include <iosfwd>
#include <string>

#include "base/platform/file_system.h"

namespace pw {

// Prints the package's entry keys, configuration text, preview length and
// file table to `out`, as lines or as one JSON document; returns the exit
// status (a package that cannot be read: its reason on `err`, kExitUnreadable;
// a damaged one: kExitFailed).
int inspect_package(FileSystem& fs, const std::string& path, bool json, std::ostream& out, std::ostream& err);

}  // namespace pw
