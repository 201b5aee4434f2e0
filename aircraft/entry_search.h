// The search field of the screens and of `paintwell-cli list --search`:
// every word typed must appear, without regard to case or accents, in one
// of the fields a person recognises a repaint by.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "aircraft/fltsim_entry.h"

namespace pw {

// Windows-1252 text in lower case with accents dropped ("Ä" -> "a",
// "Œ" -> "oe", "ß" -> "ss"), so that "zurich" finds "Zürich".
std::string fold_for_search(std::string_view text);

// The folded title, ui_variation, atc_airline, atc_id, atc_parking_codes,
// ui_createdby and texture folder of an entry, one per line: what a search
// looks in. Lists fold each entry once and keep it.
std::string search_text(const FltsimEntry& entry);

class EntrySearch {
 public:
  // Words are separated by blanks, tabs or line ends; none matches everything.
  explicit EntrySearch(std::string_view typed);

  bool matches_everything() const { return words_.empty(); }
  // `haystack` is a search_text().
  bool matches(std::string_view haystack) const;
  bool matches(const FltsimEntry& entry) const { return matches(search_text(entry)); }

 private:
  std::vector<std::string> words_;
};

}  // namespace pw
