// The desktop program's command line: `paintwell [--sim-config FILE]...
// [--addons-config FILE]... [PKG|ARCHIVE|FOLDER...]`, the options as paintwell-cli takes
// them.
#pragma once

#include <string>
#include <vector>

#include "app/aircraft_places.h"

namespace pw {

struct DesktopOptions {
  std::vector<std::string> packages;  // core paths (packages, downloads), to open as if dropped
  SimulatorSources sources;           // the lists the options name
  std::string problem;                // what is wrong with the words; empty when nothing is
};

// `args` are the words as typed (Windows-1252); every file is made a core
// path (absolute_path from `current_directory`).
DesktopOptions parse_desktop_options(const std::vector<std::string>& args, const std::string& current_directory);

}  // namespace pw
