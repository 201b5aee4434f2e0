#include "packages/download_installation.h"

#include <gtest/gtest.h>

#include <map>

#include "packages/restore_points.h"
#include "packages/undo.h"
#include "packages/sim_tree.h"
#include "packages/tree_checks.h"

namespace pw::test {
namespace {

// A download held in memory; extract() fails with kDamaged on file
// `damaged_at` as a corrupt archive does.
class MemoryDownload final : public Download {
 public:
  MemoryDownload(std::string path, std::vector<NamedBytes> files) : files_(std::move(files)) {
    contents_.path = std::move(path);
    for (const NamedBytes& f : files_) contents_.files.push_back({f.name, static_cast<std::int64_t>(f.bytes.size())});
  }
  const DownloadContents& contents() const override { return contents_; }
  Result<void> extract(const std::vector<std::size_t>& files, DownloadSink& sink) override {
    for (const std::size_t i : files) {
      if (i == damaged_at) return make_error(ErrorCode::kDamaged, "crc mismatch");
      const std::string& bytes = files_[i].bytes;
      PW_TRY(sink.begin_file(i));
      PW_TRY(sink.write(bytes.substr(0, bytes.size() / 2)));
      PW_TRY(sink.write(bytes.substr(bytes.size() / 2)));
      PW_TRY(sink.end_file());
    }
    return {};
  }
  std::size_t damaged_at = 99;

