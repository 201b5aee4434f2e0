#include "aircraft/entry_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "aircraft/entry_list.h"
#include "base/text.h"

namespace pw {
namespace {

enum class Suffix { kNone, kDash, kUnderscore };

struct WriteRow {
  const char* key;  // as written: "description" is lower case here
  std::string FltsimEntry::*member;
  bool always_when_new;
  bool always_when_rewritten;
  bool quoted;
  Suffix suffix;
};

// The written key order differs from the record: lower-case "description",
// prop_anim_ratio before visual_damage.
constexpr std::array<WriteRow, kFltsimKeyCount> kWriteTable = {{
    {"title", &FltsimEntry::title, true, true, false, Suffix::kDash},
    {"sim", &FltsimEntry::sim, false, false, false, Suffix::kNone},
    {"model", &FltsimEntry::model, false, false, false, Suffix::kNone},
    {"sound", &FltsimEntry::sound, false, false, false, Suffix::kNone},
    {"panel", &FltsimEntry::panel, false, false, false, Suffix::kNone},
    {"texture", &FltsimEntry::texture, true, false, false, Suffix::kUnderscore},
    {"kb_Checklists", &FltsimEntry::kb_Checklists, false, false, false, Suffix::kNone},
    {"kb_Reference", &FltsimEntry::kb_Reference, false, false, false, Suffix::kNone},
    {"kb_Notes", &FltsimEntry::kb_Notes, false, false, false, Suffix::kNone},
    {"atc_id", &FltsimEntry::atc_id, false, false, false, Suffix::kNone},
    {"atc_airline", &FltsimEntry::atc_airline, false, false, false, Suffix::kNone},
    {"atc_flight_number", &FltsimEntry::atc_flight_number, false, false, false, Suffix::kNone},
    {"atc_heavy", &FltsimEntry::atc_heavy, false, false, false, Suffix::kNone},
    {"atc_type", &FltsimEntry::atc_type, false, false, false, Suffix::kNone},
    {"ui_manufacturer", &FltsimEntry::ui_manufacturer, false, false, true, Suffix::kNone},
    {"ui_type", &FltsimEntry::ui_type, false, false, true, Suffix::kNone},
    {"ui_variation", &FltsimEntry::ui_variation, true, false, true, Suffix::kDash},
    {"ui_typerole", &FltsimEntry::ui_typerole, false, false, true, Suffix::kNone},
    {"ui_createdby", &FltsimEntry::ui_createdby, false, false, true, Suffix::kNone},
    {"description", &FltsimEntry::Description, false, false, false, Suffix::kNone},
    {"atc_model", &FltsimEntry::atc_model, false, false, false, Suffix::kNone},
    {"atc_id_font", &FltsimEntry::atc_id_font, false, false, false, Suffix::kNone},
    {"atc_id_color", &FltsimEntry::atc_id_color, false, false, false, Suffix::kNone},
    {"atc_id_enable", &FltsimEntry::atc_id_enable, false, false, false, Suffix::kNone},
    {"atc_parking_codes", &FltsimEntry::atc_parking_codes, false, false, false, Suffix::kNone},
    {"atc_parking_types", &FltsimEntry::atc_parking_types, false, false, false, Suffix::kNone},
    {"visual_model_guid", &FltsimEntry::visual_model_guid, false, false, false, Suffix::kNone},
    {"ui_thumbnailfile", &FltsimEntry::ui_thumbnailfile, false, false, false, Suffix::kNone},
    {"soundai", &FltsimEntry::soundai, false, false, false, Suffix::kNone},
    {"prop_anim_ratio", &FltsimEntry::prop_anim_ratio, false, false, false, Suffix::kNone},
    {"visual_damage", &FltsimEntry::visual_damage, true, true, false, Suffix::kNone},
}};

std::string three_digits(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%03d", number);
  return text;
}

std::string_view suffix_text(Suffix suffix) { return suffix == Suffix::kDash ? " - " : "_"; }

// What a kept entry's own section holds beyond its record: each field's
// value in full, and the keys the record does not know (first line of
// each key, in file order).
struct OriginalLines {
  std::array<std::optional<std::string_view>, kFltsimKeyCount> fields;
  std::vector<ProfileDocument::KeyValue> unknown;
};

OriginalLines sort_original(const std::vector<ProfileDocument::KeyValue>& original) {
  OriginalLines sorted;
  for (const ProfileDocument::KeyValue& line : original) {
    const std::size_t f = field_of_key(line.key);
    if (f < kFltsimKeyCount) {
      if (!sorted.fields[f]) sorted.fields[f] = trim_blanks_view(line.value);
      continue;
    }
    const bool repeated = std::any_of(sorted.unknown.begin(), sorted.unknown.end(),
                                      [&](const ProfileDocument::KeyValue& u) { return iequals(u.key, line.key); });
    if (!repeated) sorted.unknown.push_back(line);
  }
  return sorted;
}

// The field of each row of kWriteTable.
const std::array<std::size_t, kWriteTable.size()>& row_fields() {
  static const auto fields = [] {
    std::array<std::size_t, kWriteTable.size()> table{};
    for (std::size_t r = 0; r < kWriteTable.size(); ++r) table[r] = field_of_key(kWriteTable[r].key);
    return table;
  }();
  return fields;
}

// The record's value, or the section's own when the record holds it cut
// short (the listing keeps 254 characters at most, and less for narrow
// fields).
std::string_view value_to_write(const FltsimEntry& entry, std::size_t row, const OriginalLines& original) {
  const std::string_view recorded = trim_blanks_view(entry.*kWriteTable[row].member);
  const std::size_t f = row_fields()[row];
  if (f == kFltsimKeyCount || !original.fields[f]) return recorded;
  const std::string_view full = *original.fields[f];
  return full.size() > recorded.size() && full.starts_with(recorded) ? full : recorded;
}

void write_entry(ProfileDocument& cfg, const FltsimEntry& entry, const std::string& section, bool is_new,
                 std::int16_t suffix_number, const OriginalLines& original) {
  // All values go into one buffer; the views into it are taken once it
  // stops growing.
  std::string buffer;
  std::vector<std::pair<const char*, std::pair<std::size_t, std::size_t>>> spans;
  spans.reserve(kWriteTable.size());
  for (std::size_t r = 0; r < kWriteTable.size(); ++r) {
    const WriteRow& row = kWriteTable[r];
    const std::string_view value = value_to_write(entry, r, original);
    const bool always = is_new ? row.always_when_new : row.always_when_rewritten;
    if (value.empty() && !always) continue;
    const std::size_t start = buffer.size();
    if (row.quoted) buffer += '"';
    buffer += value;
    if (is_new && suffix_number != kNoSuffix && row.suffix != Suffix::kNone) {
      buffer.append(suffix_text(row.suffix)).append(three_digits(suffix_number));
    }
    // The CR LF after visual_damage leaves an empty line that separates this
    // entry from whatever is appended next.
    if (row.member == &FltsimEntry::visual_damage) buffer += "\r\n";
    if (row.quoted) buffer += '"';
    spans.push_back({row.key, {start, buffer.size() - start}});
  }
  std::vector<ProfileDocument::KeyValue> values;
  values.reserve(spans.size() + original.unknown.size());
  const std::string_view all(buffer);
  for (const auto& [key, span] : spans) values.push_back({key, all.substr(span.first, span.second)});
  values.insert(values.end(), original.unknown.begin(), original.unknown.end());
  cfg.write_all(section, values);
}

bool has_title(const ProfileDocument& cfg, int number) {
  return !trim_blanks(read_profile_value(cfg, fltsim_section(number), "title")).empty();
}

}  // namespace

std::string suffixed_title(std::string_view title, std::int16_t suffixNumber) {
  std::string text(title);
  if (suffixNumber != kNoSuffix) text.append(suffix_text(Suffix::kDash)).append(three_digits(suffixNumber));
  return text;
}

Result<int> AppendPackageEntry(ProfileDocument& cfg, const FltsimEntry& entry, std::int16_t& first_free,
                               std::int16_t suffixNumber) {
  // Checked again here, whoever checked the package before: the line ends
  // written below must be the only ones.
  PW_TRY(check_entry_text(entry));
  int number = first_free;
  while (has_title(cfg, number)) ++number;
  first_free = static_cast<std::int16_t>(number + 1);
  write_entry(cfg, entry, fltsim_section(number), true, suffixNumber, {});
  return number;
}

void WriteAircraftEntry(ProfileDocument& cfg, const FltsimEntry& entry, std::int32_t sectionNumber,
                        const std::vector<ProfileDocument::KeyValue>& original) {
  write_entry(cfg, entry, fltsim_section(sectionNumber), false, kNoSuffix, sort_original(original));
}

std::string with_trailing_newline(std::string_view cfg_bytes) {
  std::string out(cfg_bytes);
  const bool ends_with_empty_line = out.size() >= 4 && out.compare(out.size() - 4, 4, "\r\n\r\n") == 0;
  if (!ends_with_empty_line) out += "\r\n";
  return out;
}

std::string normalise_aircraft_cfg_text(std::string_view cfg_bytes) {
  std::string out;
  out.reserve(cfg_bytes.size());
  int empty_run = 0;
  bool previous_empty = false;
  LineWalker lines(cfg_bytes);
  for (std::string_view raw; lines.next(raw);) {
    const std::string_view line = trim_blanks_view(raw);
    if (line.empty()) {
      if (empty_run == 0) out += "\r\n";
      ++empty_run;
      previous_empty = true;
      continue;
    }
    if (!previous_empty && line[0] == '[') out += "\r\n";
    out += line;
    out += "\r\n";
    empty_run = 0;
    previous_empty = false;
  }
  if (out.compare(0, 2, "\r\n") == 0) out.erase(0, 2);
  return out;
}

}  // namespace pw
