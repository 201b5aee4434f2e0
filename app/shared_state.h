// The state every screen and operation shares, from start to end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "aircraft/fltsim_entry.h"

namespace pw {

struct SharedState {
  std::string program_folder;  // the folder of the executable (Media\ lives here)
  std::string g_SimRoot;
  std::string g_AircraftFolder;  // full path, no trailing backslash
  std::string g_ExcludeList;
  std::string g_RcfText;  // exactly kRcfTextSize bytes once an aircraft was chosen

  std::vector<FltsimEntry> g_AircraftEntries;
  std::vector<int> g_AircraftSections;  // section number N of each entry
  std::vector<bool> g_AircraftWhole;    // per entry: the record holds its whole section
  std::int16_t g_AircraftLast = -1;
  std::int16_t g_FirstFreeFltsim = 0;

  std::vector<FltsimEntry> g_PackageEntries;
  std::vector<std::string> g_PackagePaths;
  std::int16_t g_PackageLast = -1;

  bool g_PreviewChosen = false;
  std::string g_PreviewPath;
  // The package screen's file dialog keeps its FileName from one use to the
  // next; a cancelled dialog leaves it.
  std::string preview_dialog_file_name;

  std::vector<bool> g_RemoveSelection;
};

}  // namespace pw
