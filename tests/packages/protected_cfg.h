// An install and a removal on an aircraft whose Aircraft.cfg the user has
// protected (read-only, immutable): both must fail with their results for
// an unwritten Aircraft.cfg, which stays byte-identical, and leave nothing
// of theirs behind but the backups a removal takes first.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "packages/package_installation.h"
#include "packages/repaint_removal.h"
#include "packages/sim_tree.h"
#include "packages/tree_checks.h"

namespace pw::test {

// Protects the tree's Aircraft.cfg and gives back what lifts the
// protection, or nullopt when this machine cannot protect it that way.
using ProtectCfg = std::function<std::optional<std::function<void()>>(SimTree&)>;

// False, with nothing checked, when `protect` could not protect the file.
inline bool expect_protected_cfg_refused(const ProtectCfg& protect) {
  {
    SimTree t;
    t.dir.write(t.plane("Downloads/blue.pkg"), package_bytes(blue_entry(), std::nullopt, blue_files()));
    EXPECT_TRUE(ListPackages(t.ctx, ""));
    const std::vector<std::string> before = all_names_under(t.dir.native(kPlane));
    std::optional<std::function<void()>> unprotect = protect(t);
    if (!unprotect) return false;
    const InstallReport report = install_package(t.ctx, 0);
    EXPECT_EQ(InstallOutcome::kCfgNotWritten, report.outcome);
    EXPECT_EQ(ErrorCode::kAccessDenied, report.error.code) << report.error.message;
    EXPECT_EQ("-1", InstallPackage(t.ctx, 0));
    EXPECT_EQ(kOriginalCfg, t.cfg());
    EXPECT_EQ(before, all_names_under(t.dir.native(kPlane)));
    EXPECT_EQ(2, t.ctx.state.g_FirstFreeFltsim);
    (*unprotect)();
  }
  SimTree t;
  std::vector<std::string> expected = all_names_under(t.dir.native(kPlane));
  expected.insert(expected.begin(), {"Aircraft.001", "Aircraft.vnb"});
  std::sort(expected.begin(), expected.end());
  t.ctx.state.g_RemoveSelection = {false, true, false};
  std::optional<std::function<void()>> unprotect = protect(t);
  if (!unprotect) return false;
  EXPECT_EQ(kRemoveCfgFailed, RemoveRepaints(t.ctx));
  EXPECT_EQ(kOriginalCfg, t.cfg());
  EXPECT_EQ(expected, all_names_under(t.dir.native(kPlane)));
  (*unprotect)();
  return true;
}

}  // namespace pw::test
