// The state every screen and operation shares, from start to end.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "aircraft/aircraft_state.h"
#include "aircraft/fltsim_entry.h"
#include "app/aircraft_places.h"
#include "packages/package_installation.h"

namespace pw {

struct SharedState : AircraftState {
  std::string program_folder;  // the folder of the executable (Media\ lives here)
  std::string g_SimRoot;
  std::string simulator_name;              // "FSX", "Prepar3D v5", ...
  std::vector<std::string> addon_folders;  // folders outside the root that hold aircraft (Prepar3D's add-ons)
  std::vector<std::string> addon_refusals;  // declarations refused, each with its reason, for the user
  AircraftPlaces aircraft_places;          // every folder the simulator loads aircraft from

  std::vector<FltsimEntry> g_PackageEntries;
  std::vector<std::string> g_PackagePaths;
  std::int16_t g_PackageLast = -1;
  std::vector<DamagedPackage> damaged_packages;  // listed as unusable, after the others

  bool g_PreviewChosen = false;
  std::string g_PreviewPath;
  // The package screen's file dialog keeps its FileName from one use to the
  // next; a cancelled dialog leaves it.
  std::string preview_dialog_file_name;

  std::vector<bool> g_RemoveSelection;
};

// Takes a fresh package listing as the only listing there is.
inline void take_packages(SharedState& s, PackageListing listing) {
  s.g_PackageLast = static_cast<std::int16_t>(static_cast<int>(listing.entries.size()) - 1);
  s.g_PackageEntries = std::move(listing.entries);
  s.g_PackagePaths = std::move(listing.paths);
  s.damaged_packages = std::move(listing.damaged);
}

}  // namespace pw
