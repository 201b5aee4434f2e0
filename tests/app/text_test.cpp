#include "app/text.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(Text, TrimAndCaseFoldingCoverWindows1252) {
  EXPECT_EQ("a b", trim_blanks("  a b  "));
  EXPECT_EQ("\ta\t", trim_blanks(" \ta\t "));  // blanks only unless tabs are asked
  EXPECT_EQ("a", trim_blanks_tabs(" \ta\t "));
  EXPECT_EQ("", trim_blanks("   "));
  EXPECT_TRUE(iequals("Aircraft.CFG", "aircraft.cfg"));
  EXPECT_TRUE(iequals("\xC9t\xC9", "\xE9t\xE9"));  // ÉtÉ / été
  EXPECT_TRUE(iequals("\x8A", "\x9A"));            // Š / š
  EXPECT_FALSE(iequals("\xD7", "\xF7"));           // × and ÷ are not a pair
  EXPECT_FALSE(iequals("abc", "abcd"));
  EXPECT_TRUE(starts_with_ci("Fltsim.", "FLTSIM.") && ends_with_ci("a.PKG", "A.pkg"));  // the whole text
}

TEST(Text, SplitLinesFollowsLineInputRules) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"crlf", "a\r\nb\r\n", {"a", "b"}},
      {"lone cr", "a\rb", {"a", "b"}},
      {"lone lf stays", "a\nb\r\n", {"a\nb"}},
      {"empty lines kept", "a\r\n\r\n\rb", {"a", "", "", "b"}},
      {"no final end", "x=1", {"x=1"}},
      {"empty text", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.lines, split_lines(c.text));
  }
}

TEST(Text, Cp1252RoundTripsThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(all, utf8_to_cp1252(cp1252_to_utf8(all)));
  EXPECT_EQ("\xE2\x82\xAC", cp1252_to_utf8("\x80"));  // euro sign
  EXPECT_EQ("caf\xE9", utf8_to_cp1252("caf\xC3\xA9"));
  EXPECT_EQ("?", utf8_to_cp1252("\xE4\xB8\xAD"));  // no Windows-1252 form
  EXPECT_EQ("a?", utf8_to_cp1252("a\xC3"));         // truncated sequence
}

// Folder listings check the common masks; here the backtracking a star needs.
TEST(Text, WildcardsAndSmallEdits) {
  EXPECT_TRUE(wildcard_match("*a*b*", "xxaYYbzz"));
  EXPECT_TRUE(wildcard_match("t?x*", "TEXture"));
  EXPECT_FALSE(wildcard_match("t?x", "tx"));
  EXPECT_EQ("C:\\a\\b\\", collapse_backslashes("C:\\\\a\\b\\\\"));
  EXPECT_EQ("a_b_c", replace_all("a b c", " ", "_"));
}

}  // namespace
}  // namespace pw
