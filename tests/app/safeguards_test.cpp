#include "app/safeguards.h"

#include <gtest/gtest.h>

#include "app/commands.h"
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
  t.download("blue.pkg");
  FillPackageList(t.ctx, false);
  t.view.tick("frm_Install.lstPackages", {0});
  TestButton b("frm_Install", "install");
  return run_install_command(t.ctx, b);
}

TEST(InstallCommand, FinalLineEndComesWithTheFirstEntryAndTheInstallUndoes) {
  const std::string& cfg = test::kOriginalCfg;
  for (const std::string& old : {cfg, cfg.substr(0, cfg.size() - 2)}) {
    SCOPED_TRACE(old.substr(old.size() - 4));
    SimTree t;
    t.dir.write(t.plane("Aircraft.cfg"), old);
    t.reload_entries();
    const std::string blue = test::blue_package();
    t.download("blue.pkg", blue.substr(0, blue.size() - 8));  // its block cut short
    FillPackageList(t.ctx, false);
    t.view.tick("frm_Install.lstPackages", {0});
    TestButton b("frm_Install", "install");
    ASSERT_EQ(InstallOutcome::kFailed, run_install_command(t.ctx, b)[0].report.outcome);
    EXPECT_EQ(old, t.cfg());

    ASSERT_EQ(InstallOutcome::kInstalled, install_blue(t)[0].report.outcome);
    EXPECT_EQ(0u, t.cfg().find(old + "\r\n[fltsim.2]\r\ntitle=Cessna Blue\r\n"));
    ASSERT_TRUE(test::undo_latest(t.ctx.fs, t.ctx.state.g_AircraftFolder).ok());
    EXPECT_EQ(old, t.cfg());
    EXPECT_FALSE(t.dir.exists(t.plane("Texture.Blue")));
  }
}

TEST(OperationLog, RecordsAWholeInstallAndARemovalWithRenumbering) {
  SimTree t;
  install_blue(t);  // written as fltsim.2, in the gap
  EXPECT_NE(std::string::npos, t.view.messages.back().text.find("\r- [Texture.Blue] Panel.dds does not start"));
  FillRemoveAircraftList(t.ctx);
  t.view.tick("frm_Remove.lstAircraft", {0});  // Red Livery, fltsim.0
  test::press(t.ctx, "frm_Remove", "remove");
  const std::string log = t.dir.read(t.plane("Paintwell.log"));
  const std::string folder = t.ctx.state.g_AircraftFolder;
  EXPECT_NE(std::string::npos, log.find("  install\r\n    package " + folder + "\\Downloads\\blue.pkg\r\n"
                                        "    wrote [fltsim.2] Blue Sky\r\n"
                                        "    created folder " + folder + "\\Texture.Blue\r\n"
                                        "    texture check: [Texture.Blue] Panel.dds does not start with \"DDS \""));
  EXPECT_NE(std::string::npos, log.find("  remove\r\n    deleted [fltsim.0] Cessna Red\r\n"
                                        "    renumbered [fltsim.1] -> [fltsim.0]\r\n"
                                        "    renumbered [fltsim.2] -> [fltsim.1]\r\n"
                                        "    renumbered [fltsim.3] -> [fltsim.2]\r\n"
                                        "    moved folder to " + folder + "\\Paintwell.history\\"));
  EXPECT_NE(std::string::npos, log.find("-remove\\folders\\Texture.Red\r\n    result: done\r\n"));
}

}  // namespace
}  // namespace pw
