// Finding the simulator: the program lives two folders below its root.
#pragma once

#include <string>

#include "app/aircraft_places.h"
#include "app/session.h"

namespace pw {

inline constexpr const char* kFsxMissingMessage =
    "FSX.EXE not properly located. Please make sure this application is installed to your \r\n"
    "[FSX PATH]\\Varnel Software\\FSX Paintwell folder and that FSX.EXE exists in the FSX folder root.";

// The folder two levels above `program_folder` (its grandparent).
std::string sim_root_for(const std::string& program_folder);

// Sets the program folder and the simulator root (`sim_root`, or the
// grandparent of the program folder when empty) and checks that the root
// holds FSX.EXE or Prepar3D.exe, whatever the case of its name; names the
// simulator found and finds where it loads aircraft from, through this
// machine's files (default_simulator_sources), those Paintwell.ini names and
// `given` (from the command line). Folders outside the root that hold
// aircraft become add-on folders, so their aircraft can be selected. False
// when neither executable is there (the caller shows kFsxMissingMessage).
bool locate_simulator(Session& ctx, const std::string& program_folder, const std::string& sim_root,
                      const SimulatorSources& given);

}  // namespace pw
