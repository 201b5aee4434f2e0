// Opening .pkg files with the desktop program on Windows ("Open with", a
// double-click), and downloaded archives from their menu, for the current
// user only: keys under
// HKEY_CURRENT_USER\Software\Classes need no administrator rights. The
// program writes them as a .reg file for the user to import.
#pragma once

#include <string>

#include "base/platform/file_system.h"

namespace pw {

inline constexpr const char* kAssociationFileName = "Paintwell-pkg.reg";
inline constexpr const char* kArchiveVerbText = "Install with Paintwell";

// The .reg text (REGEDIT4: Windows-1252, CR LF) that makes the program at
// `program_path` (a native path) open .pkg files and adds "Install with
// Paintwell" to the menu of .zip, .7z and .rar files.
std::string association_reg_text(const std::string& program_path);

// `paintwell --register`: writes association_reg_text to
// <folder>\kAssociationFileName by atomic replacement. Returns what to
// tell the user: how to import the file, or, when it cannot be written,
// why and the keys to make by hand.
std::string register_association(FileSystem& fs, const std::string& folder, const std::string& program_path);

}  // namespace pw
