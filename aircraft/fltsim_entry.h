// One [fltsim.N] entry of an aircraft.cfg: 31 keys plus the configuration
// text a package carries. Its stored form is the head of every package.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/result.h"

namespace pw {

struct FltsimEntry {
  std::string title;
  std::string sim;
  std::string model;
  std::string sound;
  std::string panel;
  std::string texture;
  std::string kb_Checklists;
  std::string kb_Reference;
  std::string kb_Notes;
  std::string atc_id;
  std::string atc_airline;
  std::string atc_flight_number;
  std::string atc_heavy;
  std::string atc_type;
  std::string ui_manufacturer;
  std::string ui_type;
  std::string ui_variation;
  std::string ui_typerole;
  std::string ui_createdby;
  std::string Description;
  std::string atc_model;
  std::string atc_id_font;
  std::string atc_id_color;
  std::string atc_id_enable;
  std::string atc_parking_codes;
  std::string atc_parking_types;
  std::string visual_model_guid;
  std::string ui_thumbnailfile;
  std::string soundai;
  std::string visual_damage;
  std::string prop_anim_ratio;
  std::string rcf_text;  // exactly kRcfTextSize bytes when set, NULs included
};

struct FltsimField {
  const char* key;  // aircraft.cfg key, spelled as the entry list reads it
  std::size_t width;
  std::size_t offset;  // in the stored record
  std::string FltsimEntry::*member;
};

inline constexpr std::size_t kFltsimFieldCount = 32;
inline constexpr std::size_t kFltsimKeyCount = 31;  // all but rcf_text
inline constexpr std::size_t kFltsimRecordSize = 4915;
inline constexpr std::size_t kRcfTextSize = 1000;

// The fields in record order.
const std::array<FltsimField, kFltsimFieldCount>& fltsim_fields();

// Index in fltsim_fields() of the field an aircraft.cfg key names,
// compared without regard to case; kFltsimKeyCount for any other key
// (rcf_text is no key).
std::size_t field_of_key(std::string_view key);

// Stores a value into a field, cut to the field's width.
void set_field(FltsimEntry& entry, const FltsimField& field, std::string value);

// The 4915-byte stored form: each field left-aligned and blank-filled to its
// width (cut when longer); rcf_text NUL-filled instead, kept as it is.
std::string store_entry(const FltsimEntry& entry);

// kDamaged "the field <key> holds the control byte 0xNN" for the first of
// fields 1 to 31 that holds a byte below 0x20 other than a tab: written
// into aircraft.cfg, a CR or LF would end the line and start lines of the
// sender's choosing (another [General], say). rcf_text, whose CR LF lines
// and NUL padding are its format, is not looked at.
Result<void> check_entry_text(const FltsimEntry& entry);

// Reads a stored record (`record` holds at least kFltsimRecordSize bytes):
// fields 1 to 31 with blanks trimmed, rcf_text unchanged.
FltsimEntry load_entry(std::string_view record);

}  // namespace pw
