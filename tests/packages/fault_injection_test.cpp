// Whole commands as a user runs them, with every file call failing in turn
// (k = 1, 2, ... until one completes untouched). After each run the
// aircraft must be in a state some complete run could have left, the
// messages must not claim more than was done, and nothing stray may stay.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/aircraft_session.h"
#include "app/commands.h"
#include "app/desktop/screen_lists.h"
#include "packages/repaint_removal.h"
#include "packages/tree_checks.h"
#include "packages/two_package_install.h"

namespace pw::test {
namespace {

TEST(FaultInjection, EveryFailingCallOfATwoPackageInstallLeavesAWholeState) {
  const TwoPackageInstall install;
  const int faults = each_failing_call(1000, [&](int k) {
    SimTree t;
    install.prepare(t);
    const std::set<std::string> old_folders = texture_folders(t.dir.native(kPlane));
    t.faulty.fail_at(k);
    TestButton b("frm_Install", "install");
    const std::vector<PackageResult> results = run_install_command(t.ctx, b);
    SCOPED_TRACE("failed call: " + t.faulty.failed_call());
    const int installed = install.check(t, results, old_folders);
    EXPECT_TRUE(installed == 2 || !t.faulty.failed_call().empty()) << installed;
    return !t.faulty.failed_call().empty();
  });
  // Both packages are read, staged, renamed and written: far more calls than this.
  EXPECT_GT(faults, 40);
}

TEST(FaultInjection, EveryFailingCallOfARemovalLeavesTheOldFileOrTheNewOne) {
  const auto remove_silver = [](SimTree& t, int k) {
    FillRemoveAircraftList(t.ctx);
    t.view.tick("frm_Remove.lstAircraft", {1});
    t.faulty.fail_at(k);
    press(t.ctx, "frm_Remove", "remove");
  };
  const std::string removed = [&] {
    SimTree t;
    remove_silver(t, 0);
    return t.cfg();
  }();
  ASSERT_NE(kOriginalCfg, removed);
  EXPECT_GT(each_failing_call(1000, [&](int k) {
    SimTree t;
    const std::map<std::string, std::string> silver = folder_files(t.dir.native(t.plane("Texture.Silver")));
    remove_silver(t, k);
    const std::string failed = t.faulty.failed_call(), cfg = t.cfg();
    SCOPED_TRACE("failed call: " + failed);
    EXPECT_TRUE(cfg == kOriginalCfg || cfg == removed) << cfg;
    const bool done = cfg == removed;
    EXPECT_EQ(std::vector<std::string>{}, stray_names(t.dir.native(kPlane)));
    // The folder is moved aside first and back when Aircraft.cfg cannot
    // be replaced: the removal happens whole or not at all.
    EXPECT_EQ(done, !t.dir.exists(t.plane("Texture.Silver")));
    EXPECT_TRUE(done || silver == folder_files(t.dir.native(t.plane("Texture.Silver")))) << "Texture.Silver changed";
    EXPECT_EQ((std::map<std::string, std::string>{{"red.bmp", "red"}}),
              folder_files(t.dir.native(t.plane("Texture.Red"))));
    EXPECT_EQ(done, shown_title(t.view, "Repaint Removal Successful"));
    EXPECT_EQ(!done, shown_title(t.view, "Repaint Removal Error"));
    for (const char* backup : {"Aircraft.vnb", "Aircraft.001"}) {
      if (t.dir.exists(t.plane(backup))) {
        EXPECT_EQ(kOriginalCfg, t.dir.read(t.plane(backup))) << backup;
      }
    }
    EXPECT_TRUE(done || !failed.empty());
    return !failed.empty();
  }), 10);
}

// The aircraft's folder as an undo must give it back: every file and
// folder but the history and the backups (and a backup's copy cut short,
// which the next copy overwrites).
std::map<std::string, std::string> plane_tree(const SimTree& t) {
  return files_under(t.dir.native(kPlane), [](const std::string& name) {
    return name.starts_with("Paintwell.") || name.find("Aircraft.vnb") != std::string::npos ||
           name.find("Aircraft.001") != std::string::npos;
  });
}

// The names whose content differs: what a failure shows.
std::string differing(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b) {
  return ::testing::PrintToString(changed_names(a, b));
}

// A plane whose Downloads holds a package, and its tree before Texture.Red
// was removed (an earlier operation, to be undone last).
std::map<std::string, std::string> prepare_plane(SimTree& t) {
  t.dir.write(t.plane("Downloads/blue.pkg"), blue_package());
  const auto original = plane_tree(t);
  EXPECT_EQ(RemovalOutcome::kDone, t.remove({true, false, false}).outcome);
  t.reload_entries();
  EXPECT_TRUE(ListPackages(t.ctx, "").ok());
  return original;
}

const struct CrashCase {
  const char* name;
  void (*before)(SimTree&);  // done without faults
  bool (*run)(SimTree&);     // the operation that is killed
} kCrashCases[] = {
    {"install, the package of Downloads kept", [](SimTree&) {},
     [](SimTree& t) { return t.install(0, true).outcome == InstallOutcome::kInstalled; }},
    {"removal", [](SimTree&) {}, [](SimTree& t) { return t.remove({false, true}).outcome == RemovalOutcome::kDone; }},
    {"undo of a removal",
     [](SimTree& t) {
       ASSERT_EQ(RemovalOutcome::kDone, t.remove({false, true}).outcome);
       t.reload_entries();
     },
     [](SimTree& t) { return undo_latest(t.ctx.fs, t.ctx.state.g_AircraftFolder).ok(); }},
    {"replace under the folder name it removes",
     [](SimTree& t) {
       FltsimEntry silver = blue_entry();
       silver.title = "Cessna Silver", silver.texture = "Silver";
       t.dir.write("silver.pkg", package_bytes(silver, std::nullopt, blue_files()));
     },
     [](SimTree& t) {
       Result<AircraftSession> aircraft = AircraftSession::open(t.ctx);
       return aircraft.ok() && aircraft->install(t.dir.path() + "\\silver.pkg", {false, DuplicateChoice::kReplace})
                                       .outcome == InstallOutcome::kInstalled;
     }},
};

// Killed at each call in turn (that call and every later one never
// happen), then the next change's recovery: the tree is the one before the
// operation, or the one after it when it got as far as being sealed, and
// every earlier operation can still be undone back to the first tree.
TEST(FaultInjection, AKillAtAnyCallIsTakenBackByTheNextChange) {
  for (const CrashCase& c : kCrashCases) {
    SCOPED_TRACE(c.name);
    std::map<std::string, std::string> after;
    {
      SimTree t;
      prepare_plane(t);
      c.before(t);
      ASSERT_TRUE(c.run(t));
      after = plane_tree(t);
    }
    each_failing_call(300, [&](int k) {
      SimTree t;
      const auto original = prepare_plane(t);
      c.before(t);
      const auto before = plane_tree(t);
      t.faulty.crash_at(k);
      c.run(t);
      const bool killed = !t.faulty.failed_call().empty();
      SCOPED_TRACE("killed in: " + t.faulty.failed_call());
      t.faulty.fail_at(0);
      const Result<std::vector<std::string>> recovered = recover_interrupted_operation(t.ctx.fs, t.core_plane(""));
      EXPECT_TRUE(recovered.ok()) << recovered.error().message;
      const auto now = plane_tree(t);
      EXPECT_TRUE(now == before || now == after) << differing(before, now) << " /" << differing(after, now);
      for (int undone = 0; undone < 4 && undo_latest(t.ctx.fs, t.core_plane("")).ok(); ++undone) EXPECT_LT(undone, 3);
      EXPECT_TRUE(original == plane_tree(t)) << differing(original, plane_tree(t));
      return killed;
    });
  }
}

// A failing call (as on a full disk) makes the install fail with the tree
// as it was and no history folder left behind.
TEST(FaultInjection, AFailedInstallLeavesNoHistoryBehind) {
  each_failing_call(300, [](int k) {
    SimTree t;
    t.download("blue.pkg");
    const auto before = plane_tree(t);
    t.faulty.fail_at(k, ErrorCode::kNoSpace);
    // A call whose failure does not matter, such as a folder's sync, leaves an install.
    if (t.install(0).outcome == InstallOutcome::kInstalled) return !t.faulty.failed_call().empty();
    SCOPED_TRACE("failed call: " + t.faulty.failed_call());
    EXPECT_TRUE(before == plane_tree(t)) << differing(before, plane_tree(t));
    EXPECT_FALSE(t.dir.exists(t.plane("Paintwell.history")));
    return true;
  });
}

}  // namespace
}  // namespace pw::test
