#include "app/desktop/library_tab.h"

#include <gtest/gtest.h>

#include "packages/sim_tree.h"

namespace pw {
namespace {

// Every aircraft as a card, every entry found under a search, and a click
// that selects the card's aircraft as its folder would.
TEST(LibraryTab, ListsSearchesAndSelects) {
  test::SimTree t;
  t.dir.write("sim/SimObjects/Airplanes/B737/aircraft.cfg",
              "[fltsim.0]\r\ntitle=Boeing Green\r\ntexture=G\r\n[fltsim.1]\r\ntitle=Boeing Blue\r\n");
  t.ctx.state.aircraft_places.folders = {t.ctx.state.g_SimRoot + "\\SimObjects\\Airplanes"};
  const std::string b737 = t.ctx.state.g_SimRoot + "\\SimObjects\\Airplanes\\B737";
  const ListContent& shown = t.view.lists["frm_Hangar.lstLibrary"];
  const auto texts = [&] {
    std::vector<std::string> all;
    for (const ListRow& row : shown.rows) all.push_back(row.text + "|" + row.picture.substr(t.ctx.state.g_SimRoot.size()));
    return all;
  };
  LoadHangarLibrary(t.ctx);
  EXPECT_EQ((std::vector<std::string>{"Boeing Green\n2 entries\nB737|\\SimObjects\\Airplanes\\B737\\Texture.G",
                                      "Cessna Red\n3 entries\nC172|\\SimObjects\\Airplanes\\C172\\Texture.Red"}),
            texts());
  EXPECT_EQ(1, shown.current);  // the selected aircraft
  EXPECT_EQ("2 cards of 2 aircraft folders, 5 entries", t.view.labels["frm_Hangar.lblLibraryCount"]);

  t.view.fields["frm_Hangar.txtSearchLibrary"] = "green";
  FillHangarLibrary(t.ctx);
  EXPECT_EQ((std::vector<std::string>{"Boeing Green\nB737|\\SimObjects\\Airplanes\\B737\\Texture.G",
                                      "Cessna Green\nC172|\\SimObjects\\Airplanes\\C172\\Texture.Green"}),
            texts());

  t.view.lists["frm_Hangar.lstLibrary"].current = 0;
  HangarLibraryClicked(t.ctx);
  EXPECT_EQ(b737, t.ctx.state.g_AircraftFolder);
  EXPECT_EQ(2u, t.ctx.state.g_AircraftEntries.size());
  EXPECT_EQ(0u, t.ctx.state.g_RcfText.find("folder=SimObjects\\Airplanes\\B737\r\ntitle=Boeing Green\r\n"));
}

}  // namespace
}  // namespace pw
