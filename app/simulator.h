// Which simulator a root folder holds. The aircraft format Paintwell edits
// is the same in FSX, its Steam edition and Prepar3D v1 to v5.
#pragma once

#include <optional>
#include <string>

#include "base/platform/file_system.h"

namespace pw {

struct Simulator {
  std::string executable;  // the executable's path as found, e.g. root\FSX.EXE
  std::string name;        // for people: "FSX", "FSX Steam Edition", "Prepar3D v5", "Prepar3D"
};

// The simulator whose executable (FSX.EXE or Prepar3D.exe, whatever the
// case) stands in `root`, named from its version block when it has one;
// nullopt when neither is there.
std::optional<Simulator> find_simulator(FileSystem& fs, const std::string& root);

}  // namespace pw
