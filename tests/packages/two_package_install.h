// The install command with two packages (blue with a preview, gold
// without), as the fault tests drive it, and the check of what a run left:
// Aircraft.cfg must be a state that some whole run leaves (nothing, blue,
// gold, both), each new texture folder complete and named, nothing stray,
// and no success claimed for what was not done.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "app/desktop/dispatcher.h"
#include "app/desktop/screen_lists.h"
#include "packages/package_installation.h"
#include "packages/sim_tree.h"
#include "packages/tree_checks.h"
#include "support/test_button.h"
#include "tests/packages/mixed_data.h"

namespace pw::test {

// Whether a message with this title, or with this text in it, was shown.
inline bool shown_title(const ScriptedView& view, const std::string& title) {
  return std::any_of(view.messages.begin(), view.messages.end(), [&](const ShownMessage& m) { return m.title == title; });
}
inline bool shown_text_with(const ScriptedView& view, const std::string& part) {
  return std::any_of(view.messages.begin(), view.messages.end(),
                     [&](const ShownMessage& m) { return m.text.find(part) != std::string::npos; });
}

inline FltsimEntry gold_entry() {
  FltsimEntry e = blue_entry();
  e.title = "Cessna Gold", e.texture = "Gold", e.ui_variation = "Gold Rush";
  return e;
}

class TwoPackageInstall {
 public:
  // `big` > 0 adds a file of that many incompressible bytes to each package.
  explicit TwoPackageInstall(std::size_t big = 0) : blue_(blue_files()) {
    gold_ = {{"gold.dds", std::string(5000, 'g') + "end"}, {"Thumb.jpg", "\xFF\xD8jpg"}, {"readme.txt", "r"}};
    if (big > 0) {
      blue_.push_back({"big_blue.dds", pw::testing::random_bytes(big, 1)});
      gold_.push_back({"big_gold.dds", pw::testing::random_bytes(big, 2)});
    }
    const std::string none = reference({});
    states_ = {{{kOriginalCfg, {}}, {none, {}}, {reference({0}), {true, false}},
                {reference({1}), {false, true}}, {reference({0, 1}), {true, true}}}};
  }

  // Puts both packages into Downloads, lists them and ticks the rows given.
  void prepare(SimTree& t, const std::vector<int>& ticked = {0, 1}) const {
    t.dir.write(t.plane("Downloads/a_blue.pkg"), package_bytes(blue_entry(), "BM", blue_));
    t.dir.write(t.plane("Downloads/b_gold.pkg"), package_bytes(gold_entry(), std::nullopt, gold_));
    ASSERT_TRUE(ListPackages(t.ctx, ""));
    FillPackageList(t.ctx, false);
    t.view.tick("frm_Install.lstPackages", ticked);
  }

  // Checks what the install command left; `old_folders` are the texture
  // folders from before. Returns how many packages the run installed
  // (-1 when the check failed).
  int check(SimTree& t, const std::vector<PackageResult>& results, const std::set<std::string>& old_folders) const {
    const std::string cfg = t.cfg();
    std::optional<std::pair<bool, bool>> state;
    for (const auto& [bytes, s] : states_) state = cfg == bytes ? s : state;
    EXPECT_TRUE(state.has_value()) << "Aircraft.cfg is no state a whole run leaves:\n" << cfg;
    if (!state) return -1;
    const auto [blue, gold] = *state;
    EXPECT_EQ(std::vector<std::string>{}, stray_names(t.dir.native(kPlane)));
    // A new texture folder exists only when Aircraft.cfg names it, and then
    // it holds every file of its package.
    std::set<std::string> folders = old_folders;
    if (blue) folders.insert("Texture.Blue");
    if (gold) folders.insert("Texture.Gold");
    EXPECT_EQ(folders, texture_folders(t.dir.native(kPlane)));
    EXPECT_TRUE(!blue || as_files(blue_) == folder_files(t.dir.native(t.plane("Texture.Blue")))) << "Texture.Blue";
    EXPECT_TRUE(!gold || as_files(gold_) == folder_files(t.dir.native(t.plane("Texture.Gold")))) << "Texture.Gold";
    // Success only for a whole install; each package not installed was
    // reported, and a command that ended before its loop (the backups
    // failed) names the file it could not write.
    EXPECT_EQ(blue && gold, shown_title(t.view, "Repaint Packages Installed"));
    if (results.empty()) {
      EXPECT_FALSE(blue || gold);
      EXPECT_TRUE(shown_text_with(t.view, "Aircraft.vnb") || shown_text_with(t.view, "Aircraft.cfg"));
    } else if (results.size() == 2) {
      EXPECT_EQ(blue, results[0].report.outcome == InstallOutcome::kInstalled);
      EXPECT_EQ(gold, results[1].report.outcome == InstallOutcome::kInstalled);
      EXPECT_TRUE(blue || shown_text_with(t.view, "a_blue.pkg"));
      EXPECT_TRUE(gold || shown_text_with(t.view, "b_gold.pkg"));
    } else {
      ADD_FAILURE() << results.size() << " results for two packages";
    }
    EXPECT_TRUE(!t.dir.exists(t.plane("Aircraft.vnb")) || t.dir.read(t.plane("Aircraft.vnb")) == kOriginalCfg);
    for (const char* kept : {"a_blue.pkg", "b_gold.pkg"}) EXPECT_TRUE(t.dir.exists(t.plane("Downloads/") + kept));
    return int{blue} + int{gold};
  }

 private:
  // The Aircraft.cfg that a fault-free install of the ticked rows leaves.
  std::string reference(const std::vector<int>& ticked) const {
    SimTree t;
    prepare(t, ticked);
    TestButton b("frm_Install", "install");
    run_install_command(t.ctx, b);
    return t.cfg();
  }

  std::vector<NamedBytes> blue_;
  std::vector<NamedBytes> gold_;
  std::array<std::pair<std::string, std::pair<bool, bool>>, 5> states_;
};

}  // namespace pw::test
