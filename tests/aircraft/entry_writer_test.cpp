#include "aircraft/entry_writer.h"

#include <gtest/gtest.h>

#include "aircraft/entry_list.h"

namespace pw {
namespace {

FltsimEntry package_entry(const std::string& title, const std::string& texture, const std::string& variation) {
  FltsimEntry e;
  e.title = title;
  e.sim = "b737";
  e.texture = texture;
  e.ui_manufacturer = "Acme";
  e.ui_variation = variation;
  e.Description = "Nice";
  e.prop_anim_ratio = "1.2";
  e.visual_damage = "1";
  return e;
}

const char* const kBase =
    "[fltsim.0]\r\ntitle=A\r\ntexture=a\r\n\r\n"
    "[General]\r\nperformance=x\r\n";

TEST(AppendPackageEntry, WritesTheFixedKeyOrderAtTheEndOfTheFile) {
  ProfileDocument cfg = ProfileDocument::parse(with_trailing_newline(kBase));
  std::int16_t first_free = 1;
  EXPECT_EQ(1, AppendPackageEntry(cfg, package_entry("New", "Blue", "Blue Sky"), first_free, 4));
  EXPECT_EQ(2, AppendPackageEntry(cfg, package_entry("Two", "Red", ""), first_free, kNoSuffix));
  EXPECT_EQ(3, first_free);
  const std::string expected = std::string(kBase) + "\r\n" +
                               "[fltsim.1]\r\n"
                               "title=New - 004\r\n"
                               "sim=b737\r\n"
                               "texture=Blue_004\r\n"
                               "ui_manufacturer=\"Acme\"\r\n"
                               "ui_variation=\"Blue Sky - 004\"\r\n"
                               "description=Nice\r\n"
                               "prop_anim_ratio=1.2\r\n"
                               "visual_damage=1\r\n\r\n"
                               "[fltsim.2]\r\n"
                               "title=Two\r\n"
                               "sim=b737\r\n"
                               "texture=Red\r\n"
                               "ui_manufacturer=\"Acme\"\r\n"
                               "ui_variation=\"\"\r\n"
                               "description=Nice\r\n"
                               "prop_anim_ratio=1.2\r\n"
                               "visual_damage=1\r\n\r\n";
  EXPECT_EQ(expected, cfg.serialize());
}

TEST(AppendPackageEntry, BareEntryWritesOnlyTheAlwaysKeysAndSuffixZeroIsPadded) {
  ProfileDocument cfg;
  std::int16_t first_free = 0;
  FltsimEntry bare;
  bare.title = "  T  ";
  bare.texture = "X";
  AppendPackageEntry(cfg, bare, first_free, 0);
  EXPECT_EQ(
      "[fltsim.0]\r\ntitle=T - 000\r\ntexture=X_000\r\nui_variation=\" - 000\"\r\nvisual_damage=\r\n\r\n",
      cfg.serialize());
}

TEST(AppendPackageEntry, NeverWritesIntoATitledSectionAfterAGap) {
  ProfileDocument cfg = ProfileDocument::parse(
      "[fltsim.0]\r\ntitle=A\r\n\r\n[fltsim.1]\r\ntitle=B\r\n\r\n[fltsim.3]\r\ntitle=D\r\n\r\n");
  std::int16_t first_free = *read_aircraft_entries(cfg).first_free;
  ASSERT_EQ(2, first_free);
  EXPECT_EQ(2, AppendPackageEntry(cfg, package_entry("N1", "n1", "v1"), first_free, kNoSuffix));
  EXPECT_EQ(4, AppendPackageEntry(cfg, package_entry("N2", "n2", "v2"), first_free, kNoSuffix));
  EXPECT_EQ("D", read_profile_value(cfg, "fltsim.3", "title"));
  const AircraftListing listing = read_aircraft_entries(cfg);
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), listing.section_numbers);
}

TEST(WriteAircraftEntry, RewriteSkipsEmptyKeysAndLowerCasesDescription) {
  ProfileDocument cfg;
  FltsimEntry kept = package_entry("Kept", "", "Var");
  WriteAircraftEntry(cfg, kept, 7);
  EXPECT_EQ(
      "[fltsim.7]\r\ntitle=Kept\r\nsim=b737\r\nui_manufacturer=\"Acme\"\r\nui_variation=\"Var\"\r\n"
      "description=Nice\r\nprop_anim_ratio=1.2\r\nvisual_damage=1\r\n\r\n",
      cfg.serialize());

  ProfileDocument bare_cfg;
  FltsimEntry bare;
  bare.title = "Only";
  WriteAircraftEntry(bare_cfg, bare, 0);
  EXPECT_EQ("[fltsim.0]\r\ntitle=Only\r\nvisual_damage=\r\n\r\n", bare_cfg.serialize());
}

TEST(AircraftCfgText, TrailingNewlineIsAddedOnlyWhenMissing) {
  struct Case {
    const char* name;
    std::string in, out;
  } cases[] = {
      {"no line end", "x=1", "x=1\r\n"},
      {"one line end", "x=1\r\n", "x=1\r\n\r\n"},
      {"already empty line", "x=1\r\n\r\n", "x=1\r\n\r\n"},
      {"empty file", "", "\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.out, with_trailing_newline(c.in));
  }
}

TEST(AircraftCfgText, NormaliseTidiesEmptyLines) {
  struct Case {
    const char* name;
    std::string in, out;
  } cases[] = {
      {"example", "[a]\r\nx=1\r\n\r\n\r\n  \r\n[b]\r\ny=2\r\n[c]", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n\r\n[c]\r\n"},
      {"leading empties dropped", "\r\n\r\n[a]\r\n", "[a]\r\n"},
      {"trailing empties kept once", "[a]\r\nx=1\r\n\r\n\r\n", "[a]\r\nx=1\r\n\r\n"},
      {"lines trimmed, tabs kept", "  x = 1  \r\n\ty\r\n", "x = 1\r\n\ty\r\n"},
      {"lone CR is a line end", "[a]\rx=1\r[b]", "[a]\r\nx=1\r\n\r\n[b]\r\n"},
      {"key line before first header", "k=v\r\n[a]\r\n", "k=v\r\n\r\n[a]\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.out, normalise_aircraft_cfg_text(c.in));
  }
}

}  // namespace
}  // namespace pw
