#include "aircraft/entry_search.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(EntrySearch, EveryWordInSomeSearchedFieldWhateverCaseAndAccents) {
  FltsimEntry e;
  e.title = "Boeing 747-400 Z\xFCrich";  // Zürich
  e.ui_variation = "Swiss \x8C" "uvre";  // Œuvre
  e.atc_airline = "SWISSAIR";
  e.atc_id = "HB-IGA";
  e.atc_parking_codes = "SWR,SAS";
  e.ui_createdby = "J\xF6rg";  // Jörg
  e.texture = "Blue";
  e.Description = "hidden words";
  const struct { const char* typed; bool found; } cases[] = {
      {"", true},
      {"  \t ", true},
      {"zurich", true},
      {"Z\xDCRICH 747", true},  // ZÜRICH
      {"oeuvre", true},
      {"hb-iga sas", true},
      {"jorg", true},
      {"texture.blue", true},
      {"swissair zurich", true},
      {"swissair paris", false},
      {"hidden", false},  // the description is not searched
      {"zurichswiss", false},  // no word runs from one field into the next
      {"ich swiss", true},
  };
  const std::string haystack = search_text(e);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(c.found, EntrySearch(c.typed).matches(haystack));
  }
  EXPECT_TRUE(EntrySearch(" ").matches_everything());
  EXPECT_FALSE(EntrySearch("a").matches_everything());
}

}  // namespace
}  // namespace pw
