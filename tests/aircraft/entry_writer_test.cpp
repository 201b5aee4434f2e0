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
  EXPECT_EQ(1, *AppendPackageEntry(cfg, package_entry("New", "Blue", "Blue Sky"), first_free, 4));
  EXPECT_EQ(2, *AppendPackageEntry(cfg, package_entry("Two", "Red", ""), first_free, kNoSuffix));
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
  ASSERT_TRUE(AppendPackageEntry(empty, bare, first_free, 0));
  EXPECT_EQ("[fltsim.0]\r\ntitle=T - 000\r\ntexture=X_000\r\nui_variation=\" - 000\"\r\nvisual_damage=\r\n\r\n",
            empty.serialize());
}

// A new entry holding a line end it did not write itself is refused,
// whoever checked the package before; a tab is text.
TEST(AppendPackageEntry, RefusesControlBytesButNotTabs) {
  for (const std::string value : {"1\r\n[General]\r\natc_type=HIJACKED", "1\t2"}) {
    FltsimEntry entry = package_entry("New", "Blue", "Sky");
    entry.prop_anim_ratio = value;  // the last field checked
    ProfileDocument cfg;
    std::int16_t first_free = 1;
    const Result<int> appended = AppendPackageEntry(cfg, entry, first_free, kNoSuffix);
    const bool is_tab = value == "1\t2";
    EXPECT_EQ(is_tab ? 2 : 1, first_free);
    EXPECT_EQ(is_tab, cfg.serialize().find("[fltsim.1]") != std::string::npos);
    EXPECT_EQ(is_tab ? "" : "the field prop_anim_ratio holds the control byte 0x0D",
              appended ? std::string() : appended.error().message);
  }
}

}  // namespace
}  // namespace pw
