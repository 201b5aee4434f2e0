#include "aircraft/fltsim_entry.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <vector>

#include "base/text.h"

namespace pw {

const std::array<FltsimField, kFltsimFieldCount>& fltsim_fields() {
  static const std::array<FltsimField, kFltsimFieldCount> fields = {{
      {"title", 255, 0, &FltsimEntry::title},
      {"sim", 100, 255, &FltsimEntry::sim},
      {"model", 150, 355, &FltsimEntry::model},
      {"sound", 150, 505, &FltsimEntry::sound},
      {"panel", 150, 655, &FltsimEntry::panel},
      {"texture", 150, 805, &FltsimEntry::texture},
      {"kb_Checklists", 150, 955, &FltsimEntry::kb_Checklists},
      {"kb_Reference", 150, 1105, &FltsimEntry::kb_Reference},
      {"kb_Notes", 150, 1255, &FltsimEntry::kb_Notes},
      {"atc_id", 50, 1405, &FltsimEntry::atc_id},
      {"atc_airline", 150, 1455, &FltsimEntry::atc_airline},
      {"atc_flight_number", 10, 1605, &FltsimEntry::atc_flight_number},
      {"atc_heavy", 10, 1615, &FltsimEntry::atc_heavy},
      {"atc_type", 50, 1625, &FltsimEntry::atc_type},
      {"ui_manufacturer", 255, 1675, &FltsimEntry::ui_manufacturer},
      {"ui_type", 150, 1930, &FltsimEntry::ui_type},
      {"ui_variation", 255, 2080, &FltsimEntry::ui_variation},
      {"ui_typerole", 150, 2335, &FltsimEntry::ui_typerole},
      {"ui_createdby", 150, 2485, &FltsimEntry::ui_createdby},
      {"Description", 255, 2635, &FltsimEntry::Description},
      {"atc_model", 150, 2890, &FltsimEntry::atc_model},
      {"atc_id_font", 50, 3040, &FltsimEntry::atc_id_font},
      {"atc_id_color", 50, 3090, &FltsimEntry::atc_id_color},
      {"atc_id_enable", 10, 3140, &FltsimEntry::atc_id_enable},
      {"atc_parking_codes", 255, 3150, &FltsimEntry::atc_parking_codes},
      {"atc_parking_types", 100, 3405, &FltsimEntry::atc_parking_types},
      {"visual_model_guid", 150, 3505, &FltsimEntry::visual_model_guid},
      {"ui_thumbnailfile", 100, 3655, &FltsimEntry::ui_thumbnailfile},
      {"soundai", 100, 3755, &FltsimEntry::soundai},
      {"visual_damage", 10, 3855, &FltsimEntry::visual_damage},
      {"prop_anim_ratio", 50, 3865, &FltsimEntry::prop_anim_ratio},
      {"rcf_text", kRcfTextSize, 3915, &FltsimEntry::rcf_text},
  }};
  return fields;
}

std::size_t field_of_key(std::string_view key) {
  struct Name {
    std::string_view key;
    std::size_t field;
  };
  // Grouped by length, so a key is compared with at most a few names: the
  // listing looks up every key line of every section.
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

void set_field(FltsimEntry& entry, const FltsimField& field, std::string value) {
  if (value.size() > field.width) value.resize(field.width);
  entry.*field.member = std::move(value);
}

std::string store_entry(const FltsimEntry& entry) {
  std::string record;
  record.reserve(kFltsimRecordSize);
  for (const FltsimField& field : fltsim_fields()) {
    const std::string& value = entry.*field.member;
    const bool is_rcf_text = field.member == &FltsimEntry::rcf_text;
    const char fill = is_rcf_text ? '\0' : ' ';
    record.append(value.substr(0, field.width));
    record.append(field.width - std::min(value.size(), field.width), fill);
  }
  assert(record.size() == kFltsimRecordSize);
  return record;
}

namespace {

Result<void> check_field_text(std::string_view key, std::string_view value) {
  const auto at = std::find_if(value.begin(), value.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
  if (at == value.end()) return {};
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(*at)));
  return make_error(ErrorCode::kDamaged, "the field " + std::string(key) + " holds the control byte " + hex);
}

}  // namespace

Result<void> check_entry_text(const FltsimEntry& entry) {
  for (std::size_t f = 0; f < kFltsimKeyCount; ++f) {
    const FltsimField& field = fltsim_fields()[f];
    PW_TRY(check_field_text(field.key, entry.*field.member));
  }
  return {};
}

FltsimEntry load_entry(std::string_view record) {
  assert(record.size() >= kFltsimRecordSize);
  FltsimEntry entry;
  for (const FltsimField& field : fltsim_fields()) {
    const std::string_view raw = record.substr(field.offset, field.width);
    const bool is_rcf_text = field.member == &FltsimEntry::rcf_text;
    entry.*field.member = is_rcf_text ? std::string(raw) : trim_blanks(raw);
  }
  return entry;
}

}  // namespace pw
