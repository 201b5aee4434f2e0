#include "aircraft/entry_list.h"

#include <string>

#include "app/text.h"

namespace pw {

std::string fltsim_section(int number) { return "fltsim." + std::to_string(number); }

AircraftListing read_aircraft_entries(const ProfileDocument& cfg) {
  AircraftListing listing;
  bool gap_met = false;
  for (int n = 0; n < kMaxFltsimSections; ++n) {
    const std::string section = fltsim_section(n);
    const std::string title = trim_blanks(read_profile_value(cfg, section, "title"));
    if (title.empty()) {
      if (gap_met) break;
      gap_met = true;
      listing.first_free = static_cast<std::int16_t>(n);
      continue;
    }
    FltsimEntry entry;
    for (std::size_t f = 0; f < kFltsimKeyCount; ++f) {
      const FltsimField& field = fltsim_fields()[f];
      set_field(entry, field, trim_blanks(read_profile_value(cfg, section, field.key)));
    }
    listing.entries.push_back(std::move(entry));
    listing.section_numbers.push_back(n);
  }
  return listing;
}

}  // namespace pw
