// The selected aircraft as the operations see it. The selection builds a
// whole one aside and swaps it in only when every step passed.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "aircraft/entry_list.h"
#include "aircraft/fltsim_entry.h"

namespace pw {

struct AircraftState {
  std::string g_AircraftFolder;  // full path, no trailing backslash
  std::string g_ExcludeList;
  std::string g_RcfText;  // exactly kRcfTextSize bytes once an aircraft was chosen

  std::vector<FltsimEntry> g_AircraftEntries;
  std::vector<int> g_AircraftSections;  // section number N of each entry
  std::vector<bool> g_AircraftWhole;    // per entry: the record holds its whole section
  std::int16_t g_AircraftLast = -1;
  std::int16_t g_FirstFreeFltsim = 0;
};

// Takes a fresh listing of Aircraft.cfg; g_FirstFreeFltsim changes only
// when the listing met a numbering gap.
inline void take_listing(AircraftState& aircraft, AircraftListing listing) {
  aircraft.g_AircraftEntries = std::move(listing.entries);
  aircraft.g_AircraftSections = std::move(listing.section_numbers);
  aircraft.g_AircraftWhole = std::move(listing.whole);
  aircraft.g_AircraftLast = static_cast<std::int16_t>(aircraft.g_AircraftEntries.size()) - 1;
  if (listing.first_free) aircraft.g_FirstFreeFltsim = *listing.first_free;
}

}  // namespace pw