 private:
  std::vector<NamedBytes> files_;
  DownloadContents contents_;
};

const std::vector<NamedBytes> kFiles = {{"Pack\\readme.txt", "[fltsim.9]"},
                                        {"Pack\\Texture.Blue\\texture.bmp", std::string(5000, 'b')},
                                        {"Pack\\Texture.Blue\\sub\\deep\\x.dds", "deep"},
                                        {"Pack\\Texture.Other\\a.dds", std::string("\0a", 2)}};

// Both repaints name texture Blue: the second takes Blue_000.
std::vector<DownloadRepaint> two_repaints() {
  FltsimEntry other = blue_entry();
  other.title = "Cessna Other";
  return {{"Pack\\Texture.Blue", {1, 2}, blue_entry()}, {"Pack\\Texture.Other", {3}, other}};
}

// Every file and folder of the aircraft but the history, the log and the
// backups, with its bytes.
std::map<std::string, std::string> tree(const SimTree& t) {
  std::map<std::string, std::string> files;
  for (const std::string& name : all_names_under(t.dir.native(t.plane("")))) {
    if (name.starts_with("Paintwell.")) continue;
    files[name] = std::filesystem::is_directory(t.dir.native(t.plane(name))) ? "<folder>" : t.dir.read(t.plane(name));
  }
  return files;
}

ImportReport import(SimTree& t, MemoryDownload& download, const std::vector<DownloadRepaint>& repaints) {
  return install_download(t.ctx.operation(), t.ctx.state, download, repaints);
}

// The same entries through two packages, one after the other, give the
// same Aircraft.cfg; the import is one restore point that undo takes back
// byte for byte.
TEST(DownloadInstall, TwoRepaintsAsOnePackageInstallWritesThemUndoneWhole) {
  SimTree t;
  const auto before = tree(t);
  MemoryDownload download("C:\\dl\\pack.zip", kFiles);
  const ImportReport report = import(t, download, two_repaints());
  ASSERT_EQ(InstallOutcome::kInstalled, report.outcome) << report.error.message;
  ASSERT_EQ(2u, report.repaints.size());
  EXPECT_EQ(t.core_plane("Texture.Blue_000"), report.repaints[1].folder);
  EXPECT_EQ((std::vector<std::string>{"sub", "sub/deep", "sub/deep/x.dds", "texture.bmp"}),
            all_names_under(t.dir.native(t.plane("Texture.Blue"))));
  EXPECT_EQ(kFiles[1].bytes, t.dir.read(t.plane("Texture.Blue/texture.bmp")));
  EXPECT_EQ("deep", t.dir.read(t.plane("Texture.Blue/sub/deep/x.dds")));
  EXPECT_EQ(as_files({{"a.dds", kFiles[3].bytes}}), folder_files(t.dir.native(t.plane("Texture.Blue_000"))));
  EXPECT_EQ(5, t.ctx.state.g_FirstFreeFltsim);

  SimTree p;
  for (const DownloadRepaint& r : two_repaints()) {
    p.dir.write(p.plane("Downloads/x.pkg"), package_bytes(r.entry, std::nullopt, blue_files()));
    p.ctx.state.g_PackagePaths = {p.core_plane("Downloads\\x.pkg")};
    p.ctx.state.g_PackageEntries = {r.entry};
    ASSERT_EQ(InstallOutcome::kInstalled, p.install(0).outcome);
  }
  EXPECT_EQ(p.cfg(), t.cfg());

  const Result<std::vector<RestorePoint>> points = list_restore_points(t.faulty, t.ctx.state.g_AircraftFolder);
  ASSERT_TRUE(points && points->size() == 1);
  const RestoreManifest& m = points->front().manifest;
  EXPECT_EQ("import", m.operation);
  EXPECT_EQ(std::vector<std::string>{"C:\\dl\\pack.zip"}, m.packages);
  EXPECT_EQ((std::vector<std::string>{"Texture.Blue", "Texture.Blue_000"}), m.folders_created);
  EXPECT_EQ((std::vector<std::string>{"[fltsim.2] Cessna Blue", "[fltsim.4] Cessna Other"}), m.sections_written);
  const Result<UndoReport> undone = undo_latest(t.faulty, t.ctx.state.g_AircraftFolder);
  ASSERT_TRUE(undone) << undone.error().message;
  EXPECT_EQ(before, tree(t));
}

// Whichever step fails, the tree is as it was, and so it is after the
// recovery of a crash at any step; a corrupt archive half-way through the
// second repaint is one of the failures.
TEST(DownloadInstall, AFailureAnywhereLeavesTheTreeAsItWas) {
  SimTree t;
  const auto before = tree(t);
  MemoryDownload download("C:\\dl\\pack.zip", kFiles);
  download.damaged_at = 3;
  const ImportReport damaged = import(t, download, two_repaints());
  EXPECT_EQ(ErrorCode::kDamaged, damaged.error.code) << damaged.error.message;
  EXPECT_EQ(before, tree(t));
  EXPECT_FALSE(t.dir.exists(t.plane("Paintwell.history")));
  download.damaged_at = 99;
  const std::string& folder = t.ctx.state.g_AircraftFolder;
  for (int k = 1;; ++k) {
    SCOPED_TRACE(k);
    t.faulty.crash_at(k);
    const bool crashed = import(t, download, two_repaints()).outcome != InstallOutcome::kInstalled;
    t.faulty.fail_at(0);
    ASSERT_TRUE(recover_interrupted_operation(t.faulty, folder));
    if (!crashed) break;
    EXPECT_EQ(before, tree(t)) << "crash";
    t.faulty.fail_at(k);
    if (import(t, download, two_repaints()).outcome == InstallOutcome::kInstalled) {  // the failed call is ignored
      t.faulty.fail_at(0);
      ASSERT_TRUE(undo_latest(t.faulty, folder));
      t.reload_entries();
    }
    EXPECT_EQ(before, tree(t)) << t.faulty.failed_call();
    EXPECT_EQ(2, t.ctx.state.g_FirstFreeFltsim);
    ASSERT_LT(k, 200);
  }
  EXPECT_EQ("deep", t.dir.read(t.plane("Texture.Blue/sub/deep/x.dds")));
}

TEST(DownloadInstall, NamesThatLeaveTheTextureFolderAreRefusedBeforeAnythingIsWritten) {
  struct Row {
    const char* name;
    std::vector<DownloadRepaint> repaints;
  };
  const FltsimEntry blue = blue_entry();
  const std::vector<Row> rows = {
      {"outside the folder", {{"Pack\\Texture.Blue", {0}, blue}}},
      {"a part that is no safe name", {{"Pack\\Texture.Blue", {1}, blue}}},
      {"one file in two repaints", {{"Pack\\Texture.Blue", {2}, blue}, {"Pack\\Texture.Blue", {2}, blue}}},
      {"no repaint", {}},
  };
  SimTree t;
  const auto before = tree(t);
  MemoryDownload download("C:\\dl\\pack.zip",
                          {{"Pack\\x.dds", "x"}, {"Pack\\Texture.Blue\\..\\y.dds", "y"}, {"Pack\\Texture.Blue\\z", "z"}});
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ImportReport report = import(t, download, row.repaints);
    EXPECT_EQ(ErrorCode::kRefused, report.error.code) << report.error.message;
    EXPECT_EQ(before, tree(t));
  }
}

}  // namespace
}  // namespace pw::test
