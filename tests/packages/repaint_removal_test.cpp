#include "packages/repaint_removal.h"

#include <gtest/gtest.h>

#include "app/desktop/screen_lists.h"
#include "packages/sim_tree.h"

namespace pw {
namespace {

using test::SimTree;

// kOriginalCfg after removing old entry 1 (Silver): fltsim.0 and the old
// fltsim.3 renumbered to 1, written from the records and tidied.
const std::string kWithoutSilver =
    "[General]\r\natc_type=CESSNA\r\n\r\n"
    "[Views]\r\neyepoint=1\r\n\r\n"
    "[fltsim.0]\r\ntitle=Cessna Red\r\nsim=c172\r\ntexture=Red\r\nui_variation=\"Red Livery\"\r\nvisual_damage=1\r\n\r\n"
    "[fltsim.1]\r\ntitle=Cessna Green\r\ntexture=Green\r\nui_variation=\"Green\"\r\nvisual_damage=\r\n\r\n";

RemovalOutcome remove(SimTree& t, std::initializer_list<int> indices) {
  std::vector<bool> selection(t.ctx.state.g_AircraftEntries.size(), false);
  for (int i : indices) selection[static_cast<std::size_t>(i)] = true;
  return t.remove(selection).outcome;
}

TEST(RemoveRepaints, RenumbersKeptEntriesAcrossAGapAndDeletesTheFolder) {
  SimTree t;
  t.dir.write(t.plane("Texture.Green/g.bmp"), "green");
  ASSERT_EQ(RemovalOutcome::kDone, remove(t, {1}));
  EXPECT_EQ(kWithoutSilver, t.cfg());
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Silver")));
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Red/red.bmp")));
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Green/g.bmp")));
  EXPECT_EQ(test::kOriginalCfg, t.dir.read(t.plane("Aircraft.vnb")));
  EXPECT_EQ(test::kOriginalCfg, t.dir.read(t.plane("Aircraft.001")));

  // A second removal refreshes Aircraft.vnb but keeps the first Aircraft.001.
  t.reload_entries();
  ASSERT_EQ(RemovalOutcome::kDone, remove(t, {0}));
  EXPECT_EQ(kWithoutSilver, t.dir.read(t.plane("Aircraft.vnb")));
  EXPECT_EQ(test::kOriginalCfg, t.dir.read(t.plane("Aircraft.001")));
  EXPECT_EQ(std::string::npos, t.cfg().find("Cessna Red"));
  EXPECT_NE(std::string::npos, t.cfg().find("[fltsim.0]\r\ntitle=Cessna Green"));
}

TEST(RemoveRepaints, KeptEntriesKeepLongValuesAndUnknownKeys) {
  SimTree t;
  const std::string description(400, 'd');
  std::string cfg = test::kOriginalCfg;
  const std::string green = "ui_variation=Green\r\n";
  cfg.replace(cfg.find(green), green.size(), green + "isUserSelectable=0\r\ndescription=" + description + "\r\n");
  t.dir.write(t.plane("Aircraft.cfg"), cfg);
  t.reload_entries();
  ASSERT_EQ(RemovalOutcome::kDone, remove(t, {1}));
  EXPECT_NE(std::string::npos, t.cfg().find("[fltsim.1]\r\ntitle=Cessna Green\r\ntexture=Green\r\nui_variation=\"Green\"\r\n"
                                            "description=" + description + "\r\nvisual_damage=\r\n"
                                            "isUserSelectable=0\r\n\r\n"));
}

TEST(RemoveRepaints, ReportsOneStepForTheFileAndOnePerFolder) {
  SimTree t;
  test::ProgressLog progress;
  t.ctx.progress = progress.recorder();
  ASSERT_EQ(RemovalOutcome::kDone, remove(t, {0, 1}));
  progress.expect_complete_run(4);  // backups, Aircraft.cfg, Texture.Red, Texture.Silver
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Red")));
}

TEST(RemoveRepaints, OtherFilesAndSelections) {
  const std::string bad = "[fltsim.0]\r\ntitle=Bad\r\ntexture=x\\..\\..\\..\r\n";
  const struct {
    const char* name;
    std::string cfg;
    std::initializer_list<int> removed;
    RemovalOutcome result;
    std::string expected;  // Aircraft.cfg afterwards; empty: not checked
    bool red_kept;
  } cases[] = {
      {"everything", test::kOriginalCfg, {0, 1, 2}, RemovalOutcome::kDone,
       "[General]\r\natc_type=CESSNA\r\n\r\n[Views]\r\neyepoint=1\r\n\r\n", false},
      {"a folder a kept entry still names", test::kOriginalCfg + "\r\n[fltsim.4]\r\ntitle=Also red\r\ntexture=RED\r\n",
       {0}, RemovalOutcome::kDone, "", true},
      {"a texture that leaves the aircraft's folder", bad, {0}, RemovalOutcome::kFailed, bad, true},
      // Only files are deleted: a folder inside keeps Texture.Red, and the
      // report must say so rather than claim success.
      {"a folder holding a folder", test::kOriginalCfg, {0}, RemovalOutcome::kIncomplete, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    t.dir.write(t.plane("Aircraft.cfg"), c.cfg);
    if (c.result == RemovalOutcome::kIncomplete) t.dir.write(t.plane("Texture.Red/sub/x.bmp"), "x");
    t.reload_entries();
    std::vector<bool> selection(t.ctx.state.g_AircraftEntries.size(), false);
    for (int i : c.removed) selection[static_cast<std::size_t>(i)] = true;
    const RemovalReport report = t.remove(selection);
    EXPECT_EQ(c.result, report.outcome) << report.error.message;
    if (!c.expected.empty()) {
      EXPECT_EQ(c.expected, t.cfg());
    }
    EXPECT_EQ(c.red_kept, t.dir.exists(t.plane("Texture.Red/red.bmp")));
    // What was left is named, with what it still holds.
    EXPECT_EQ(c.result == RemovalOutcome::kIncomplete ? 1u : 0u, report.left_folders.size());
    for (const std::string& left : report.left_folders) EXPECT_NE(std::string::npos, left.find("Texture.Red")) << left;
    for (const std::string& left : report.left_folders) EXPECT_NE(std::string::npos, left.find("sub")) << left;
  }
}

TEST(RemoveList, HidesEntriesWithoutTextureOrExcludedAndFollowsTicks) {
  SimTree t;
  t.dir.write(t.plane("Aircraft.cfg"), test::kOriginalCfg + "\r\n[fltsim.4]\r\ntitle=No texture\r\nui_variation=Plain\r\n");
  t.reload_entries();
  t.ctx.state.g_ExcludeList = " green | RED LIVERY ";
  FillRemoveAircraftList(t.ctx);
  EXPECT_EQ(std::vector<std::string>{"Air (Tahiti) [2007]"}, t.view.row_texts("frm_Remove.lstAircraft"));
  EXPECT_EQ(1, t.view.lists["frm_Remove.lstAircraft"].rows[0].item_data);
  EXPECT_EQ("disabled", t.view.button_states["frm_Remove.btn_Remove"]);
  t.view.tick("frm_Remove.lstAircraft", {0});
  RemoveListClicked(t.ctx);
  EXPECT_EQ("enabled", t.view.button_states["frm_Remove.btn_Remove"]);
  t.view.tick("frm_Remove.lstAircraft", {0}, false);
  RemoveListClicked(t.ctx);
  EXPECT_EQ("disabled", t.view.button_states["frm_Remove.btn_Remove"]);

  t.ctx.state.g_ExcludeList = "Air (Tahiti) [2007]";
  FillRemoveAircraftList(t.ctx);
  EXPECT_EQ(2u, t.view.lists["frm_Remove.lstAircraft"].rows.size());
}

}  // namespace
}  // namespace pw
