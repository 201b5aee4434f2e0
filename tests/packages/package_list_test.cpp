#include <gtest/gtest.h>

#include "app/desktop/screen_lists.h"
#include "packages/file_helpers.h"
#include "packages/package_installation.h"
#include "support/test_button.h"
#include "tests/packages/sim_tree.h"

namespace pw::test {
namespace {

constexpr const char* kPackages = "frm_Install.lstPackages";
constexpr const char* kMismatch =
    "The folder path for the selected package and the folder path from the originally loaded PKG or RCF file "
    "do not match. Please check your files and try again.";

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
  void browse_to(const std::string& folder) {
    t.dir.write("elsewhere/x.pkg", package_bytes(entry_named("Browsed", folder), std::nullopt, blue_files()));
    t.view.files.push_back(" " + t.dir.path() + "\\elsewhere\\x.pkg ");
    browse();
  }
  void browse() {
    TestButton button("frm_Install", "browse");
    dispatch_release(t.ctx, button);
  }
  bool tmp_rcf_left() { return t.dir.exists("sim/Varnel Software/FSX Paintwell/tmp.rcf"); }

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

// A browsed package for this aircraft, its folder compared normalised, is
// listed last with a star; one for another aircraft is refused with the message.
TEST_F(ListTest, BrowsedPackageIsListedWhenItsFolderFitsTheAircraft) {
  const struct {
    const char* folder;
    bool fits;
  } cases[] = {
      {kCarriedFolder, true},
      {"simobjects\\\\Airplanes\\C172\\", true},
      {"SimObjects\\Airplanes\\C172\\\\", true},
      {"SIMOBJECTS\\AIRPLANES\\c172", true},
      {"SimObjects\\Airplanes\\C17", false},
      {"SimObjects\\Airplanes", false},
      {"", false},
      {"SimObjects\\Airplanes\\B737", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    t.view.messages.clear();
    ASSERT_TRUE(ListPackages(t.ctx, ""));
    FillPackageList(t.ctx, false);
    browse_to(c.folder);
    EXPECT_FALSE(tmp_rcf_left());
    if (c.fits) {
      EXPECT_EQ((std::vector<std::string>{"Ay", "Bee", "*Browsed"}), t.view.row_texts(kPackages));
      EXPECT_EQ(t.dir.path() + "\\elsewhere\\x.pkg", t.ctx.state.g_PackagePaths.back());
      EXPECT_TRUE(t.view.messages.empty());
      continue;
    }
    ASSERT_EQ(1u, t.view.messages.size());
    EXPECT_EQ(kMismatch, t.view.messages[0].text);
    EXPECT_EQ(kStyleOkOnly, t.view.messages[0].style);
    EXPECT_EQ(kAppTitle, t.view.messages[0].title);
    EXPECT_EQ((std::vector<std::string>{"Ay", "Bee"}), t.view.row_texts(kPackages));
    EXPECT_EQ(1, t.ctx.state.g_PackageLast);
  }
  EXPECT_EQ("frm_Install", t.view.dialogs.at(0).first);
  EXPECT_EQ("Package File (*.pkg)|*.pkg", t.view.dialogs[0].second.filter);
}

TEST_F(ListTest, CancelledOrUnreadableBrowseChangesNothing) {
  browse();  // the script cancels
  EXPECT_TRUE(t.view.messages.empty());
  t.view.files.push_back(t.dir.path() + "\\nowhere.pkg");
  browse();
  ASSERT_EQ(1u, t.view.messages.size());  // saying which file and why
  EXPECT_NE(std::string::npos, t.view.messages[0].text.find("nowhere.pkg")) << t.view.messages[0].text;
  EXPECT_EQ(0u, t.view.lists.count(kPackages));
  EXPECT_EQ(-1, t.ctx.state.g_PackageLast);
}

}  // namespace
}  // namespace pw::test
