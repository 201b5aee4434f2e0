#include "packages/repaint_removal.h"

#include <gtest/gtest.h>

#include "app/desktop/screen_lists.h"
#include "packages/sim_tree.h"
#include "packages/restore_points.h"
#include "packages/undo.h"

namespace pw {
namespace {

using test::SimTree;

// kOriginalCfg after removing old entry 1 (Silver): fltsim.0 and the old
// fltsim.3 renumbered to 1, written from the records and tidied.
const std::string kWithoutSilver =
    "[General]\r\natc_type=CESSNA\r\n\r\n[Views]\r\neyepoint=1\r\n\r\n"
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

TEST(RemoveRepaints, MovesWholeFoldersOrNothingAndCanBeUndone) {
  // Painters ship subfolders: deleting the files inside would leave them.
  const auto plane_with_docs = [](SimTree& t) { t.dir.write(t.plane("Texture.Red/docs/readme.txt"), "notes"); };
  for (int k = 1;; ++k) {  // to the first move, which fails as a folder in use does
    ASSERT_LT(k, 100);
    SimTree t;
    plane_with_docs(t);
    t.faulty.fail_at(k, ErrorCode::kAccessDenied);
    const RemovalReport report = t.remove({true, true, false});
    if (t.faulty.failed_call() != "rename_new") continue;
    EXPECT_EQ(RemovalOutcome::kFailed, report.outcome);
    EXPECT_NE(std::string::npos, report.error.message.find("Texture.Red")) << report.error.message;
    EXPECT_EQ(test::kOriginalCfg, t.cfg());
    EXPECT_EQ("notes", t.dir.read(t.plane("Texture.Red/docs/readme.txt")));
    EXPECT_FALSE(t.dir.exists(t.plane("Paintwell.history")));
    break;
  }
  SimTree t;
  plane_with_docs(t);
  ASSERT_EQ(RemovalOutcome::kDone, remove(t, {0, 1}));
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Red")));
  ASSERT_TRUE(test::undo_latest(t.ctx.fs, t.ctx.state.g_AircraftFolder).ok());
  EXPECT_EQ(test::kOriginalCfg, t.cfg());
  EXPECT_EQ("notes", t.dir.read(t.plane("Texture.Red/docs/readme.txt")));
  EXPECT_EQ(5u, t.dir.names(t.plane("Texture.Silver")).size());
}

// A name holding backslashes (a POSIX name may) inside a removed folder:
// deleting its restore point later deletes nothing outside it.
TEST(RemoveRepaints, ANameWithBackslashesReachesNothingOutside) {
  if (!test::backslash_is_a_name_byte()) GTEST_SKIP() << "'\\' separates names here";
  SimTree t;
  t.dir.write(t.plane("victim.txt"), "keep");
  t.dir.write(t.plane("Texture.Silver/..\\..\\..\\..\\victim.txt"), "hostile");
  ASSERT_EQ(RemovalOutcome::kDone, remove(t, {1}));
  t.reload_entries();
  ASSERT_EQ(RemovalOutcome::kDone, remove(t, {0}));
  // The hostile name cannot be addressed, so its point stays and is named.
  EXPECT_EQ(1u, prune_history(t.ctx.fs, t.ctx.state.g_AircraftFolder, {1, 1 << 30}).not_deleted.size());
  EXPECT_EQ("keep", t.dir.read(t.plane("victim.txt")));
}

}  // namespace
}  // namespace pw
