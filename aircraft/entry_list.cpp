#include "aircraft/entry_list.h"

#include <bitset>
#include <string>

#include "app/text.h"

namespace pw {
namespace {

// The entry of one section in a single pass over its lines; the first
// line of a key wins, as a look-up would find it.
FltsimEntry read_entry(const ProfileDocument& cfg, std::size_t position) {
  FltsimEntry entry;
  std::bitset<kFltsimKeyCount> seen;
  for (const ProfileDocument::KeyValue& line : cfg.key_values(position)) {
    const std::size_t f = field_of_key(line.key);
    if (f == kFltsimKeyCount || seen[f]) continue;
    seen[f] = true;
    set_field(entry, fltsim_fields()[f], clip_profile_value(line.value));
  }
  return entry;
}

}  // namespace

std::string fltsim_section(int number) { return "fltsim." + std::to_string(number); }

AircraftListing read_aircraft_entries(const ProfileDocument& cfg) {
  AircraftListing listing;
  bool gap_met = false;
  for (int n = 0; n < kMaxFltsimSections; ++n) {
    const std::optional<std::size_t> position = cfg.section_position(fltsim_section(n));
    FltsimEntry entry = position ? read_entry(cfg, *position) : FltsimEntry{};
    if (entry.title.empty()) {
      if (gap_met) break;
      gap_met = true;
      listing.first_free = static_cast<std::int16_t>(n);
      continue;
    }
    listing.entries.push_back(std::move(entry));
    listing.section_numbers.push_back(n);
  }
  return listing;
}

}  // namespace pw
