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

  SimTree t;
  const std::vector<std::string> before_ = t.dir.names(t.plane(""));
};

// A preview is a 400 x 300 picture: one far larger is damage, not a preview.
TEST_F(InstallTest, APreviewOverTheCapIsDamage) {
  put_package(package_bytes(blue_entry(), std::string(kMaxPreviewSize + 1, 'p'), blue_files()));
  const InstallReport report = t.install(0);
  EXPECT_EQ(ErrorCode::kDamaged, report.error.code);
  EXPECT_NE(std::string::npos, report.error.message.find("4 MB")) << report.error.message;
  expect_untouched();
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
  put_package(blue_package());
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
