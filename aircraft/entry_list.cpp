#include "aircraft/entry_list.h"

#include <array>
#include <bitset>
#include <string>

#include "app/text.h"

namespace pw {
namespace {

// The field a key names, compared without regard to case; kFltsimKeyCount
// for any other key. Keys are grouped by length so a line is compared with
// at most a few names.
std::size_t field_of_key(std::string_view key) {
  struct Name {
    std::string_view key;
    std::size_t field;
  };
  static const auto by_length = [] {
    std::array<std::vector<Name>, 32> table;
    for (std::size_t f = 0; f < kFltsimKeyCount; ++f) {
      const std::string_view name = fltsim_fields()[f].key;
      table[name.size()].push_back({name, f});
    }
    return table;
  }();
  if (key.size() >= by_length.size()) return kFltsimKeyCount;
  for (const Name& name : by_length[key.size()]) {
    if (iequals(key, name.key)) return name.field;
  }
  return kFltsimKeyCount;
}

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
