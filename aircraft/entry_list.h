// Reading the [fltsim.N] entries of an aircraft.cfg.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "aircraft/fltsim_entry.h"
#include "config/profile.h"

namespace pw {

inline constexpr int kMaxFltsimSections = 1000;  // fltsim.0 to fltsim.999

struct AircraftListing {
  std::vector<FltsimEntry> entries;  // in file order; rcf_text left empty
  std::vector<int> section_numbers;  // the N of each entry, same indices
  // Per entry: its record holds its whole section (no key it does not know,
  // no value cut short), so rewriting it from the record loses nothing.
  std::vector<bool> whole;
  // The first N without a title; unset when all 1000 numbers carry one.
  std::optional<std::int16_t> first_free;
};

// Reads fltsim.0 upward, tolerating exactly one missing number: the listing
// stops at the second section without a title. Each value is read as the
// profile wrapper reads it (254-character cut, blanks trimmed) and cut to
// its field's width.
AircraftListing read_aircraft_entries(const ProfileDocument& cfg);

// "fltsim." followed by the number in plain decimal.
std::string fltsim_section(int number);

}  // namespace pw
