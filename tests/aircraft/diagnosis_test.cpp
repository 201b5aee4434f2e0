#include "aircraft/diagnosis.h"

#include <gtest/gtest.h>

#include "base/platform/file_system.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

std::vector<std::pair<FindingKind, std::string>> kinds_and_subjects(const std::vector<Finding>& findings) {
  std::vector<std::pair<FindingKind, std::string>> out;
  for (const Finding& f : findings) {
    EXPECT_FALSE(f.explanation.empty());
    out.emplace_back(f.kind, f.subject);
  }
  return out;
}

std::string fltsim(int n, const std::string& title, const std::string& texture = "") {
  std::string s = "[fltsim." + std::to_string(n) + "]\r\n";
  if (!title.empty()) s += "title=" + title + "\r\n";
  if (!texture.empty()) s += "texture=" + texture + "\r\n";
  return s + "\r\n";
}

TEST(Diagnosis, FindsEachKindTheFileShows) {
  using K = FindingKind;
  const struct { const char* name; std::string cfg; std::vector<std::pair<FindingKind, std::string>> expected; }
      cases[] = {
      {"healthy", "[General]\r\na=1\r\n\r\n" + fltsim(0, "A", "a") + fltsim(1, "B"), {}},
      {"number used twice", fltsim(0, "A") + fltsim(1, "B") + fltsim(1, "C"), {{K::kDuplicateNumber, "fltsim.1"}}},
      {"entry above a second gap", fltsim(0, "A") + fltsim(2, "C") + fltsim(5, "F"),
       {{K::kHiddenEntry, "fltsim.5"}}},
      {"one gap hides nothing", fltsim(0, "A") + fltsim(2, "C"), {}},
      {"title used twice any case", fltsim(0, "Same") + fltsim(1, "x") + fltsim(2, "SAME"),
       {{K::kDuplicateTitle, "fltsim.0"}}},
      {"section without title", fltsim(0, "A") + fltsim(1, "") + fltsim(2, "C"), {{K::kMissingTitle, "fltsim.1"}}},
      {"unclosed bracket on line 4", fltsim(0, "A") + " [Views\nx=1\r\n", {{K::kUnreadable, "line 4"}}},
      {"NUL bytes", fltsim(0, "A") + std::string("x=\0\r\n", 5), {{K::kUnreadable, "Aircraft.cfg"}}},
      {"UTF-16", std::string("\xFF\xFE[\0f\0", 6), {{K::kUnreadable, "Aircraft.cfg"}}},
      {"UTF-16 with no NUL byte", "\xFF\xFE\x3B\x26", {{K::kUnreadable, "Aircraft.cfg"}}},
      {"UTF-8 mark hides the first section", "\xEF\xBB\xBF" + fltsim(0, "A") + fltsim(1, "B"),
       {{K::kUnreadable, "Aircraft.cfg"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, kinds_and_subjects(diagnose_cfg_text(c.cfg)));
  }
}

TEST(Diagnosis, RenumberingKeepsOrderAndEveryOtherLine) {
  const std::string cfg = "; top\r\n[General]\r\na=1\r\n\r\n[FLTSIM.0]\r\ntitle=A\r\n\r\n[fltsim.1]\r\ntitle=B\r\n\r\n"
                          "[fltsim.1]\r\ntitle=C\r\n\r\n[Views]\r\nx=1\r\n[fltsim.7]\ntitle=D\n";
  EXPECT_EQ("; top\r\n[General]\r\na=1\r\n\r\n[fltsim.0]\r\ntitle=A\r\n\r\n[fltsim.1]\r\ntitle=B\r\n\r\n"
            "[fltsim.2]\r\ntitle=C\r\n\r\n[Views]\r\nx=1\r\n[fltsim.3]\ntitle=D\n",
            renumbered_cfg_text(cfg));
  EXPECT_TRUE(diagnose_cfg_text(renumbered_cfg_text(cfg)).empty());
}

}  // namespace
}  // namespace pw
