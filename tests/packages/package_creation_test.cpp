#include "packages/package_creation.h"

#include <gtest/gtest.h>

#include <functional>

#include "packages/file_helpers.h"
#include "tests/packages/sim_tree.h"

namespace pw::test {
namespace {

constexpr const char* kTextures = "frm_Package.lstTextures";
constexpr const char* kTahitiPkg = "Air_Tahiti_2007_Repaint.pkg";

struct ReadBack {
  FltsimEntry entry;
  std::optional<std::string> preview;
  std::vector<std::string> names;
  std::vector<std::string> files;
};

ReadBack read_back(const std::string& path) {
  auto file = native_file_system().open_read(path);
  EXPECT_TRUE(file.ok());
  ReadBack back;
  back.entry = *read_package_entry(**file);
  back.preview = *read_package_preview(**file);
  const PackageLayout layout = *read_package_layout(**file);
  for (const PackageFile& f : layout.files) back.names.push_back(f.name);
  back.files = *expand_package_files(**file, layout);
  return back;
}

// The package screen showing entry 1 (texture Silver).
void choose_silver(SimTree& t) {
  FillPackageAircraftList(t.ctx);
  t.view.lists["frm_Package.lstAircraft"].current = 1;
  PackageAircraftClicked(t.ctx);
}

TEST(PackageName, FollowsTheNamingRule) {
  const struct {
    const char* variation;
    const char* expected;
  } cases[] = {
      {"Air (Tahiti) [2007]", "Air_Tahiti_2007_Repaint.pkg"},
      {"  Delta: N123 / Blue  ", "Delta_N123__Blue_Repaint.pkg"},
      {"Ski*Jet; Livery=2", "SkiJet_Livery2_Repaint.pkg"},
      {"Why? <Not> |Pipe|", "Why_Not_Pipe_Repaint.pkg"},
      {"a,b\\c'd\"e", "abcde_Repaint.pkg"},
      {"KLM v1.2 \xC9t\xE9", "KLM_v1.2_\xC9t\xE9_Repaint.pkg"},
      {"", "_Repaint.pkg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.variation);
    EXPECT_EQ(c.expected, package_file_name(c.variation));
  }
}

TEST(CreatePackage, ListsEveryEntryAndPacksTheTickedFilesInListOrder) {
  SimTree t;
  choose_silver(t);
  EXPECT_EQ((std::vector<std::string>{"Red Livery", "Air (Tahiti) [2007]", "Green"}),
            t.view.row_texts("frm_Package.lstAircraft"));
  ASSERT_EQ((std::vector<std::string>{"A.bmp", "b.dds", "c.cfg", "d.txt", "E.dds"}), t.view.row_texts(kTextures));
  EXPECT_EQ(0, t.view.lists[kTextures].current);
  t.view.tick(kTextures, {1, 3}, false);

  ASSERT_EQ(kTahitiPkg, CreatePackage(t.ctx, 1));
  EXPECT_EQ(std::vector<std::string>{kTahitiPkg}, t.names_in(t.plane("Uploads")));
  const ReadBack back = read_back(t.core_plane("Uploads\\") + kTahitiPkg);
  EXPECT_EQ("Air (Tahiti) [2007]", back.entry.ui_variation);
  EXPECT_EQ("Silver", back.entry.texture);
  EXPECT_EQ(t.ctx.state.g_RcfText, back.entry.rcf_text);
  EXPECT_EQ(t.ctx.state.g_RcfText, t.ctx.state.g_AircraftEntries[1].rcf_text);
  EXPECT_FALSE(back.preview.has_value());
  EXPECT_EQ((std::vector<std::string>{"A.bmp", "c.cfg", "E.dds"}), back.names);
  EXPECT_EQ((std::vector<std::string>{"bmp-A", "[fltsim]\r\n", std::string(70000, 'E')}), back.files);
}

TEST(CreatePackage, CarriesTheChosenPreviewAndReplacesAnOlderPackage) {
  SimTree t;
  const std::string bitmap = "BM" + std::string(500, '\x7f');
  t.dir.write("pictures/preview.bmp", bitmap);
  t.dir.write(t.plane("Uploads/") + kTahitiPkg, "older package");
  t.ctx.state.g_PreviewChosen = true;
  t.ctx.state.g_PreviewPath = " " + t.dir.path() + "\\pictures\\preview.bmp ";
  choose_silver(t);

  ASSERT_EQ(kTahitiPkg, CreatePackage(t.ctx, 1));
  EXPECT_EQ(std::vector<std::string>{kTahitiPkg}, t.names_in(t.plane("Uploads")));
  const ReadBack back = read_back(t.core_plane("Uploads\\") + kTahitiPkg);
  EXPECT_EQ(bitmap, back.preview);
  EXPECT_EQ(5u, back.names.size());
}

// Each failure gives the empty result and leaves Uploads exactly as it was:
// the older package of the same name intact and no partial file beside it.
TEST(CreatePackage, FailuresLeaveAnOlderPackageAndNothingElse) {
  using Step = std::function<void(SimTree&)>;
  const Step none = [](SimTree&) {};
  const struct {
    const char* name;
    Step before_listing;
    Step after_listing;
  } cases[] = {
      {"zero-byte file", [](SimTree& t) { t.dir.write(t.plane("Texture.Silver/empty.dds"), ""); }, none},
      {"nothing ticked", none, [](SimTree& t) { t.view.tick(kTextures, {0, 1, 2, 3, 4}, false); }},
      {"file gone since listing", none,
       [](SimTree& t) { std::filesystem::remove(t.dir.native(t.plane("Texture.Silver/d.txt"))); }},
      {"missing preview",
       [](SimTree& t) {
         t.ctx.state.g_PreviewChosen = true;
         t.ctx.state.g_PreviewPath = t.dir.path() + "\\nothing.bmp";
       },
       none},
      {"name over 100 bytes",
       [](SimTree& t) { t.dir.write(t.plane("Texture.Silver/") + std::string(101, 'n'), "x"); }, none},
      {"101 files ticked",
       [](SimTree& t) {
         for (int i = 0; i < 96; ++i) t.dir.write(t.plane("Texture.Silver/f") + std::to_string(i), "x");
       },
       [](SimTree& t) {
         auto& rows = t.view.lists[kTextures].rows;
         ASSERT_EQ(kMaxTextureRows, rows.size());  // the list itself stops at 100
         rows.push_back(rows.front());
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    t.dir.write(t.plane("Uploads/") + kTahitiPkg, "older package");
    c.before_listing(t);
    choose_silver(t);
    c.after_listing(t);
    EXPECT_EQ("", CreatePackage(t.ctx, 1));
    EXPECT_EQ(std::vector<std::string>{kTahitiPkg}, t.names_in(t.plane("Uploads")));
    EXPECT_EQ("older package", t.dir.read(t.plane("Uploads/") + kTahitiPkg));
  }
}

TEST(CreatePackage, ZeroByteFileLeavesNoFileAtAll) {
  SimTree t;
  t.dir.write(t.plane("Texture.Silver/empty.dds"), "");
  choose_silver(t);
  EXPECT_EQ("", CreatePackage(t.ctx, 1));
  EXPECT_TRUE(t.names_in(t.plane("Uploads")).empty());
  EXPECT_EQ("", CreatePackage(t.ctx, 7));
}

// Whichever file operation fails, Uploads holds the older package only.
TEST(CreatePackage, EveryFailingFileCallLeavesTheOlderPackage) {
  SimTree t;
  t.dir.write(t.plane("Uploads/") + kTahitiPkg, "older package");
  choose_silver(t);
  for (int k = 1;; ++k) {
    SCOPED_TRACE(k);
    ASSERT_LT(k, 100);
    t.faulty.fail_at(k);
    const std::string result = CreatePackage(t.ctx, 1);
    if (t.faulty.failed_call().empty()) {
      EXPECT_EQ(kTahitiPkg, result);
      break;
    }
    if (!result.empty()) {
      EXPECT_EQ("sync_folder", t.faulty.failed_call());  // the package is complete by then
      continue;
    }
    EXPECT_EQ(std::vector<std::string>{kTahitiPkg}, t.names_in(t.plane("Uploads")));
    EXPECT_EQ("older package", t.dir.read(t.plane("Uploads/") + kTahitiPkg));
  }
  EXPECT_EQ(5u, read_back(t.core_plane("Uploads\\") + kTahitiPkg).names.size());
}

TEST(FillPackageAircraftList, WithoutEntriesEmptiesBothLists) {
  SimTree t;
  choose_silver(t);
  t.ctx.state.g_AircraftEntries.clear();
  t.ctx.state.g_AircraftLast = -1;
  FillPackageAircraftList(t.ctx);
  EXPECT_TRUE(t.view.lists["frm_Package.lstAircraft"].rows.empty());
  EXPECT_TRUE(t.view.lists[kTextures].rows.empty());
  EXPECT_TRUE(t.view.lists[kTextures].enabled);
}

}  // namespace
}  // namespace pw::test
