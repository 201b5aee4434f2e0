#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/desktop/screen_lists.h"
#include "packages/file_helpers.h"
#include "packages/package_installation.h"
#include "support/test_button.h"
#include "tests/packages/sim_tree.h"

namespace pw::test {
namespace {

constexpr const char* kPackages = "frm_Install.lstPackages";

FltsimEntry entry_named(const std::string& variation, const std::string& folder = kCarriedFolder) {
  FltsimEntry e = blue_entry();
  e.ui_variation = variation;
  e.rcf_text = carried_text(folder);
  return e;
}

class ListTest : public ::testing::Test {
 protected:
  ListTest() {
    t.dir.write(t.plane("Downloads/b.PKG"), package_bytes(entry_named("Bee"), std::nullopt, blue_files()));
    t.dir.write(t.plane("Downloads/a.pkg"), package_bytes(entry_named("  Ay  "), "BM-a", blue_files()));
    t.dir.write(t.plane("Downloads/c.pkgx"), package_bytes(entry_named("Sea"), std::nullopt, blue_files()));
    t.dir.write(t.plane("Downloads/.hidden.pkg"), package_bytes(entry_named("Hid"), std::nullopt, blue_files()));
    std::filesystem::create_directories(t.dir.native(t.plane("Downloads/d.pkg")));
  }

  SimTree t;
};

TEST_F(ListTest, ListsOnlyPkgFilesAndShowsTheFirstPreview) {
  ASSERT_TRUE(ListPackages(t.ctx, ""));
  EXPECT_EQ(1, t.ctx.state.g_PackageLast);
  EXPECT_EQ((std::vector<std::string>{t.core_plane("Downloads\\a.pkg"), t.core_plane("Downloads\\b.PKG")}),
            t.ctx.state.g_PackagePaths);
  t.view.button_states["frm_Install.btn_Install"] = "enabled";
  FillPackageList(t.ctx, false);
  EXPECT_EQ((std::vector<std::string>{"Ay", "Bee"}), t.view.row_texts(kPackages));
  EXPECT_EQ(1, t.view.lists[kPackages].rows[1].item_data);
  EXPECT_EQ(0, t.view.lists[kPackages].current);
  EXPECT_EQ("BM-a", t.view.pictures["frm_Install.picPreview"]);
  EXPECT_EQ("disabled", t.view.button_states["frm_Install.btn_Install"]);
  EXPECT_FALSE(t.view.busy);
  EXPECT_EQ(2, t.view.busy_changes);

  t.view.tick(kPackages, {1});
  PackageListClicked(t.ctx);
  EXPECT_EQ("enabled", t.view.button_states["frm_Install.btn_Install"]);
}

// A damaged package is listed as such, greyed with its reason; the others
// stay usable.
TEST_F(ListTest, ADamagedPackageIsAGreyedRowAndAnEmptyListingAllowsNoInstall) {
  t.dir.write(t.plane("Downloads/broken.pkg"), "too short for a record");
  ASSERT_TRUE(ListPackages(t.ctx, ""));
  EXPECT_EQ(1, t.ctx.state.g_PackageLast);
  EXPECT_EQ(2u, t.ctx.state.g_PackagePaths.size());
  FillPackageList(t.ctx, false);
  EXPECT_EQ((std::vector<std::string>{"Ay", "Bee", "broken.pkg"}), t.view.row_texts(kPackages));
  const ListRow& broken = t.view.lists[kPackages].rows[2];
  EXPECT_FALSE(broken.enabled);
  EXPECT_EQ(-1, broken.item_data);
  EXPECT_NE(std::string::npos, broken.tooltip.find("past the end")) << broken.tooltip;
  std::filesystem::remove(t.dir.native(t.plane("Downloads/broken.pkg")));

  std::filesystem::remove_all(t.dir.native(t.plane("Downloads")));
  ASSERT_TRUE(ListPackages(t.ctx, ""));
  EXPECT_EQ(-1, t.ctx.state.g_PackageLast);
  t.view.button_states["frm_Install.btn_Install"] = "enabled";
  FillPackageList(t.ctx, false);
  EXPECT_TRUE(t.view.lists[kPackages].rows.empty());
  EXPECT_EQ("disabled", t.view.button_states["frm_Install.btn_Install"]);
}

}  // namespace
}  // namespace pw::test
