// The folders outside the simulator's root that Prepar3D v4 and v5 load
// aircraft from, as the user's add-on declarations name them. Paintwell
// reads the declarations and never writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/platform/file_system.h"

namespace pw {

struct AddonSources {
  std::vector<std::string> config_files;       // add-ons.cfg files
  std::vector<std::string> discovery_folders;  // each sub-folder holding add-on.xml is an add-on
};

// Where Prepar3D v4 and v5 keep the user's declarations on this machine:
// add-ons.cfg under the roaming and the shared application data, and the
// "Prepar3D vN Add-ons" folders in Documents. None where the platform has
// no such folders.
AddonSources default_addon_sources();

// The files larger than this declare nothing (and are reported): the reader
// holds a declaration whole.
inline constexpr std::int64_t kMaxDeclarationBytes = std::int64_t{4} << 20;

struct AddonFolders {
  std::vector<std::string> folders;
  // One line per declaration refused (the file and why): a file too large or
  // not well-formed, an add-on in a filesystem root, a component whose Path
  // names a root or a folder above its add-on. The rest still counts.
  std::vector<std::string> refusals;
};

// Every declared folder (normal_path): the folder of each active
// [Package.N] of the configuration files and of each add-on found under an
// active [DiscoveryPath.N] (relative to the configuration file's folder
// unless absolute) or a given discovery folder, plus the Path of each of
// its components whose Category is SimObjects (relative to the add-on's
// folder unless absolute). Missing files declare nothing and are no refusal.
AddonFolders read_addon_folders(FileSystem& fs, const AddonSources& sources);

}  // namespace pw
