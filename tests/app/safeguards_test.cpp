#include "app/safeguards.h"

#include <gtest/gtest.h>

#include "app/desktop/dispatcher.h"
#include "app/desktop/screen_lists.h"
#include "app/operation_log.h"
#include "packages/sim_tree.h"
#include "packages/undo.h"
#include "support/test_button.h"

namespace pw {
namespace {

using test::SimTree;
using test::TestButton;

// Installs the blue package from Downloads through the install command.
std::vector<PackageResult> install_blue(SimTree& t) {
  t.dir.write(t.plane("Downloads/blue.pkg"), test::package_bytes(test::blue_entry(), std::nullopt, test::blue_files()));
  EXPECT_TRUE(ListPackages(t.ctx, "").ok());
  FillPackageList(t.ctx, false);
  t.view.tick("frm_Install.lstPackages", {0});
  TestButton b("frm_Install", "install");
  return run_install_command(t.ctx, b);
}

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(InstallCommand, FinalLineEndComesWithTheFirstEntryAndTheInstallUndoes) {
  const std::string& cfg = test::kOriginalCfg;
  for (const std::string& old : {cfg, cfg.substr(0, cfg.size() - 2)}) {
    SCOPED_TRACE(old.substr(old.size() - 4));
    SimTree t;
    t.dir.write(t.plane("Aircraft.cfg"), old);
    t.reload_entries();
    const std::string blue = test::package_bytes(test::blue_entry(), std::nullopt, test::blue_files());
    t.dir.write(t.plane("Downloads/blue.pkg"), blue.substr(0, blue.size() - 8));  // its block cut short
    ASSERT_TRUE(ListPackages(t.ctx, "").ok());
    FillPackageList(t.ctx, false);
    t.view.tick("frm_Install.lstPackages", {0});
    TestButton b("frm_Install", "install");
    ASSERT_EQ(InstallOutcome::kFailed, run_install_command(t.ctx, b)[0].report.outcome);
    EXPECT_EQ(old, t.cfg());

    ASSERT_EQ(InstallOutcome::kInstalled, install_blue(t)[0].report.outcome);
    EXPECT_EQ(0u, t.cfg().find(old + "\r\n[fltsim.2]\r\ntitle=Cessna Blue\r\n"));
    ASSERT_TRUE(undo_latest(t.ctx.fs, t.ctx.state.g_AircraftFolder).ok());
    EXPECT_EQ(old, t.cfg());
    EXPECT_FALSE(t.dir.exists(t.plane("Texture.Blue")));
  }
}

TEST(InstallDuplicates, CopyByDefaultSkipOrReplaceWhenAsked) {
  SimTree t;
  install_blue(t);
  EXPECT_TRUE(t.view.duplicates_asked.empty());  // the first install is no duplicate

  install_blue(t);  // default: a copy, as the program always made (the copy is counted at the end)
  EXPECT_EQ(std::vector<std::string>{"Cessna Blue"}, t.view.duplicates_asked);

  t.view.duplicate_choice = DuplicateChoice::kSkip;
  const std::string before = t.cfg();
  const std::vector<PackageResult> skipped = install_blue(t);
  ASSERT_EQ(1u, skipped.size());
  EXPECT_EQ(InstallOutcome::kSkipped, skipped[0].report.outcome);
  EXPECT_EQ(before, t.cfg());
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Blue_001")));
  EXPECT_EQ("Repaint Packages Installed", t.view.messages.back().title);

  // Replace takes out the first installed copy and its folder, then installs.
  t.view.duplicate_choice = DuplicateChoice::kReplace;
  const std::vector<PackageResult> replaced = install_blue(t);
  ASSERT_EQ(1u, replaced.size());
  EXPECT_EQ(InstallOutcome::kInstalled, replaced[0].report.outcome);
  EXPECT_EQ(1, count(t.cfg(), "title=Cessna Blue\r\n"));
  EXPECT_EQ(1, count(t.cfg(), "title=Cessna Blue - 000"));
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Blue/texture.bmp")));
}

TEST(RemovalSafeguard, DuplicateNumberStopsTheRemovalAndOffersTheRepair) {
  SimTree t;
  const std::string twin = test::kOriginalCfg + "\r\n[fltsim.1]\r\ntitle=Hidden twin\r\ntexture=Twin\r\n";
  t.dir.write(t.plane("Aircraft.cfg"), twin);
  t.reload_entries();
  FillRemoveAircraftList(t.ctx);
  t.view.tick("frm_Remove.lstAircraft", {0});
  TestButton b("frm_Remove", "remove");
  dispatch_release(t.ctx, b);
  EXPECT_EQ(twin, t.cfg());
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Red")));
  ASSERT_EQ(2u, t.view.messages.size());
  EXPECT_NE(std::string::npos, t.view.messages[1].text.find("[fltsim.1]"));
  EXPECT_EQ(kStyleCritical, t.view.messages[1].style);
  EXPECT_FALSE(t.view.offered_findings.empty());

  t.view.accept_repair = true;
  dispatch_release(t.ctx, b);  // how the repair renumbers is diagnosis_test's
  EXPECT_NE(std::string::npos, t.cfg().find("[fltsim.3]\r\ntitle=Hidden twin"));
  EXPECT_EQ(4, t.ctx.state.g_AircraftLast + 1);  // lists re-read after the repair
}

TEST(OperationLog, RecordsAWholeInstallAndARemovalWithRenumbering) {
  SimTree t;
  install_blue(t);  // written as fltsim.2, in the gap
  FillRemoveAircraftList(t.ctx);
  t.view.tick("frm_Remove.lstAircraft", {0});  // Red Livery, fltsim.0
  TestButton b("frm_Remove", "remove");
  dispatch_release(t.ctx, b);
  const std::string log = t.dir.read(t.plane("Paintwell.log"));
  const std::string folder = t.ctx.state.g_AircraftFolder;
  EXPECT_NE(std::string::npos, log.find("  install\r\n    package " + folder + "\\Downloads\\blue.pkg\r\n"
                                        "    wrote [fltsim.2] Blue Sky\r\n"
                                        "    created folder " + folder + "\\Texture.Blue\r\n"
                                        "    result: done\r\n\r\n"));
  EXPECT_NE(std::string::npos, log.find("  remove\r\n    deleted [fltsim.0] Cessna Red\r\n"
                                        "    renumbered [fltsim.1] -> [fltsim.0]\r\n"
                                        "    renumbered [fltsim.2] -> [fltsim.1]\r\n"
                                        "    renumbered [fltsim.3] -> [fltsim.2]\r\n"
                                        "    moved folder to " + folder + "\\Paintwell.history\\"));
  EXPECT_NE(std::string::npos, log.find("-remove\\folders\\Texture.Red\r\n    result: done\r\n"));
}

}  // namespace
}  // namespace pw
