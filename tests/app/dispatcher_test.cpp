#include "app/commands.h"
#include "app/desktop/dispatcher.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/desktop/file_association.h"
#include "app/desktop/outside_packages.h"
#include "app/desktop/screen_lists.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"
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
  // blocker: made a folder inside the aircraft's folder (Aircraft.cfg: made read-only); text: how the error
  // message starts; why: what it names.
  const struct { const char* name; const char* blocker; const char* text; const char* why; } cases[] = {
      // The reason is the platform's ("read-only", "Access denied"); the file is named.
      {"aircraft.cfg not written", "Aircraft.cfg", "An error occured while writing the aircraft.cfg file.\r\r",
       "Aircraft.cfg: "},
      {"backup not written", "Aircraft.vnb/x", "An error occured while attempting to remove a repaint.\r\r",
       "Aircraft.vnb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    FillRemoveAircraftList(t.ctx);
    t.view.tick("frm_Remove.lstAircraft", {0});
    if (c.blocker == std::string("Aircraft.cfg")) {
      std::filesystem::permissions(t.dir.native(t.plane(c.blocker)), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::remove);
    } else {
      std::filesystem::create_directories(t.dir.native(t.plane(c.blocker)));
    }
    test::press(t.ctx, "frm_Remove", "remove");
    ASSERT_EQ(2u, t.view.messages.size());
    EXPECT_EQ(
        "You are about to remove the selected repaints.  This process could take a few minutes depending on the\r"
        "number of aircraft you have selected to install and the speed of your computer.\r\rDo you wish to continue?"
        "\r\r- Cessna Red",
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
  const std::string good = test::blue_package();
  t.dir.write(t.plane("Downloads/1.pkg"), good);
  t.dir.write(t.plane("Downloads/2.pkg"), good.substr(0, good.size() - 10));
  t.download("3.pkg", good);
  FillPackageList(t.ctx, false);
  t.view.tick("frm_Install.lstPackages", {0, 1, 2});
  test::press(t.ctx, "frm_Install", "install");
  ASSERT_EQ(2u, t.view.messages.size());
  EXPECT_EQ("Package Install Error", t.view.messages[1].title);
  const std::string& text = t.view.messages[1].text;
  EXPECT_EQ(0u, text.find("An error occured with the repaint package file named... \r\r" + t.ctx.state.g_AircraftFolder +
                          "\\Downloads\\2.pkg\r\r"));
  EXPECT_NE(std::string::npos, text.find("damaged")) << text;
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Blue_000/texture.bmp")));
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Blue_001")));
  EXPECT_EQ(5, t.ctx.state.g_AircraftLast + 1);
  EXPECT_EQ(test::kOriginalCfg, t.dir.read(t.plane("Aircraft.vnb")));
  EXPECT_EQ(std::vector<bool>(3, false), t.view.of_rows("frm_Install.lstPackages", &ListRow::checked));
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

// A duplicate the user skipped is no success: the outcome counts what was
// installed and names what was left out.
TEST(Dispatcher, InstallOutcomeNamesSkippedDuplicates) {
  SimTree t;
  const std::string blue = test::blue_package();
  for (const char* name : {"Downloads/1.pkg", "Downloads/2.pkg"}) t.dir.write(t.plane(name), blue);
  ASSERT_TRUE(ListPackages(t.ctx, "").ok());
  FillPackageList(t.ctx, false);
  TestButton b("frm_Install", "install");
  // Skipped, then a copy beside it named as installed, then nothing installed at all.
  const struct { std::vector<int> ticks; DuplicateChoice choice; const char *text, *title; } runs[] = {
      {{0, 1}, DuplicateChoice::kSkip,
       "Repaint packages installed into your selected aircraft: 1.\r\rSkipped, as a repaint of the same title is "
       "installed already:\r- Cessna Blue\r\r", "Repaint Packages Installed"},
      {{0}, DuplicateChoice::kCopy, "\r\rInstalled as copies beside a repaint of the same title:\r- Cessna Blue - 000",
       "Repaint Packages Installed"},
      {{0}, DuplicateChoice::kSkip, "Repaint packages installed into your selected aircraft: 0.",
       "No Repaint Packages Installed"}};
  for (const auto& run : runs) {
    t.view.messages.clear();
    t.view.tick("frm_Install.lstPackages", run.ticks);
    t.view.duplicate_choice = run.choice;
    dispatch_release(t.ctx, b);
    ASSERT_EQ(2u, t.view.messages.size());
    EXPECT_NE(std::string::npos, t.view.messages[1].text.find(run.text)) << t.view.messages[1].text;
    EXPECT_EQ(run.title, t.view.messages[1].title);
  }
}

// Packages from outside the list (dropped, or named when the program
// starts): the first selects the aircraft when none is; each is checked as a
// browsed one; they join the list marked and ticked, earlier ticks kept.
TEST(Dispatcher, OpenedPackagesJoinTheListTicked) {
  SimTree t;
  t.ctx.state.g_AircraftFolder.clear();
  const std::string blue = test::blue_package();
  FltsimEntry other = test::blue_entry();
  other.rcf_text = test::carried_text("SimObjects\\Airplanes\\B737");
  t.dir.write(t.plane("Downloads/d.pkg"), blue);
  for (const char* name : {"in/a.pkg", "in/more/b.pkg", "in/more/c.PKG", "in/e.pkg"}) t.dir.write(name, blue);
  t.dir.write("in/other.pkg", test::package_bytes(other, std::nullopt, test::blue_files()));
  t.dir.write("in/notes.txt", "no package");
  std::filesystem::create_directories(t.dir.native("in/empty"));
  const std::string in = t.dir.path() + "\\in\\";
  open_packages(t.ctx, "frm_Main",
                {in + "a.pkg", in + "more\\b.pkg", in + "notes.txt", in + "other.pkg", in + "empty", in + "more"});
  EXPECT_EQ(t.ctx.state.g_SimRoot + "\\" + test::kCarriedFolder, t.ctx.state.g_AircraftFolder);
  std::erase_if(t.view.messages, [](const ShownMessage& m) { return m.text.starts_with("The check of this aircraft"); });
  ASSERT_EQ(2u, t.view.messages.size());
  EXPECT_NE(std::string::npos, t.view.messages[0].text.find("\rnotes.txt\rempty")) << t.view.messages[0].text;
  EXPECT_EQ(std::string(kFolderMismatchMessage) + "\r\rThe package's aircraft folder: " +
                t.dir.native("sim/SimObjects/Airplanes/B737").make_preferred().string() + "\rThe selected aircraft folder: " +
                t.dir.native("sim/SimObjects/Airplanes/C172").make_preferred().string(),
            t.view.messages[1].text);
  EXPECT_EQ((std::vector<std::string>{"Blue Sky", "*Blue Sky", "*Blue Sky", "*Blue Sky"}),
            t.view.row_texts("frm_Install.lstPackages"));
  const auto ticks = [&t] { return t.view.of_rows("frm_Install.lstPackages", &ListRow::checked); };
  EXPECT_EQ((std::vector<bool>{false, true, true, true}), ticks());
  EXPECT_EQ("show frm_Install", t.view.screen_events.back());
  t.view.lists["frm_Install.lstPackages"].rows[2].checked = false;
  open_packages(t.ctx, "frm_Install", {t.ctx.state.g_AircraftFolder + "\\Downloads\\d.pkg", in + "e.pkg"});
  EXPECT_EQ((std::vector<bool>{true, true, false, true, true}), ticks());
  EXPECT_EQ("enabled", t.view.button_states["frm_Install.btn_Install"]);
}

TEST(FileAssociation, RegisterWritesTheUsersKeysOrSaysHowByHand) {
  test::TempDir dir;
  const std::string exe = "C:\\FSX \"X\"\\paintwell.exe";
  const std::string told = register_association(native_file_system(), dir.path(), exe);
  const std::string classes = "[HKEY_CURRENT_USER\\Software\\Classes\\";
  const std::string command = "@=\"\\\"C:\\\\FSX \\\"X\\\"\\\\paintwell.exe\\\" \\\"%1\\\"\"\r\n\r\n";
  std::string archive_verbs;
  for (const char* extension : {".zip", ".7z", ".rar"}) {
    const std::string verb = classes + "SystemFileAssociations\\" + extension + "\\shell\\Paintwell.Install";
    archive_verbs += verb + "]\r\n@=\"Install with Paintwell\"\r\n\r\n" + verb + "\\command]\r\n" + command;
  }
  EXPECT_EQ("REGEDIT4\r\n\r\n" + classes + ".pkg]\r\n@=\"Paintwell.Package\"\r\n\r\n" + classes +
                "Paintwell.Package]\r\n@=\"Paintwell repaint package\"\r\n\r\n" + classes +
                "Paintwell.Package\\DefaultIcon]\r\n@=\"\\\"C:\\\\FSX \\\"X\\\"\\\\paintwell.exe\\\",0\"\r\n\r\n" + classes +
                "Paintwell.Package\\shell\\open\\command]\r\n" + command + archive_verbs,
            dir.read(kAssociationFileName));
  EXPECT_NE(std::string::npos, told.find(kAssociationFileName)) << told;
  const std::string by_hand = register_association(native_file_system(), dir.path() + "\\missing", exe);
  EXPECT_NE(std::string::npos, by_hand.find("Classes\\Paintwell.Package\\shell\\open\\command")) << by_hand;
}

// The main screen's Undo after an install: asked, done, the tree and the
// screen back; a "No" changes nothing; a later edit is refused and shown.
TEST(Dispatcher, UndoTakesBackAnInstallOrSaysWhyNot) {
  SimTree t;
  t.download("1.pkg");
  const auto folders = test::texture_folders(t.dir.native(test::kPlane));
  const auto install = [&t] {
    FillPackageList(t.ctx, false);
    t.view.tick("frm_Install.lstPackages", {0});
    test::press(t.ctx, "frm_Install", "install");
    t.view.messages.clear();
  };
  TestButton undo("frm_Main", "undo");
  install();
  EXPECT_EQ("enabled", t.view.button_states["frm_Main.btn_Undo"]);
  // The time's digits vary: its shape, then the rest exactly.
  std::string line = t.view.labels["frm_Main.lblLastOperation"];
  std::replace_if(line.begin(), line.begin() + std::min(line.size(), std::size_t{32}),
                  [](char c) { return c >= '0' && c <= '9'; }, '9');
  EXPECT_EQ("Last operation: 9999-99-99 99:99 UTC, install: package 1.pkg; wrote [fltsim.2] Cessna Blue; "
            "created folder Texture.Blue", line);
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
