// Whole commands as a user runs them, with every file call failing in turn
// (k = 1, 2, ... until one completes untouched). After each run the
// aircraft must be in a state some complete run could have left, the
// messages must not claim more than was done, and nothing stray may stay.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/desktop/screen_lists.h"
#include "packages/repaint_removal.h"
#include "packages/two_package_install.h"

namespace pw::test {
namespace {

TEST(FaultInjection, EveryFailingCallOfATwoPackageInstallLeavesAWholeState) {
  const TwoPackageInstall install;
  int faults = 0;
  for (int k = 1;; ++k) {
    SCOPED_TRACE("failing call " + std::to_string(k));
    ASSERT_LT(k, 1000) << "the install never completed";
    SimTree t;
    install.prepare(t);
    const std::set<std::string> old_folders = texture_folders(t.dir.native(kPlane));
    t.faulty.fail_at(k);
    TestButton b("frm_Install", "install");
    const std::vector<PackageResult> results = run_install_command(t.ctx, b);
    const std::string failed = t.faulty.failed_call();
    SCOPED_TRACE("failed call: " + failed);
    const int installed = install.check(t, results, old_folders);
    if (HasFailure()) return;
    if (failed.empty()) {
      EXPECT_EQ(2, installed);
      break;
    }
    ++faults;
  }
  // Both packages are read, staged, renamed and written: far more calls than this.
  EXPECT_GT(faults, 40);
}

TEST(FaultInjection, EveryFailingCallOfARemovalLeavesTheOldFileOrTheNewOne) {
  const auto removed = [] {
    SimTree t;
    FillRemoveAircraftList(t.ctx);
    t.view.tick("frm_Remove.lstAircraft", {1});  // Silver
    TestButton b("frm_Remove", "remove");
    dispatch_release(t.ctx, b);
    return t.cfg();
  }();
  ASSERT_NE(kOriginalCfg, removed);
  int faults = 0;
  for (int k = 1;; ++k) {
    SCOPED_TRACE("failing call " + std::to_string(k));
    ASSERT_LT(k, 1000) << "the removal never completed";
    SimTree t;
    const std::map<std::string, std::string> silver = folder_files(t.dir.native(t.plane("Texture.Silver")));
    FillRemoveAircraftList(t.ctx);
    t.view.tick("frm_Remove.lstAircraft", {1});
    t.faulty.fail_at(k);
    TestButton b("frm_Remove", "remove");
    dispatch_release(t.ctx, b);
    const std::string failed = t.faulty.failed_call();
    SCOPED_TRACE("failed call: " + failed);

    const std::string cfg = t.cfg();
    ASSERT_TRUE(cfg == kOriginalCfg || cfg == removed) << cfg;
    const bool done = cfg == removed;
    EXPECT_EQ(std::vector<std::string>{}, stray_names(t.dir.native(kPlane)));
    // The folder is moved aside first and back when Aircraft.cfg cannot
    // be replaced: the removal happens whole or not at all.
    EXPECT_EQ(done, !t.dir.exists(t.plane("Texture.Silver")));
    if (!done) {
      EXPECT_TRUE(silver == folder_files(t.dir.native(t.plane("Texture.Silver")))) << "Texture.Silver changed";
    }
    EXPECT_EQ((std::map<std::string, std::string>{{"red.bmp", "red"}}),
              folder_files(t.dir.native(t.plane("Texture.Red"))));
    EXPECT_EQ(done, shown_title(t.view, "Repaint Removal Successful"));
    EXPECT_EQ(!done, shown_title(t.view, "Repaint Removal Error"));
    for (const char* backup : {"Aircraft.vnb", "Aircraft.001"}) {
      if (t.dir.exists(t.plane(backup))) {
        EXPECT_EQ(kOriginalCfg, t.dir.read(t.plane(backup))) << backup;
      }
    }
    if (HasFailure()) return;
    if (failed.empty()) {
      EXPECT_TRUE(done);
      break;
    }
    ++faults;
  }
  EXPECT_GT(faults, 10);
}

}  // namespace
}  // namespace pw::test
