#include "packages/package_installation.h"

#include <gtest/gtest.h>

#include "aircraft/entry_list.h"
#include "tests/packages/mixed_data.h"
#include "packages/package_format.h"
#include "packages/repaint_removal.h"
#include "tests/packages/sim_tree.h"
#include "tests/packages/tree_checks.h"

namespace pw::test {
namespace {

// The tree with one package in Downloads, listed as index 0.
class InstallTest : public ::testing::Test {
 protected:
  void put_package(const std::string& bytes, const FltsimEntry& entry = blue_entry()) {
    t.dir.write(t.plane("Downloads/blue.pkg"), bytes);
    t.ctx.state.g_PackagePaths = {t.core_plane("Downloads\\blue.pkg")};
    t.ctx.state.g_PackageEntries = {entry};
    t.ctx.state.g_PackageLast = 0;
  }
  // What an install must not have touched when it fails.
  void expect_untouched() {
    EXPECT_EQ(kOriginalCfg, t.cfg());
    EXPECT_EQ(before_, t.dir.names(t.plane("")));
    EXPECT_EQ(2, t.ctx.state.g_FirstFreeFltsim);
    EXPECT_TRUE(t.dir.exists(t.plane("Downloads/blue.pkg")));
  }
  std::string section(int n) {
    const ProfileDocument doc = ProfileDocument::parse(t.cfg());
    return read_profile_value(doc, fltsim_section(n), "title") + "|" +
           read_profile_value(doc, fltsim_section(n), "texture") + "|" +
           read_profile_value(doc, fltsim_section(n), "ui_variation");
  }

