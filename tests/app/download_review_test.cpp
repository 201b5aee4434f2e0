#include "app/desktop/download_review.h"

#include <gtest/gtest.h>

#include "app/desktop/dispatcher.h"
#include "app/desktop/outside_packages.h"
#include "base/file_ops.h"
#include "packages/file_helpers.h"
#include "packages/sim_tree.h"
#include "packages/tree_checks.h"
#include "support/test_button.h"

namespace pw {
namespace {

using test::TestButton;

// An unpacked download with a block in its readme for one folder and none
// for the other, reviewed against the simulator's two aircraft.
TEST(DownloadReview, ProposesChecksAndLetsTheUserChoose) {
  test::SimTree t;
  t.dir.write("sim/SimObjects/Airplanes/B737/aircraft.cfg", "[fltsim.0]\r\ntitle=Boeing Green\r\ntexture=G\r\n");
  t.dir.write("dl/readme.txt", "Paste this:\r\n[fltsim.9]\r\ntitle=Cessna Blue\r\nsim=c172\r\ntexture=Blue\r\n");
  t.dir.write("dl/Texture.Blue/thumbnail.jpg", std::string(70000, 'j'));
  t.dir.write("dl/Texture.Blue/big.dds", "DDS " + std::string(100000, 'd'));
  t.dir.write("dl/Texture.Blue/cut.dds", "");
  t.dir.write("dl/Texture.Plain/red.bmp", "BM");  // a name the C172's own Texture.Red holds
  const std::string root = t.ctx.state.g_SimRoot;
  const Library library = index_library(t.faulty, {root + "\\SimObjects\\Airplanes"}, "");
  ASSERT_EQ(2u, library.aircraft.size());  // B737, C172
  const std::string scratch_root = t.dir.path() + "\\cache";

  std::string scratch;
  {
    const auto review = review_downloads(t.faulty, library, {t.dir.path() + "\\dl", t.dir.path() + "\\none.zip"}, scratch_root);
    scratch = review->scratch();
    ASSERT_EQ(2u, review->downloads.size());
    EXPECT_NE("", review->downloads[1].problem);
    EXPECT_EQ("C172 (Cessna Red)", review->aircraft[1].label);
    const std::vector<ReviewedRepaint>& found = review->downloads[0].repaints;
    ASSERT_EQ(2u, found.size());

    const ReviewedRepaint& blue = found[0];
    EXPECT_EQ("Cessna Blue", blue.title);
    EXPECT_EQ("readme.txt, line 2", blue.source);
    EXPECT_EQ(std::optional<std::size_t>(1), blue.target);
    EXPECT_TRUE(blue.ticked);
    ASSERT_EQ(1u, blue.findings.size());
    EXPECT_EQ(FindingKind::kTruncatedTexture, blue.findings[0].kind);
    EXPECT_NE(std::string::npos, blue.findings[0].explanation.find("cut.dds")) << blue.findings[0].explanation;
    // The picture whole, of a texture no more than the check reads.
    EXPECT_EQ(70000, t.faulty.stamp(*find_thumbnail(t.faulty, blue.picture))->size);
    EXPECT_EQ(64 * 1024, t.faulty.stamp(join_path(blue.picture, "big.dds"))->size);

    const ReviewedRepaint& plain = found[1];
    EXPECT_TRUE(plain.made_up);
    EXPECT_EQ(kMadeUpSource, plain.source);
    EXPECT_EQ(std::optional<std::size_t>(1), plain.target);
    EXPECT_EQ("Cessna Red Plain", plain.title);
    EXPECT_FALSE(plain.ticked);
    review->choose_target(0, 1, 0);
    EXPECT_EQ("Boeing Green Plain", plain.title);
    EXPECT_EQ(std::optional<std::size_t>(0), plain.target);
    EXPECT_EQ(1u, review->installable_count());  // the made-up one stays unticked
  }
  EXPECT_FALSE(scratch.empty());
  EXPECT_FALSE(t.faulty.exists(scratch));
}

// A dropped folder of texture folders: reviewed, installed as the user
// left the review (one unticked, a made-up entry ticked and given its
// aircraft) into the
// aircraft, and undone whole; going back from the review installs nothing.
TEST(DownloadCommand, InstallsWhatTheReviewKeepsAndUndoesItWhole) {
  test::SimTree t;
  t.ctx.state.aircraft_places.folders = {t.ctx.state.g_SimRoot + "\\SimObjects\\Airplanes"};
  t.ctx.library_cache_folder = t.dir.path() + "\\cache";
  t.dir.write("dl/readme.txt", "[fltsim.9]\r\ntitle=Cessna Blue\r\nsim=c172\r\ntexture=Blue\r\n");
  t.dir.write("dl/Texture.Blue/blue.bmp", "BM blue");
  t.dir.write("dl/Texture.Plain/plain.bmp", "BM plain");
  t.dir.write("dl/Texture.Gold/gold.bmp", "BM gold");
  t.dir.write("dl/gold.cfg", "[fltsim.0]\r\ntitle=Cessna Gold\r\nsim=c172\r\ntexture=Gold\r\n");
  std::filesystem::create_directories(t.dir.native("empty"));
  const auto folders = test::texture_folders(t.dir.native(test::kPlane));

  open_packages(t.ctx, "frm_Main", {t.dir.path() + "\\dl", t.dir.path() + "\\empty"});
  EXPECT_EQ(1, t.view.reviews_shown);
  EXPECT_EQ(test::kOriginalCfg, t.cfg());
  ASSERT_EQ(1u, t.view.messages.size());  // the empty folder is named, nothing else is said
  EXPECT_NE(std::string::npos, t.view.messages[0].text.find("\rempty")) << t.view.messages[0].text;

  t.view.messages.clear();
  t.view.on_review = [](DownloadReview& review) {
    std::vector<ReviewedRepaint>& found = review.downloads[0].repaints;
    for (std::size_t r = 0; r < found.size(); ++r) {
      found[r].ticked = found[r].title != "Cessna Gold";
      if (found[r].made_up) review.choose_target(0, r, 0);
    }
    return true;
  };
  open_packages(t.ctx, "frm_Main", {t.dir.path() + "\\dl"});
  const std::string cfg = t.cfg();
  EXPECT_NE(std::string::npos, cfg.find("title=Cessna Blue\r\n")) << cfg;
  EXPECT_NE(std::string::npos, cfg.find("title=Cessna Red Plain\r\n")) << cfg;
  EXPECT_EQ(std::string::npos, cfg.find("Cessna Gold")) << cfg;
  EXPECT_EQ("BM plain", t.dir.read(t.plane("Texture.Plain/plain.bmp")));
  ASSERT_FALSE(t.view.messages.empty());
  EXPECT_EQ("Repaints Installed", t.view.messages.back().title);
  EXPECT_NE(std::string::npos, t.view.messages.back().text.find("dl into C172: 2 repaints installed"))
      << t.view.messages.back().text;

  TestButton undo("frm_Main", "undo");
  dispatch_release(t.ctx, undo);
  EXPECT_EQ(test::kOriginalCfg, t.cfg());
  EXPECT_EQ(folders, test::texture_folders(t.dir.native(test::kPlane)));
}

}  // namespace
}  // namespace pw
