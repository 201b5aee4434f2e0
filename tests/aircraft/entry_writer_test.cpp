#include "aircraft/entry_writer.h"

#include <gtest/gtest.h>

#include "aircraft/entry_list.h"
#include "base/text.h"
#include "config/profile.h"

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

TEST(AppendPackageEntry, WritesTheFixedKeyOrderAtTheEndOfTheFile) {
  const std::string base = "[fltsim.0]\r\ntitle=A\r\ntexture=a\r\n\r\n[General]\r\nperformance=x\r\n";
  ProfileDocument cfg = ProfileDocument::parse(with_trailing_newline(base));
  std::int16_t first_free = 1;
  EXPECT_EQ(1, AppendPackageEntry(cfg, package_entry("New", "Blue", "Blue Sky"), first_free, 4));
  EXPECT_EQ(2, AppendPackageEntry(cfg, package_entry("Two", "Red", ""), first_free, kNoSuffix));
  EXPECT_EQ(3, first_free);
  EXPECT_EQ(base + "\r\n" +
                "[fltsim.1]\r\ntitle=New - 004\r\nsim=b737\r\ntexture=Blue_004\r\nui_manufacturer=\"Acme\"\r\n"
                "ui_variation=\"Blue Sky - 004\"\r\ndescription=Nice\r\nprop_anim_ratio=1.2\r\nvisual_damage=1\r\n\r\n"
                "[fltsim.2]\r\ntitle=Two\r\nsim=b737\r\ntexture=Red\r\nui_manufacturer=\"Acme\"\r\n"
                "ui_variation=\"\"\r\ndescription=Nice\r\nprop_anim_ratio=1.2\r\nvisual_damage=1\r\n\r\n",
            cfg.serialize());

  // A bare entry writes only the keys always written; suffix 0 is padded.
  ProfileDocument empty;
  first_free = 0;
  FltsimEntry bare;
  bare.title = "  T  ";
  bare.texture = "X";
  AppendPackageEntry(empty, bare, first_free, 0);
  EXPECT_EQ("[fltsim.0]\r\ntitle=T - 000\r\ntexture=X_000\r\nui_variation=\" - 000\"\r\nvisual_damage=\r\n\r\n",
            empty.serialize());
}

TEST(WriteAircraftEntry, RewriteSkipsEmptyKeysAndLowerCasesDescription) {
  ProfileDocument cfg;
  WriteAircraftEntry(cfg, package_entry("Kept", "", "Var"), 7);
  FltsimEntry bare;
  bare.title = "Only";
  WriteAircraftEntry(cfg, bare, 0);
  EXPECT_EQ(
      "[fltsim.7]\r\ntitle=Kept\r\nsim=b737\r\nui_manufacturer=\"Acme\"\r\nui_variation=\"Var\"\r\n"
      "description=Nice\r\nprop_anim_ratio=1.2\r\nvisual_damage=1\r\n\r\n"
      "[fltsim.0]\r\ntitle=Only\r\nvisual_damage=\r\n\r\n",
      cfg.serialize());
}

// A kept entry's record holds 254 characters of a value at most and only
// the keys it knows; rewriting it must not lose the rest of its section.
TEST(WriteAircraftEntry, KeepsWhatTheRecordCannotHold) {
  std::string long_text;
  while (long_text.size() < 300) long_text += "A long description. ";
  const ProfileDocument old = ProfileDocument::parse(
      "[fltsim.0]\r\ntitle=Kept\r\n isAirTraffic = 1\r\nDESCRIPTION=\"" + long_text + "\"\r\natc_id=N1\r\n"
      ";note\r\nisairtraffic=2\r\nui_variation=Var\r\nsim=Changed since\r\natc_id=N2\r\n");
  FltsimEntry record = read_aircraft_entries(old).entries.at(0);
  ASSERT_EQ(254u, record.Description.size());
  record.sim = "b737";  // a record that no longer matches the file wins
  ProfileDocument cfg;
  WriteAircraftEntry(cfg, record, 7, old.key_values(0));
  EXPECT_EQ("[fltsim.7]\r\ntitle=Kept\r\nsim=b737\r\natc_id=N1\r\nui_variation=\"Var\"\r\ndescription=" +
                trim_blanks(long_text) + "\r\nvisual_damage=\r\nisAirTraffic=1\r\n;note=\r\n\r\n",
            cfg.serialize());
}

TEST(AircraftCfgText, TrailingNewlineAndTidying) {
  const struct {
    const char* name;
    std::string (*tidy)(std::string_view);
    std::string in, out;
  } cases[] = {
      {"no line end", with_trailing_newline, "x=1", "x=1\r\n"},
      {"one line end", with_trailing_newline, "x=1\r\n", "x=1\r\n\r\n"},
      {"already empty line", with_trailing_newline, "x=1\r\n\r\n", "x=1\r\n\r\n"},
      {"empty file", with_trailing_newline, "", "\r\n"},
      {"example", normalise_aircraft_cfg_text, "[a]\r\nx=1\r\n\r\n\r\n  \r\n[b]\r\ny=2\r\n[c]",
       "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n\r\n[c]\r\n"},
      {"leading empties dropped", normalise_aircraft_cfg_text, "\r\n\r\n[a]\r\n", "[a]\r\n"},
      {"trailing empties kept once", normalise_aircraft_cfg_text, "[a]\r\nx=1\r\n\r\n\r\n", "[a]\r\nx=1\r\n\r\n"},
      {"lines trimmed, tabs kept", normalise_aircraft_cfg_text, "  x = 1  \r\n\ty\r\n", "x = 1\r\n\ty\r\n"},
      {"lone CR is a line end", normalise_aircraft_cfg_text, "[a]\rx=1\r[b]", "[a]\r\nx=1\r\n\r\n[b]\r\n"},
      {"key line before first header", normalise_aircraft_cfg_text, "k=v\r\n[a]\r\n", "k=v\r\n\r\n[a]\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.out, c.tidy(c.in));
  }
}

}  // namespace
}  // namespace pw
