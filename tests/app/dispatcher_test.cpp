#include "app/desktop/dispatcher.h"

#include <gtest/gtest.h>

#include <regex>

#include "packages/package_installation.h"
#include "packages/repaint_removal.h"
#include "app/desktop/screen_lists.h"
#include "packages/sim_tree.h"
#include "packages/tree_checks.h"
#include "support/test_button.h"

namespace pw {
namespace {

using test::SimTree;
using test::ShownMessage;
using test::TestButton;

// Success is followed through the screens, what a failure leaves by the
// fault injection; here what the user is told: the design's text, then why.
TEST(Dispatcher, RemoveCommandReportsWhatFailedAndWhy) {
  const struct {
    const char* name;
    const char* blocker;  // made a folder inside the aircraft's folder
    const char* text;     // how the error message starts
    const char* why;      // and what it names
  } cases[] = {
      {"aircraft.cfg not written", "~Aircraft.cfg.pwtmp", "An error occured while writing the aircraft.cfg file.\r\r",
       "pwtmp"},
      {"backup not written", "Aircraft.vnb/x", "An error occured while attempting to remove a repaint.\r\r",
       "Aircraft.vnb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    FillRemoveAircraftList(t.ctx);
    t.view.tick("frm_Remove.lstAircraft", {0});
    std::filesystem::create_directories(t.dir.native(t.plane(c.blocker)));
    TestButton b("frm_Remove", "remove");
    dispatch_release(t.ctx, b);
    ASSERT_EQ(2u, t.view.messages.size());
    EXPECT_EQ(
        "You are about to remove the selected repaints.  This process could take a few minutes depending on the\r"
        "number of aircraft you have selected to install and the speed of your computer.\r\rDo you wish to continue?",
        t.view.messages[0].text);
    const ShownMessage& error = t.view.messages[1];
    EXPECT_EQ("Repaint Removal Error", error.title);
    EXPECT_EQ(0u, error.text.find(c.text)) << error.text;
    EXPECT_NE(std::string::npos, error.text.find(c.why)) << error.text;
    EXPECT_EQ(kStyleCritical, error.style);
    EXPECT_FALSE(t.view.busy);
  }
}

TEST(Dispatcher, InstallGoesOnAfterADamagedPackageAndNamesIt) {
  SimTree t;
  const std::string good = test::package_bytes(test::blue_entry(), std::nullopt, test::blue_files());
  t.dir.write(t.plane("Downloads/1.pkg"), good);
  t.dir.write(t.plane("Downloads/2.pkg"), good.substr(0, good.size() - 10));
  t.dir.write(t.plane("Downloads/3.pkg"), good);
  ASSERT_TRUE(ListPackages(t.ctx, "").ok());
  FillPackageList(t.ctx, false);
  t.view.tick("frm_Install.lstPackages", {0, 1, 2});
  TestButton b("frm_Install", "install");
  dispatch_release(t.ctx, b);
  ASSERT_EQ(2u, t.view.messages.size());
  EXPECT_EQ("Package Install Error", t.view.messages[1].title);
  const std::string& text = t.view.messages[1].text;
  EXPECT_EQ(0u, text.find("An error occured with the repaint package file named... \r\r" + t.ctx.state.g_AircraftFolder +
                          "\\Downloads\\2.pkg\r\r"));
  EXPECT_NE(std::string::npos, text.find("damaged")) << text;
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Blue/texture.bmp")));
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Blue_000/texture.bmp")));
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Blue_001")));
  EXPECT_EQ(5, t.ctx.state.g_AircraftLast + 1);
  EXPECT_EQ(test::kOriginalCfg, t.dir.read(t.plane("Aircraft.vnb")));
  EXPECT_TRUE(t.view.lists["frm_Install.lstPackages"].rows.size() == 3);
  for (const ListRow& row : t.view.lists["frm_Install.lstPackages"].rows) EXPECT_FALSE(row.checked);
}

TEST(Dispatcher, PackageCommandNamesTheFileAndTheFolder) {
  SimTree t;
  t.view.lists["frm_Package.lstAircraft"] = {true, {{"Red Livery", 0, false, true, "", false, ""}}, 0};
  t.view.lists["frm_Package.lstTextures"] = {true, {{"red.bmp", 0, true, true, "", false, ""}}, 0};
  TestButton b("frm_Package", "package");
  t.view.answers = {kResultOk, kResultCancel};  // stops at what the texture check found
  dispatch_release(t.ctx, b);
  ASSERT_EQ(2u, t.view.messages.size());
  EXPECT_NE(std::string::npos, t.view.messages[1].text.find("\r- [Texture.Red] red.bmp does not start"));
  EXPECT_FALSE(t.dir.exists(t.plane("Uploads/Red_Livery_Repaint.pkg")));
  t.view.messages.clear();
  dispatch_release(t.ctx, b);  // goes on
  ASSERT_EQ(3u, t.view.messages.size());
  EXPECT_EQ("You are about to create a new repaint package for the Red Livery aircraft.\r\rDo you wish to continue?",
            t.view.messages[0].text);
  EXPECT_EQ("A repaint package file named... \r\rRed_Livery_Repaint.pkg\r\rhas been successfully created and "
            "placed in the Uploads\rdirectory of " + t.ctx.state.g_AircraftFolder + ".",
            t.view.messages[2].text);
  EXPECT_TRUE(t.dir.exists(t.plane("Uploads/Red_Livery_Repaint.pkg")));

  // A failure says which file and why.
  t.view.lists["frm_Package.lstTextures"] = {true, {{"gone.bmp", 0, true, true, "", false, ""}}, 0};
  dispatch_release(t.ctx, b);
  ASSERT_EQ(6u, t.view.messages.size());  // the question, the texture check, the failure
  EXPECT_EQ(kStyleCritical, t.view.messages[5].style);
  EXPECT_NE(std::string::npos, t.view.messages[5].text.find("gone.bmp")) << t.view.messages[5].text;
}

// The main screen's Undo after an install: asked, done, the tree and the
// screen back; a "No" changes nothing; a later edit is refused and shown.
TEST(Dispatcher, UndoTakesBackAnInstallOrSaysWhyNot) {
  SimTree t;
  t.dir.write(t.plane("Downloads/1.pkg"), test::package_bytes(test::blue_entry(), std::nullopt, test::blue_files()));
  ASSERT_TRUE(ListPackages(t.ctx, "").ok());
  const auto folders = test::texture_folders(t.dir.native(test::kPlane));
  const auto install = [&t] {
    FillPackageList(t.ctx, false);
    t.view.tick("frm_Install.lstPackages", {0});
    TestButton b("frm_Install", "install");
    dispatch_release(t.ctx, b);
    t.view.messages.clear();
  };
  TestButton undo("frm_Main", "undo");
  install();
  EXPECT_EQ("enabled", t.view.button_states["frm_Main.btn_Undo"]);
  const std::string& line = t.view.labels["frm_Main.lblLastOperation"];
  EXPECT_TRUE(std::regex_match(line, std::regex("Last operation: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d UTC, install: "
                                                "package 1\\.pkg; wrote \\[fltsim\\.2\\] Cessna Blue; created folder Texture\\.Blue")))
      << line;
  dispatch_release(t.ctx, undo);
  ASSERT_EQ(2u, t.view.messages.size());
  EXPECT_NE(std::string::npos, t.view.messages[0].text.find("undo the install of ")) << t.view.messages[0].text;
  EXPECT_EQ(kStyleInformation, t.view.messages[1].style);
  EXPECT_EQ(test::kOriginalCfg, t.cfg());
  EXPECT_EQ(folders, test::texture_folders(t.dir.native(test::kPlane)));
  EXPECT_EQ("disabled", t.view.button_states["frm_Main.btn_Undo"]);
  EXPECT_EQ(0u, t.view.labels["frm_Main.lblLastOperation"].find("Last operation (undone): "));

  install();
  const std::string installed = t.cfg();
  t.view.answers = {kResultNo};
  dispatch_release(t.ctx, undo);
  EXPECT_EQ(installed, t.cfg());
  t.dir.write(t.plane("Aircraft.cfg"), installed + "[Edited]\r\n");
  t.view.messages.clear();
  dispatch_release(t.ctx, undo);
  ASSERT_EQ(2u, t.view.messages.size());
  EXPECT_EQ(kStyleCritical, t.view.messages[1].style);
  EXPECT_NE(std::string::npos, t.view.messages[1].text.find("nothing was undone: aircraft.cfg was changed"))
      << t.view.messages[1].text;
  EXPECT_EQ(installed + "[Edited]\r\n", t.cfg());
}

}  // namespace
}  // namespace pw
