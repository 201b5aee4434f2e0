// Writing [fltsim.N] entries into a parsed aircraft.cfg, key by key in the
// fixed order of the written format, and the text-level tidying steps.
// Callers save the document once per operation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "aircraft/fltsim_entry.h"
#include "base/result.h"
#include "config/profile.h"

namespace pw {

inline constexpr std::int16_t kNoSuffix = -1;

// Appends a new entry from a package. The section number is `first_free`,
// or the next number above it whose section has no title (an existing entry
// is never written into); `first_free` is then set one past the number
// used. With a suffix 0..999, title and ui_variation end in " - NNN" and
// texture in "_NNN". Returns the section number written. kDamaged (see
// check_entry_text) when a field holds a control byte; then nothing is
// written and `first_free` is unchanged.
Result<int> AppendPackageEntry(ProfileDocument& cfg, const FltsimEntry& entry, std::int16_t& first_free,
                               std::int16_t suffixNumber);

// `title` as AppendPackageEntry writes it with `suffixNumber`: with " - NNN"
// for 0..999, as it is for kNoSuffix.
std::string suffixed_title(std::string_view title, std::int16_t suffixNumber);

// Writes a kept entry under a new section number (removal renumbering),
// from its record, in the fixed key order. `original` holds the key lines
// of the entry's old section (ProfileDocument::key_values): what the record
// cannot hold is taken from there instead of being lost, a value the record
// holds cut short is written in full, and keys the record does not know
// follow the entry's own keys (first line of each key, in file order).
// Its values are aircraft.cfg's own and are written back as they stand.
void WriteAircraftEntry(ProfileDocument& cfg, const FltsimEntry& entry, std::int32_t sectionNumber,
                        const std::vector<ProfileDocument::KeyValue>& original = {});

// The file's bytes with one CR LF appended unless they end in CR LF CR LF.
std::string with_trailing_newline(std::string_view cfg_bytes);

// Every line trimmed of blanks, runs of empty lines cut to one, one empty
// line before each section header but the first line, none at the start.
std::string normalise_aircraft_cfg_text(std::string_view cfg_bytes);

}  // namespace pw
