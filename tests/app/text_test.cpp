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
}

TEST(Text, IllFormedUtf8DecodesAsReplacements) {
  const struct { const char* name; const char* utf8; const char* cp1252; } cases[] = {
      {"overlong 2-byte slash", "..\xC0\xAF" "evil", "..??evil"}, {"overlong 2-byte dot", "\xC1\xAE", "??"},
      {"overlong 3-byte slash", "\xE0\x80\xAF", "???"},        {"overlong 4-byte slash", "\xF0\x80\x80\xAF", "????"},
      {"surrogate", "\xED\xA0\x80x", "???x"},                   {"above U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"lead F5", "\xF5\x80", "??"},                              {"lone continuation", "a\x80" "b", "a?b"},
      {"truncated 2-byte", "a\xC3", "a?"},                         {"truncated 3-byte", "\xE2\x82/", "?/"},
      {"accents", "\xC3\xA9t\xC3\xA9 \xC3\x80", "\xE9t\xE9 \xC0"}, {"euro", "\xE2\x82\xAC", "\x80"},
      {"U+10FFFF", "\xF4\x8F\xBF\xBF", "?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.cp1252, utf8_to_cp1252(c.utf8));
  }
}

}  // namespace
}  // namespace pw