  SimTree t;
  const std::vector<std::string> before_ = t.dir.names(t.plane(""));
};

TEST_F(InstallTest, SamePackageThreeTimesGetsNumberedFoldersAndFreeSections) {
  put_package(package_bytes(blue_entry(), std::nullopt, blue_files()));
  const struct {
    const char* folder;
    int section;
  } installs[] = {{"Texture.Blue", 2}, {"Texture.Blue_000", 4}, {"Texture.Blue_001", 5}};
  for (const auto& [folder, number] : installs) {
    SCOPED_TRACE(folder);
    const InstallReport report = t.install(0);
    EXPECT_EQ(InstallOutcome::kInstalled, report.outcome);
    EXPECT_EQ("Blue Sky", report.variation);
    EXPECT_EQ(t.core_plane(folder), report.folder);
    EXPECT_EQ(number, report.section);
    EXPECT_EQ((std::vector<std::string>{"Panel.dds", "texture.bmp"}), t.dir.names(t.plane(folder)));
    EXPECT_EQ(blue_files()[0].bytes, t.dir.read(t.plane(folder) + "/texture.bmp"));
    EXPECT_EQ(blue_files()[1].bytes, t.dir.read(t.plane(folder) + "/Panel.dds"));
  }
  // The gap at 2 is used first, then the numbers past the last entry:
  // never the titled section 3.
  EXPECT_EQ("Cessna Blue|Blue|Blue Sky", section(2));
  EXPECT_EQ("Cessna Blue - 000|Blue_000|Blue Sky - 000", section(4));
  EXPECT_EQ("Cessna Blue - 001|Blue_001|Blue Sky - 001", section(5));
  EXPECT_EQ(6, t.ctx.state.g_FirstFreeFltsim);
  EXPECT_EQ(kOriginalCfg, t.cfg().substr(0, kOriginalCfg.size()));
  EXPECT_EQ(6u, read_aircraft_entries(ProfileDocument::parse(t.cfg())).entries.size());
  for (const std::string& name : t.dir.names(t.plane(""))) EXPECT_NE('~', name[0]) << name;
  EXPECT_TRUE(t.dir.exists(t.plane("Downloads/blue.pkg")));  // not asked to delete it
}

TEST_F(InstallTest, DeleteOptionDeletesThePackageOnlyAfterSuccess) {
  std::string damaged = package_bytes(blue_entry(), std::nullopt, blue_files());
  put_package(damaged.substr(0, damaged.size() - 3));
  EXPECT_EQ(InstallOutcome::kFailed, t.install(0, true).outcome);
  EXPECT_TRUE(t.dir.exists(t.plane("Downloads/blue.pkg")));

  put_package(package_bytes(blue_entry(), "BM", blue_files()));
  EXPECT_EQ(InstallOutcome::kFailed, t.install(1, true).outcome);
  EXPECT_EQ(InstallOutcome::kFailed, t.install(-1, true).outcome);
  EXPECT_TRUE(t.dir.exists(t.plane("Downloads/blue.pkg")));
  EXPECT_EQ(InstallOutcome::kInstalled, t.install(0, true).outcome);
  EXPECT_FALSE(t.dir.exists(t.plane("Downloads/blue.pkg")));
}

// The hostile corpus covers unsafe names at large; the message must name the file.
TEST_F(InstallTest, UnsafeNamesAreRefusedByName) {
  for (const char* name : {"..\\x", "a/b", "nul.dds"}) {
    SCOPED_TRACE(name);
    std::vector<NamedBytes> files = blue_files();
    files.push_back({name, "evil"});
    put_package(package_bytes(blue_entry(), std::nullopt, files));
    const InstallReport report = t.install(0);
    EXPECT_EQ(ErrorCode::kRefused, report.error.code);
    EXPECT_NE(std::string::npos, report.error.message.find(name)) << report.error.message;
    expect_untouched();
  }
}

// A preview is a 400 x 300 picture: one far larger is damage, not a preview.
TEST_F(InstallTest, APreviewOverTheCapIsDamage) {
  put_package(package_bytes(blue_entry(), std::string(kMaxPreviewSize + 1, 'p'), blue_files()));
  const InstallReport report = t.install(0);
  EXPECT_EQ(ErrorCode::kDamaged, report.error.code);
  EXPECT_NE(std::string::npos, report.error.message.find("4 MB")) << report.error.message;
  expect_untouched();
}

TEST_F(InstallTest, AllThousandNamesTakenTouchesNothing) {
  put_package(package_bytes(blue_entry(), std::nullopt, blue_files()));
  std::filesystem::create_directory(t.dir.native(t.plane("Texture.Blue")));
  for (int i = 0; i < 1000; ++i) {
    char name[32];
    // A few in another case: any case counts as taken.
    std::snprintf(name, sizeof name, i % 250 == 0 ? "Texture.BLUE_%03d" : "Texture.Blue_%03d", i);
    std::filesystem::create_directory(t.dir.native(t.plane(name)));
  }
  const std::vector<std::string> with_folders = t.dir.names(t.plane(""));
  EXPECT_EQ(ErrorCode::kRefused, t.install(0).error.code);
  EXPECT_EQ(kOriginalCfg, t.cfg());
  EXPECT_EQ(with_folders, t.dir.names(t.plane("")));
  EXPECT_TRUE(t.dir.names(t.plane("Texture.Blue_999")).empty());
}

TEST_F(InstallTest, StreamsEveryByteReportingBytesWritten) {
  const std::vector<NamedBytes> files = {{"a.dds", pw::testing::mixed_bytes(600 * 1024, 31)}, {"b.bmp", "B"},
                                         {"c.dds", pw::testing::random_bytes(300 * 1024, 33)}};
  put_package(package_bytes(blue_entry(), std::nullopt, files));
  ProgressLog progress;
  t.ctx.progress = progress.recorder();
  const InstallReport report = t.install(0);
  ASSERT_EQ(InstallOutcome::kInstalled, report.outcome) << report.error.message;
  EXPECT_EQ(as_files(files), folder_files(t.dir.native(t.plane("Texture.Blue"))));
  progress.expect_complete_run(static_cast<std::int64_t>(files[0].bytes.size() + 1 + files[2].bytes.size()));
  EXPECT_GT(progress.calls.size(), 3u);  // reported on the way, not only at the end
}

// An Aircraft.cfg the user made read-only is replaced neither by an install
// nor by a removal. An immutable one is refused by the same check of the
// file layer (posix_write_protection_test), so one protection does here.
TEST_F(InstallTest, ReadOnlyAircraftCfgFailsInstallAndRemovalUntouched) {
  namespace stdfs = std::filesystem;
  constexpr auto write = stdfs::perms::owner_write | stdfs::perms::group_write | stdfs::perms::others_write;
  const stdfs::path cfg = t.dir.native(t.plane("Aircraft.cfg"));
  put_package(package_bytes(blue_entry(), std::nullopt, blue_files()));
  stdfs::permissions(cfg, write, stdfs::perm_options::remove);
  const InstallReport report = t.install(0);
  EXPECT_EQ(InstallOutcome::kCfgNotWritten, report.outcome);
  EXPECT_EQ(ErrorCode::kAccessDenied, report.error.code) << report.error.message;
  expect_untouched();

  EXPECT_EQ(RemovalOutcome::kCfgNotWritten, t.remove({false, true, false}).outcome);
  EXPECT_EQ(kOriginalCfg, t.cfg());
  std::vector<std::string> expected = before_;  // and the backups a removal takes first
  expected.insert(expected.end(), {"Aircraft.001", "Aircraft.vnb"});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, t.dir.names(t.plane("")));
  EXPECT_EQ(5u, t.dir.names(t.plane("Texture.Silver")).size());
  stdfs::permissions(cfg, write, stdfs::perm_options::add);
}

}  // namespace
}  // namespace pw::test
