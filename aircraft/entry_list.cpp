#include "aircraft/entry_list.h"

#include <bitset>
#include <string>

#include "base/text.h"

namespace pw {
namespace {

struct ReadEntry {
  FltsimEntry entry;
  bool whole = true;  // see AircraftListing::whole
};

// The entry of one section in a single pass over its lines; the first
// line of a key wins, as a look-up would find it.
ReadEntry read_entry(const ProfileDocument& cfg, std::size_t position) {
  ReadEntry read;
  std::bitset<kFltsimKeyCount> seen;
  for (const ProfileDocument::KeyValue& line : cfg.key_values(position)) {
    const std::size_t f = field_of_key(line.key);
    if (f == kFltsimKeyCount) read.whole = false;
    if (f == kFltsimKeyCount || seen[f]) continue;
    seen[f] = true;
    const std::size_t length = trim_blanks_view(line.value).size();
    if (length > kMaxProfileValue || length > fltsim_fields()[f].width) read.whole = false;
    set_field(read.entry, fltsim_fields()[f], clip_profile_value(line.value));
  }
  return read;
}

}  // namespace

std::string fltsim_section(int number) { return "fltsim." + std::to_string(number); }

AircraftListing read_aircraft_entries(const ProfileDocument& cfg) {
  AircraftListing listing;
  bool gap_met = false;
  for (int n = 0; n < kMaxFltsimSections; ++n) {
    const std::optional<std::size_t> position = cfg.section_position(fltsim_section(n));
    ReadEntry read = position ? read_entry(cfg, *position) : ReadEntry{};
    if (read.entry.title.empty()) {
      if (gap_met) break;
      gap_met = true;
      listing.first_free = static_cast<std::int16_t>(n);
      continue;
    }
    listing.entries.push_back(std::move(read.entry));
    listing.section_numbers.push_back(n);
    listing.whole.push_back(read.whole);
  }
  return listing;
}

}  // namespace pw
