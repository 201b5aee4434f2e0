#include "app/aircraft_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/command_texts.h"
#include "app/desktop/dispatcher.h"
#include "packages/package_format.h"
#include "packages/sim_tree.h"
#include "support/immutable_flag.h"
#include "support/test_button.h"

namespace pw {
namespace {

using test::SimTree;

// A tree in which nothing is selected yet, with an .rcf beside the program.
struct Fresh : SimTree {
  Fresh() {
    ctx.state.g_AircraftFolder.clear();
    ctx.state.g_RcfText.clear();
    ctx.state.g_AircraftEntries.clear();
    ctx.state.g_AircraftLast = -1;
    std::filesystem::remove(dir.native(plane("Downloads")));
  }
  std::string rcf(const std::string& text) {
    dir.write("C172.rcf", text);
    return dir.path() + "\\C172.rcf";
  }
  // Nothing was said but the check's findings (the tree has a missing
  // texture folder and cut textures).
  bool said_only_the_check() const {
    return std::all_of(view.messages.begin(), view.messages.end(), [](const test::ShownMessage& m) {
      return m.text.starts_with("The check of this aircraft found:\r\r- [");
    });
  }
};

TEST(SelectAircraft, RcfFillsStateLabelsListsAndPreparesTheFolder) {
  Fresh t;
  const std::string text =
      "// repaint configuration\r\nFOLDER = \\SimObjects\\Airplanes\\C172\\\r\ntitle=Cessna 172\r\n"
      "information=Line one\xA5nLine two\r\nexclude= green |RED livery\r\n";
  ASSERT_TRUE(select_aircraft_path(t.ctx, t.rcf(text)));
  const SharedState& s = t.ctx.state;
  EXPECT_EQ(s.g_SimRoot + "\\SimObjects\\Airplanes\\C172", s.g_AircraftFolder);
  EXPECT_EQ(text + std::string(kRcfTextSize - text.size(), '\0'), s.g_RcfText);
  EXPECT_EQ(3, s.g_AircraftLast + 1);
  EXPECT_EQ("Selected Aircraft: Cessna 172", t.view.labels["frm_Main.Label5"]);
  EXPECT_EQ("Aircraft Folder: \\SimObjects\\Airplanes\\C172\\", t.view.labels["frm_Main.Label6"]);
  EXPECT_EQ("Information: Line one\r\nLine two", t.view.labels["frm_Main.lblInfo"]);
  EXPECT_EQ(std::vector<std::string>{"Air (Tahiti) [2007]"}, t.view.row_texts("frm_Remove.lstAircraft"));
  EXPECT_EQ(3u, t.view.lists["frm_Package.lstAircraft"].rows.size());
  for (const char* b : {"btn_Add", "btn_Edit", "btn_Upload"}) EXPECT_EQ("enabled", t.view.button_states[std::string("frm_Main.") + b]);
  EXPECT_TRUE(t.dir.exists(t.plane("Downloads")));
  EXPECT_EQ(test::kOriginalCfg, t.dir.read(t.plane("Aircraft.001")));
  EXPECT_TRUE(t.said_only_the_check());
}

TEST(SelectAircraft, CancelledDialogChangesNothingAndAMissingCfgListsNothing) {
  Fresh t;
  test::press(t.ctx, "frm_Main", "select");  // the dialog answers cancel
  EXPECT_TRUE(t.view.labels.empty());
  EXPECT_TRUE(t.view.messages.empty());
  std::filesystem::remove(t.dir.native(t.plane("Aircraft.cfg")));
  ASSERT_TRUE(select_aircraft_path(t.ctx, t.rcf("folder=SimObjects\\Airplanes\\C172\r\n")));
  EXPECT_EQ(-1, t.ctx.state.g_AircraftLast);
  EXPECT_TRUE(t.said_only_the_check());
}

// Renumbering is offered only for what it mends, with what it leaves in a
// list of its own; once done, the check runs again and says what is left.
TEST(SelectAircraft, RepairIsOfferedForWhatItMendsAndTheCheckRunsAgain) {
  for (const bool twice : {false, true}) {
    SCOPED_TRACE(twice);
    Fresh t;
    if (twice) t.dir.write(t.plane("Aircraft.cfg"), test::kOriginalCfg + "\r\n[fltsim.1]\r\ntitle=Cessna Twin\r\ntexture=Red\r\n");
    t.view.accept_repair = true;
    ASSERT_TRUE(select_aircraft_path(t.ctx, t.rcf("folder=SimObjects\\Airplanes\\C172\r\n")));
    EXPECT_EQ(twice, !t.view.offered_findings.empty());
    ASSERT_EQ(1u, t.view.messages.size());
    const std::string shown = t.view.messages[0].text;
    EXPECT_EQ(std::string::npos, shown.find("used 2 times")) << shown;
    EXPECT_EQ(0u, shown.find(twice ? "The aircraft.cfg file was renumbered. The check of this aircraft still finds:"
                                    "\r\r- [fltsim.2] names the folder Texture.Green"
                                  : "The check of this aircraft found:\r\r- [fltsim.3] names the folder Texture.Green"))
        << shown;
    EXPECT_NE(std::string::npos, shown.find("\r- [Texture.Red] red.bmp does not start")) << shown;
    if (!twice) continue;
    const std::string offer = repair_offer_text(t.view.offered_findings);
    EXPECT_NE(std::string::npos, offer.find("Renumbering mends:\r- [fltsim.1] is used 2 times")) << offer;
    EXPECT_NE(std::string::npos, offer.find("Renumbering does not mend:\r- [fltsim.3] names the folder")) << offer;
  }
}

// Whatever step fails, the user is told why and the previous aircraft stays
// whole: its folder, entries and packages.
TEST(SelectAircraft, AFailedSelectionSaysWhyAndKeepsThePreviousAircraft) {
  // prepare: gives the file to select.
  const struct { const char* name; std::function<std::string(SimTree&)> prepare; const char* why; } cases[] = {
      {"missing file", [](SimTree& t) { return t.dir.path() + "\\missing.rcf"; }, "missing.rcf"},
      {"package too short for an entry",
       [](SimTree& t) {
         t.dir.write("short.pkg", "too short to hold an entry");
         return t.dir.path() + "\\short.pkg";
       },
       "short.pkg"},
      {"unreadable aircraft.cfg",
       [](SimTree& t) {
         t.dir.write("sim/SimObjects/Airplanes/B737/Aircraft.cfg/x", "a folder where the file should be");
         t.dir.write("b737.rcf", "folder=SimObjects\\Airplanes\\B737\r\n");
         return t.dir.path() + "\\b737.rcf";
       },
       kAircraftListError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    const SharedState before = t.ctx.state;
    EXPECT_FALSE(select_aircraft_path(t.ctx, c.prepare(t)));
    ASSERT_EQ(1u, t.view.messages.size());
    EXPECT_NE(std::string::npos, t.view.messages[0].text.find(c.why)) << t.view.messages[0].text;
    EXPECT_EQ(before.g_AircraftFolder, t.ctx.state.g_AircraftFolder);
    EXPECT_EQ(before.g_AircraftLast, t.ctx.state.g_AircraftLast);
    EXPECT_EQ(before.g_RcfText, t.ctx.state.g_RcfText);
    EXPECT_TRUE(t.view.labels.empty());
  }
}

// A read-only program folder (Program Files) loses only the package.rcf copy.
TEST(SelectAircraft, AReadOnlyProgramFolderStopsNothing) {
  Fresh t;
  t.dir.write("chosen.pkg", test::blue_package());
  const test::ImmutableFlag flag(t.dir.native("sim/Varnel Software/FSX Paintwell"));  // what root cannot write either
  if (!flag.ok()) GTEST_SKIP() << "no immutable flag here";
  ASSERT_TRUE(select_aircraft_path(t.ctx, t.dir.path() + "\\chosen.pkg"));
  EXPECT_TRUE(t.said_only_the_check());
  EXPECT_EQ(std::vector<std::string>{"Media"}, t.dir.names("sim/Varnel Software/FSX Paintwell"));
}

// Listing, the install screen's rows and selection read one check.
TEST(SelectAircraft, ListingAndSelectionAgreeOnWhatIsDamaged) {
  const std::string whole = test::package_bytes(test::blue_entry(), std::string(1000, 'p'), test::blue_files());
  FltsimEntry hijacking = test::blue_entry();
  hijacking.sim = "c172\r\n\r\n[General]\r\natc_type=HIJACKED";
  // reason: why the package is not usable, empty when it is.
  const struct { const char* name; std::string bytes; const char* reason; } cases[] = {
      {"whole", whole, ""},
      {"cut in the preview", whole.substr(0, kPreviewOffset + 500), "preview runs past the end"},
      {"cut in the file table", whole.substr(0, kPreviewOffset + 1100), "file table runs past the end"},
      {"line ends in a field", test::package_bytes(hijacking, std::nullopt, test::blue_files()),
       "the field sim holds the control byte 0x0D"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh t;
    t.dir.write(t.plane("Downloads/x.pkg"), c.bytes);
    ASSERT_TRUE(select_aircraft_path(t.ctx, t.rcf("folder=SimObjects\\Airplanes\\C172\r\n")));
    const ListRow row = t.view.lists["frm_Install.lstPackages"].rows.at(0);  // a copy: selecting refills it
    EXPECT_EQ(c.reason[0] == '\0', row.enabled);
    EXPECT_NE(std::string::npos, row.tooltip.find(c.reason)) << row.tooltip;
    const bool selected = select_aircraft_path(t.ctx, t.core_plane("Downloads\\x.pkg"));
    EXPECT_EQ(row.enabled, selected);
    EXPECT_NE(std::string::npos, (selected ? "" : t.view.messages.back().text).find(c.reason));
  }
}

}  // namespace
}  // namespace pw
