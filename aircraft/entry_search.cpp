#include "aircraft/entry_search.h"

#include <array>

#include "base/text.h"

namespace pw {
namespace {

// The unaccented lower-case letters of Windows-1252's letters above 0x7F;
// empty where the byte is no letter and stays as it is.
const char* unaccented(unsigned char c) {
  static const std::array<const char*, 64> kLatin1Letters = {
      "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",  // 0xC0
      "d", "n", "o", "o", "o", "o", "o", "",  "o", "u", "u", "u", "u", "y", "th", "ss",  // 0xD0
      "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",  // 0xE0
      "d", "n", "o", "o", "o", "o", "o", "",  "o", "u", "u", "u", "u", "y", "th", "y",  // 0xF0
  };
  if (c >= 0xC0) return kLatin1Letters[c - 0xC0];
  switch (c) {
    case 0x8A: case 0x9A: return "s";
    case 0x8E: case 0x9E: return "z";
    case 0x8C: case 0x9C: return "oe";
    case 0x9F: return "y";
    default: return "";
  }
}

}  // namespace

std::string fold_for_search(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const char* plain = unaccented(static_cast<unsigned char>(c));
    if (*plain) {
      out += plain;
    } else {
      out += to_lower_byte(c);
    }
  }
  return out;
}

std::string search_text(const FltsimEntry& e) {
  std::string text;
  for (const std::string* field : {&e.title, &e.ui_variation, &e.atc_airline, &e.atc_id, &e.atc_parking_codes,
                                   &e.ui_createdby}) {
    text += *field;
    text += '\n';
  }
  text += "Texture." + e.texture;
  return fold_for_search(text);
}

EntrySearch::EntrySearch(std::string_view typed) {
  const std::string folded = fold_for_search(typed);
  std::size_t at = 0;
  while (at < folded.size()) {
    const std::size_t end = folded.find_first_of(" \t\r\n", at);
    const std::size_t stop = end == std::string::npos ? folded.size() : end;
    if (stop > at) words_.push_back(folded.substr(at, stop - at));
    at = stop + 1;
  }
}

bool EntrySearch::matches(std::string_view haystack) const {
  for (const std::string& word : words_) {
    if (haystack.find(word) == std::string_view::npos) return false;
  }
  return true;
}

}  // namespace pw
