#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/desktop/dispatcher.h"
#include "app/desktop/hangar_lists.h"
#include "app/desktop/list_search.h"
#include "app/desktop/listed_titles.h"
#include "packages/sim_tree.h"
#include "support/test_button.h"

namespace pw {
namespace {

using test::SimTree;

std::vector<std::string> titles(const test::ScriptedView& view) {
  std::vector<std::string> all;
  for (const test::ShownMessage& message : view.messages) all.push_back(message.title);
  return all;
}

// Every word in some field, case and accents aside; a hidden row keeps its
// tick, is counted apart and is removed with the shown ones.
TEST(ListSearch, HidesRowsTheWordsMissAndKeepsTheirTicks) {
  SimTree t;
  t.ctx.state.g_AircraftEntries[1].ui_createdby = "J\xE9r\xF4me";
  FillRemoveAircraftList(t.ctx);
  t.view.tick("frm_Remove.lstAircraft", {0, 1});
  const struct { const char* typed; std::vector<bool> hidden; const char* count; } cases[] = {
      {"", {false, false, false}, "2 ticked"},
      {"RED", {false, true, true}, "2 ticked, 1 hidden by the search"},
      {"jerome", {true, false, true}, "2 ticked, 1 hidden by the search"},
      {"texture.green  CESSNA", {true, true, false}, "2 ticked, 2 hidden by the search"},
      {"red green ", {true, true, true}, "No repaint matches \"red green\"; 2 ticked, 2 hidden by the search"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    t.view.fields["frm_Remove.txtSearch"] = c.typed;
    RefilterList(t.ctx, "frm_Remove", "lstAircraft");
    EXPECT_EQ(c.hidden, t.view.of_rows("frm_Remove.lstAircraft", &ListRow::hidden));
    EXPECT_EQ(c.count, t.view.labels["frm_Remove.lblTicked"]);
  }
  test::press(t.ctx, "frm_Remove", "remove");
  const std::string asked = t.view.messages.at(0).text;
  EXPECT_NE(std::string::npos,
            asked.find("\r\r- Cessna Red (hidden by the search)\r- Cessna Silver (hidden by the search)"))
      << asked;
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Silver")));  // a hidden row removed as a shown one
  EXPECT_EQ(std::vector<std::string>{"Green"}, t.view.row_texts("frm_Remove.lstAircraft"));
  EXPECT_EQ(std::vector<bool>{true}, t.view.of_rows("frm_Remove.lstAircraft", &ListRow::hidden));  // still searched
  EXPECT_EQ("No repaint matches \"red green\"", t.view.labels["frm_Remove.lblTicked"]);
}

TEST(ListedTitles, NamesFifteenThenCountsTheRest) {
  SharedState s;
  std::vector<ListRow> rows;
  for (int i = 0; i < 17; ++i) {
    s.g_PackageEntries.emplace_back().title = " P" + std::to_string(i) + " ";
    rows.push_back(ListRow{"row", i, true, true, "", i == 3, ""});
  }
  for (const std::size_t n : {std::size_t(15), std::size_t(17)}) {
    const std::string text = with_acted_on("Q?", s, {rows.begin(), rows.begin() + static_cast<long>(n)}, true);
    SCOPED_TRACE(text);
    EXPECT_EQ(0u, text.find("Q?\r\r- P0\r- P1\r- P2\r- P3 (hidden by the search)\r- P4\r"));
    EXPECT_NE(std::string::npos, text.find("\r- P14"));
    EXPECT_EQ(std::string::npos, text.find("P15"));
    EXPECT_EQ(n == 17, text.ends_with("\rand 2 more"));
  }
}

TEST(Hangar, RemovesAndInstallsTheTickedCardsThroughTheScreensCommands) {
  SimTree t;
  t.download("blue.pkg");
  FillPackageList(t.ctx, false);
  FillHangarRepaints(t.ctx);
  EXPECT_EQ("Cessna Silver\nAir (Tahiti) [2007]", t.view.lists["frm_Hangar.lstRepaints"].rows[1].tooltip);  // the card whole
  t.view.lists["frm_Hangar.lstRepaints"].rows[0].enabled = false;  // as for an entry the .rcf keeps
  t.view.tick("frm_Hangar.lstRepaints", {0, 1});
  HangarListClicked(t.ctx, "lstRepaints");
  ASSERT_EQ("enabled", t.view.button_states["frm_Hangar.btn_Remove"]);
  test::press(t.ctx, "frm_Hangar", "remove");
  EXPECT_EQ((std::vector<std::string>{"Remove Aircraft Repaints", "Repaint Removal Successful"}), titles(t.view));
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Silver")));
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Red")));

  t.view.messages.clear();
  t.view.tick("frm_Hangar.lstPackages", {0});
  t.view.check_boxes["frm_Hangar.chkDelete"] = true;
  test::press(t.ctx, "frm_Hangar", "install");
  EXPECT_EQ((std::vector<std::string>{"Install Aircraft Repaints", "Repaint Packages Installed"}), titles(t.view));
  EXPECT_TRUE(t.dir.exists(t.plane("Texture.Blue/texture.bmp")));
  EXPECT_FALSE(t.dir.exists(t.plane("Downloads/blue.pkg")));
  EXPECT_EQ((std::vector<std::string>{"Red Livery", "Green", "Blue Sky"}), t.view.row_texts("frm_Hangar.lstRepaints"));
  EXPECT_EQ("disabled", t.view.button_states["frm_Hangar.btn_Install"]);
  EXPECT_NE(std::string::npos, t.dir.read(t.plane("Paintwell.log")).find("blue.pkg"));
}

}  // namespace
}  // namespace pw
