#include "base/text.h"

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

TEST(Text, Cp1252RoundTripsThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(all, utf8_to_cp1252(cp1252_to_utf8(all)));
  EXPECT_EQ("\xE2\x82\xAC", cp1252_to_utf8("\x80"));  // euro sign
  EXPECT_EQ("caf\xE9", utf8_to_cp1252("caf\xC3\xA9"));
  EXPECT_EQ("?", utf8_to_cp1252("\xE4\xB8\xAD"));  // no Windows-1252 form
  EXPECT_EQ("a?", utf8_to_cp1252("a\xC3"));         // truncated sequence
}

}  // namespace
}  // namespace pw
