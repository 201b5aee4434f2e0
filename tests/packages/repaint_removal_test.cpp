#include "packages/repaint_removal.h"

#include <gtest/gtest.h>

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

void select_for_removal(SimTree& t, std::initializer_list<int> indices) {
  t.ctx.state.g_RemoveSelection.assign(t.ctx.state.g_AircraftEntries.size(), false);
  for (int i : indices) t.ctx.state.g_RemoveSelection[static_cast<std::size_t>(i)] = true;
}

TEST(RemoveRepaints, RenumbersKeptEntriesAcrossAGapAndDeletesTheFolder) {
  SimTree t;
  t.dir.write(t.plane("Texture.Green/g.bmp"), "green");
  select_for_removal(t, {1});
  ASSERT_EQ(kRemoveDone, RemoveRepaints(t.ctx));
  EXPECT_EQ(kWithoutSilver, t.cfg());
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Silver")));
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Red/red.bmp")));
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Green/g.bmp")));
  EXPECT_EQ(test::kOriginalCfg, t.dir.read(t.plane("Aircraft.vnb")));
  EXPECT_EQ(test::kOriginalCfg, t.dir.read(t.plane("Aircraft.001")));

  // A second removal refreshes Aircraft.vnb but keeps the first Aircraft.001.
  t.reload_entries();
  select_for_removal(t, {0});
  ASSERT_EQ(kRemoveDone, RemoveRepaints(t.ctx));
  EXPECT_EQ(kWithoutSilver, t.dir.read(t.plane("Aircraft.vnb")));
  EXPECT_EQ(test::kOriginalCfg, t.dir.read(t.plane("Aircraft.001")));
  EXPECT_EQ(std::string::npos, t.cfg().find("Cessna Red"));
  EXPECT_NE(std::string::npos, t.cfg().find("[fltsim.0]\r\ntitle=Cessna Green"));
}

TEST(RemoveRepaints, RemovingEverythingLeavesNoFltsimSection) {
  SimTree t;
  select_for_removal(t, {0, 1, 2});
  ASSERT_EQ(kRemoveDone, RemoveRepaints(t.ctx));
  EXPECT_EQ("[General]\r\natc_type=CESSNA\r\n\r\n[Views]\r\neyepoint=1\r\n\r\n", t.cfg());
}

TEST(RemoveRepaints, KeepsAFolderThatAKeptEntryStillNames) {
  SimTree t;
  t.dir.write(t.plane("Aircraft.cfg"), test::kOriginalCfg + "\r\n[fltsim.4]\r\ntitle=Also red\r\ntexture=RED\r\n");
  t.reload_entries();
  select_for_removal(t, {0});
  ASSERT_EQ(kRemoveDone, RemoveRepaints(t.ctx));
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Red/red.bmp")));
}

TEST(RemoveRepaints, RefusesATextureThatLeavesTheAircraftFolder) {
  SimTree t;
  t.dir.write(t.plane("Aircraft.cfg"), "[fltsim.0]\r\ntitle=Bad\r\ntexture=x\\..\\..\\..\r\n");
  t.reload_entries();
  select_for_removal(t, {0});
  EXPECT_EQ(kRemoveFailed, RemoveRepaints(t.ctx));
  EXPECT_EQ("[fltsim.0]\r\ntitle=Bad\r\ntexture=x\\..\\..\\..\r\n", t.cfg());
}

// Every failure point of a removal: either it completes, or Aircraft.cfg and
// every texture folder are as they were and no temporary file is left.
TEST(RemoveRepaints, AnyFailingStepLeavesTheOldFileOrTheNewOne) {
  for (int k = 1;; ++k) {
    SCOPED_TRACE(k);
    SimTree t;
    select_for_removal(t, {1});
    t.faulty.fail_at(k);
    const std::int16_t result = RemoveRepaints(t.ctx);
    const bool fault_hit = !t.faulty.failed_call().empty();
    EXPECT_EQ(std::vector<std::string>{}, [&] {
      std::vector<std::string> stray;
      for (const std::string& name : t.names_in(test::kPlane)) {
        if (name.find(".pwtmp") != std::string::npos) stray.push_back(name);
      }
      return stray;
    }());
    if (result == kRemoveDone) {
      EXPECT_EQ(kWithoutSilver, t.cfg());
      if (!fault_hit) break;
      continue;
    }
    EXPECT_TRUE(result == kRemoveFailed || result == kRemoveCfgFailed);
    EXPECT_EQ(test::kOriginalCfg, t.cfg());
    EXPECT_TRUE(t.dir.exists(t.plane("Texture.Silver/A.bmp")));
    ASSERT_LT(k, 200) << "the removal never completed";
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
