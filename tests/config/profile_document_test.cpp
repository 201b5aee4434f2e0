#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/profile.h"

namespace pw {
namespace {

using namespace std::string_literals;

TEST(ProfileDocument, FindFollowsProfileReadRules) {
  const std::string bytes =
      "early=before any section\r\n[Fltsim.0]\r\nTitle = \t Boeing 737 \t\r\ndq=\"quoted\"\r\nsq='single'\n"
      "two=\"\"inner\"\"\r\nmixed=\"half'\rlonequote=\"\r\neq=a=b\r\npath=[not a header]\r\nbare key\r\ndup=first\r\n"
      "DUP=second\r\n=no key\r\n[unclosed\r\nafter_unclosed=still fltsim.0\r\n  [  Spaced Name ]  trailing\r\n"
      "k=spaced\r\n[a]b]\r\nk=last bracket\r\n[fltsim.0]\r\nonly_in_second=x\r\n"
      "title=second\r\n";
  const ProfileDocument doc = ProfileDocument::parse(bytes);
  struct Case { const char *name, *section, *key; std::optional<std::string> expected; } cases[] = {
      {"case ignored, blanks and tabs trimmed", "FLTSIM.0", "title", "Boeing 737"},
      {"names compared trimmed", " fltsim.0\t", " TITLE ", "Boeing 737"},
      {"double quotes removed", "fltsim.0", "dq", "quoted"},
      {"single quotes removed, LF line end", "fltsim.0", "sq", "single"},
      {"one pair of quotes only", "fltsim.0", "two", "\"inner\""},
      {"mismatched quotes kept, CR line end", "fltsim.0", "mixed", "\"half'"},
      {"a single quote character is kept", "fltsim.0", "lonequote", "\""},
      {"value runs from the first equals sign", "fltsim.0", "eq", "a=b"},
      {"brackets after the first character", "fltsim.0", "path", "[not a header]"},
      {"line without equals sign is an empty key", "fltsim.0", "bare key", ""},
      {"first duplicate key wins", "fltsim.0", "dup", "first"},
      {"empty key is never found", "fltsim.0", "", std::nullopt},
      {"line without ] is no header", "fltsim.0", "after_unclosed", "still fltsim.0"},
      {"header with blanks around it", "spaced name", "k", "spaced"},
      {"name ends at the last ]", "a]b", "k", "last bracket"},
      {"only the first duplicate section is searched", "fltsim.0", "only_in_second", std::nullopt},
      {"lines before any header are in no section", "", "early", std::nullopt},
      {"missing key", "fltsim.0", "model", std::nullopt},
      {"missing section", "fltsim.1", "title", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, doc.find(c.section, c.key));
  }
  const std::vector<std::string> names = {"Fltsim.0", "Spaced Name", "a]b", "fltsim.0"};
  EXPECT_EQ(names, doc.section_names());
}

// write_all takes a shortcut for new sections; it must end exactly where
// one write per key ends, whatever the keys and values hold.
TEST(ProfileDocument, WriteAllMatchesWritingOneByOne) {
  using Values = std::vector<std::pair<std::string, std::string>>;
  const Values plain = {{"title", "T"}, {"sim", "S"}, {"ui_variation", "\"V\""}, {"visual_damage", "0\r\n"}};
  struct Case { const char* name; std::string bytes; std::string section; Values values; };
  const Case cases[] = {
      {"new section", "[general]\r\nx=1\r\n", "fltsim.0", plain},
      {"no final line end", "[general]\r\nx=1", "fltsim.0", plain},
      {"empty document", "", "fltsim.0", plain},
      {"existing section", "[fltsim.0]\r\nsim=old\r\n\r\n[b]\r\n", "FLTSIM.0", plain},
      {"repeated key", "", "s", {{"a", "1"}, {"b", "2"}, {" A ", "3"}, {"c", "4"}}},
      {"key holding =", "", "s", {{"a", "1"}, {"b=c", "2"}, {"b", "3"}, {"d", "4"}}},
      {"key opening a header", "", "s", {{"a", "1"}, {"[t]", "2"}, {"b", "3"}, {"c", "4"}}},
      {"line end inside a value", "", "s", {{"a", "1"}, {"b", "2\r\n[t]\r\nc=9"}, {"c", "3"}, {"d", "4"}}},
      {"lone LF inside a key", "", "s", {{"a", "1"}, {"b\nc", "2"}, {"c", "3"}, {"d", "4"}}},
      {"blank lines after the first", "", "s", {{"a", "1\r\n\r\n"}, {"b", "2"}, {"c", "3"}}},
      {"first value holding a header", "", "s", {{"a", "1\r\n[s2]"}, {"b", "2"}, {"c", "3"}}},
      {"first key bringing a later key", "", "s", {{"a=1\nb ", "x"}, {"B", "2"}, {"c", "3"}}},
      {"empty and blank keys", "", "s", {{"a", "1"}, {"", "2"}, {"  ", "3"}, {"b", "4"}}},
      {"section name with brackets", "", "s]x", {{"a", "1"}, {"b", "2"}, {"c", "3"}}},
      {"section name with a line end", "", "s\r\nq=1", {{"a", "1"}, {"b", "2"}, {"c", "3"}}},
      {"one value", "", "s", {{"a", "1"}}},
      {"last value of line ends only", "", "s", {{"a", "1"}, {"b", "2"}, {"c", "\r\n\r"}}},
      {"last value holding a header", "", "s", {{"a", "1"}, {"b", "2"}, {"c", "3\r\n[t]\r\nd=4\r\n"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProfileDocument expected = ProfileDocument::parse(c.bytes);
    for (const auto& [key, value] : c.values) expected.write(c.section, key, value);
    std::vector<ProfileDocument::KeyValue> views;
    for (const auto& [key, value] : c.values) views.push_back({key, value});
    ProfileDocument actual = ProfileDocument::parse(c.bytes);
    actual.write_all(c.section, views);
    EXPECT_EQ(expected.serialize(), actual.serialize());
    for (const auto& [key, value] : c.values) EXPECT_EQ(expected.find(c.section, key), actual.find(c.section, key));
    // Lookups after the shortcut must see the lines it added.
    actual.write(c.section, "after", "x");
    expected.write(c.section, "after", "x");
    EXPECT_EQ(expected.serialize(), actual.serialize());
  }
}

}  // namespace
}  // namespace pw
