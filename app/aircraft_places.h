// The folders the simulator loads aircraft from: the root's SimObjects
// folders, the lists in FSX's fsx.cfg and Prepar3D's simobjects.cfg, and the
// add-on declarations. Paintwell reads these files and never writes them.
#pragma once

#include <string>
#include <vector>

#include "app/addon_folders.h"
#include "base/platform/file_system.h"

namespace pw {

// The files that say where aircraft are: fsx.cfg or simobjects.cfg files
// (either kind in any of them) and the add-on declarations.
struct SimulatorSources {
  std::vector<std::string> sim_configs;
  AddonSources addons;
};

// Where the named simulator ("FSX", "FSX Steam Edition", "Prepar3D v5", ...)
// keeps its lists on this machine, plus the add-on declarations; none where
// the platform has no application data folders.
SimulatorSources default_simulator_sources(const std::string& simulator_name);

// Appends the files named in <program folder>\Paintwell.ini under
// [simulator]: sim_config.N and addons_config.N from N = 0 up to the first
// missing number, relative to the program's folder unless absolute. A
// missing or unreadable Paintwell.ini adds nothing.
void add_ini_sources(FileSystem& fs, const std::string& program_folder, SimulatorSources& sources);

struct AircraftPlaces {
  // Folders that hold aircraft folders, each once, in the order found:
  // each list's (or, when no list could be read, the root's SimObjects\*),
  // then the add-ons'. Only folders that exist.
  std::vector<std::string> folders;
  // A folder named by a list or a declaration that does not exist, one
  // line each ("SimObjects\Gone, listed in D:\fsx.cfg, does not exist").
  std::vector<std::string> problems;
};

// The places of the simulator at `sim_root`: the active entries of each
// list (Prepar3D's [Entry.N] Path with Active not False, FSX's [Main]
// SimObjectPaths.N), relative to the root unless absolute, or its
// SimObjects sub-folders when no list was read; and `addon_folders`.
// Missing or unreadable lists name nothing.
AircraftPlaces find_aircraft_places(FileSystem& fs, const std::string& sim_root, const std::vector<std::string>& sim_configs,
                                    const std::vector<std::string>& addon_folders);

}  // namespace pw
