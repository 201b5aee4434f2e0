#include "packages/file_helpers.h"

#include <gtest/gtest.h>

#include "app/desktop/screen_lists.h"
#include "tests/packages/sim_tree.h"

namespace pw::test {
namespace {

// A disk on which no file can be deleted (held open, say).
class StickyFileSystem : public FaultyFileSystem {
 public:
  using FaultyFileSystem::FaultyFileSystem;
  Result<void> remove_file(const std::string& path) override {
    return make_error(ErrorCode::kAccessDenied, "in use: " + path);
  }
};

TEST(DeleteFileAndWait, DeletesEveryMatchInOnePassAndGivesUpOnAFileThatWillNotGo) {
  SimTree t;
  for (const char* name : {"a.tmp", "B.TMP", "c.tmp", "keep.txt", ".hidden.tmp"}) t.dir.write(std::string("w/") + name, "x");
  DeleteFileAndWait(t.ctx.operation(), t.dir.path() + "\\w\\*.tmp");
  EXPECT_EQ((std::vector<std::string>{".hidden.tmp", "keep.txt"}), t.dir.names("w"));
  EXPECT_EQ(1, t.view.pumps);
  DeleteFileAndWait(t.ctx.operation(), t.dir.path() + "\\w\\none.*");
  EXPECT_EQ(1, t.view.pumps);  // nothing matched: returned at once

  StickyFileSystem sticky(native_file_system());
  AppContext ctx(sticky, t.view);
  DeleteFileAndWait(ctx.operation(), t.dir.path() + "\\w\\keep.txt");
  EXPECT_EQ(1 + kDeleteAttempts, t.view.pumps);
  EXPECT_TRUE(t.dir.exists("w/keep.txt"));
}

TEST(RemoveFolder, TakesHiddenFilesTooButNotASubfolder) {
  SimTree t;
  for (const char* name : {"1.bmp", "2.bmp", "3.dds", "4.dds", "5", ".thumbs"}) t.dir.write(std::string("gone/") + name, "x");
  EXPECT_TRUE(RemoveFolder(t.ctx.operation(), t.dir.path() + "\\gone").ok());
  EXPECT_FALSE(t.dir.exists("gone"));

  t.dir.write("kept/a.bmp", "x");
  t.dir.write("kept/sub/b.bmp", "x");
  EXPECT_FALSE(RemoveFolder(t.ctx.operation(), t.dir.path() + "\\kept").ok());
  EXPECT_EQ(std::vector<std::string>{"sub"}, t.dir.names("kept"));
  EXPECT_TRUE(t.dir.exists("kept/sub/b.bmp"));
}

class PreviewTest : public ::testing::Test {
 protected:
  void list_package(const std::optional<std::string>& preview) {
    t.dir.write(t.plane("Downloads/p.pkg"), package_bytes(blue_entry(), preview, blue_files()));
    t.ctx.state.g_PackagePaths = {t.core_plane("Downloads\\p.pkg")};
    t.ctx.state.g_PackageEntries = {blue_entry()};
    t.ctx.state.g_PackageLast = 0;
  }
  std::string shown() { return t.view.pictures["frm_Install.picPreview"]; }
  SimTree t;
};

// Shown from memory: the program's own folder is often read-only.
TEST_F(PreviewTest, ShowsExactlyTheStoredBytesWritingNothing) {
  const std::string bitmap = std::string("BM\0\0\r\n", 6) + std::string(1000, '\xff');
  list_package(bitmap);
  const std::vector<std::string> program_files = t.dir.names("sim/Varnel Software/FSX Paintwell/Media");
  ShowPackagePreview(t.ctx, 0);
  EXPECT_EQ(bitmap, shown());
  EXPECT_EQ(program_files, t.dir.names("sim/Varnel Software/FSX Paintwell/Media"));
}

TEST_F(PreviewTest, NoPreviewOrNoPackageLeavesThePicture) {
  list_package(std::nullopt);
  t.view.pictures["frm_Install.picPreview"] = "before";
  ShowPackagePreview(t.ctx, 0);
  ShowPackagePreview(t.ctx, 1);
  ShowPackagePreview(t.ctx, -1);
  list_package("BM");
  std::filesystem::remove(t.dir.native(t.plane("Downloads/p.pkg")));
  ShowPackagePreview(t.ctx, 0);
  EXPECT_EQ("before", shown());
}

TEST_F(PreviewTest, AnyFailingCallLeavesThePicture) {
  list_package("BM-new");
  for (int k = 1;; ++k) {
    SCOPED_TRACE(k);
    ASSERT_LT(k, 50);
    t.view.pictures.clear();
    t.faulty.fail_at(k);
    ShowPackagePreview(t.ctx, 0);
    if (t.faulty.failed_call().empty()) break;
    EXPECT_EQ("", shown()) << t.faulty.failed_call();
  }
  EXPECT_EQ("BM-new", shown());
}

}  // namespace
}  // namespace pw::test
