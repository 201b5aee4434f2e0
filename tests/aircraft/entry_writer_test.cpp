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

// A new entry with a line end or other control byte it did not add itself
// is refused, whoever checked the package before; a tab is text.
TEST(EntryWriter, RefusesControlBytesInAnyValue) {
  const struct {
    const char* name;
    std::string FltsimEntry::*member;
    std::string value;
    const char* message;  // empty: written
  } cases[] = {
      {"CR LF and a section", &FltsimEntry::sim, "c172\r\n\r\n[General]\r\natc_type=HIJACKED",
       "the field sim holds the control byte 0x0D"},
      {"lone LF", &FltsimEntry::title, "A\nB", "the field title holds the control byte 0x0A"},
      {"NUL", &FltsimEntry::visual_damage, std::string("1\0", 2), "the field visual_damage holds the control byte 0x00"},
      {"escape, last key", &FltsimEntry::prop_anim_ratio, "\x1B", "the field prop_anim_ratio holds the control byte 0x1B"},
      {"tab", &FltsimEntry::Description, "a\tb", ""},
      {"0x7F and accents", &FltsimEntry::ui_createdby, "\x7F\xE9", ""},
  };
  const std::string base = "[fltsim.0]\r\ntitle=A\r\n\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FltsimEntry entry = package_entry("New", "Blue", "Sky");
    entry.*c.member = c.value;
    ProfileDocument added = ProfileDocument::parse(base);
    std::int16_t first_free = 1;
    const Result<int> appended = AppendPackageEntry(added, entry, first_free, kNoSuffix);
    if (c.message[0] == '\0') {
      EXPECT_TRUE(appended);
      continue;
    }
    ASSERT_FALSE(appended);
    EXPECT_EQ(ErrorCode::kDamaged, appended.error().code);
    EXPECT_EQ(c.message, appended.error().message);
    EXPECT_EQ(1, first_free);
    EXPECT_EQ(base, added.serialize());
  }
}

}  // namespace
}  // namespace pw
