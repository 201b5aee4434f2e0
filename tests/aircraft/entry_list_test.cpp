#include "aircraft/entry_list.h"

#include <gtest/gtest.h>

#include <string>

namespace pw {
namespace {

std::string section_text(int n, const std::string& title) {
  return "[fltsim." + std::to_string(n) + "]\r\ntitle=" + title + "\r\ntexture=T" + std::to_string(n) +
         "\r\nui_variation=\"V " + std::to_string(n) + "\"\r\n\r\n";
}

AircraftListing list_of(std::initializer_list<int> numbers) {
  std::string text = "[General]\r\natc_type=Boeing\r\n\r\n";
  for (int n : numbers) text += section_text(n, "Plane " + std::to_string(n));
  return read_aircraft_entries(ProfileDocument::parse(text));
}

TEST(AircraftEntries, OneGapIsReadPastASecondEndsTheList) {
  struct Case {
    const char* name;
    std::initializer_list<int> present;
    std::vector<int> listed;
    std::int16_t first_free;
  } cases[] = {
      {"no gap", {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}, 5},
      {"one gap", {0, 1, 3, 4}, {0, 1, 3, 4}, 2},
      {"two missing numbers", {0, 3}, {0}, 1},
      {"gap at zero", {1, 2}, {1, 2}, 0},
      {"empty file", {}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AircraftListing listing = list_of(c.present);
    EXPECT_EQ(c.listed, listing.section_numbers);
    ASSERT_EQ(c.listed.size(), listing.entries.size());
    for (std::size_t i = 0; i < c.listed.size(); ++i) {
      EXPECT_EQ("Plane " + std::to_string(c.listed[i]), listing.entries[i].title);
      EXPECT_EQ("V " + std::to_string(c.listed[i]), listing.entries[i].ui_variation);
    }
    ASSERT_TRUE(listing.first_free.has_value());
    EXPECT_EQ(c.first_free, *listing.first_free);
  }
}

TEST(AircraftEntries, SectionWithoutTitleCountsAsMissing) {
  const std::string text = section_text(0, "A") + "[fltsim.1]\r\ntexture=X\r\ntitle=   \r\n" +
                           section_text(2, "C") + "[fltsim.3]\r\ntexture=Y\r\n" + section_text(4, "E");
  const AircraftListing listing = read_aircraft_entries(ProfileDocument::parse(text));
  EXPECT_EQ((std::vector<int>{0, 2}), listing.section_numbers);
  EXPECT_EQ(1, *listing.first_free);
}

TEST(AircraftEntries, ValuesAreCutToTheirFieldsAndKeysMatchAnyCase) {
  const std::string text = "[FLTSIM.0]\r\nTITLE=" + std::string(300, 'x') +
                           "\r\nATC_HEAVY=123456789012\r\nDescription=  Nice plane  \r\n";
  const AircraftListing listing = read_aircraft_entries(ProfileDocument::parse(text));
  ASSERT_EQ(1u, listing.entries.size());
  // The profile read's 254-character cut comes before the field's 255.
  EXPECT_EQ(std::string(254, 'x'), listing.entries[0].title);
  EXPECT_EQ("1234567890", listing.entries[0].atc_heavy);
  EXPECT_EQ("Nice plane", listing.entries[0].Description);
  EXPECT_EQ("", listing.entries[0].sim);
  EXPECT_EQ("", listing.entries[0].rcf_text);
}

// A removal rewrites whole entries from their records alone; any section
// holding more than its record must be marked, or that rest is lost.
TEST(AircraftEntries, MarksEntriesWhoseRecordHoldsTheWholeSection) {
  const struct {
    const char* name;
    std::string lines;
    bool whole;
  } cases[] = {
      {"known keys, any case, quotes and blanks", "ATC_ID = \"N1\" \r\ndescription=" + std::string(254, 'd'), true},
      {"a later duplicate of a known key", "atc_id=N1\r\natc_id=" + std::string(300, 'x'), true},
      {"a key the record does not know", "isUserSelectable=1", false},
      {"a line without '='", ";painted by someone", false},
      {"a value past 254 characters", "description=" + std::string(255, 'd'), false},
      {"a value wider than its field", "atc_id=" + std::string(51, 'n'), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const AircraftListing listing =
        read_aircraft_entries(ProfileDocument::parse("[fltsim.0]\r\ntitle=T\r\n" + c.lines + "\r\n"));
    ASSERT_EQ(1u, listing.whole.size());
    EXPECT_EQ(c.whole, listing.whole[0]);
  }
}

TEST(AircraftEntries, AllThousandNumbersTakenLeavesFirstFreeUnset) {
  std::string text;
  for (int n = 0; n < kMaxFltsimSections; ++n) text += "[fltsim." + std::to_string(n) + "]\r\ntitle=t\r\n";
  const AircraftListing listing = read_aircraft_entries(ProfileDocument::parse(text));
  EXPECT_EQ(1000u, listing.entries.size());
  EXPECT_FALSE(listing.first_free.has_value());
}

}  // namespace
}  // namespace pw
