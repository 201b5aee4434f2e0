// Links, FIFOs and wildcard names planted where the program walks, reads
// and deletes: nothing outside the tree is touched, nothing hangs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <sstream>

#include "aircraft/texture_check.h"
#include "app/cli/command_line.h"
#include "base/file_ops.h"
#include "packages/file_helpers.h"
#include "packages/restore_points.h"
#include "packages/sim_tree.h"
#include "support/fifo_watchdog.h"

namespace pw {
namespace {

namespace stdfs = std::filesystem;
using test::SimTree;

// Fails listings past a budget: a walk that would never end fails instead.
class ListBudget final : public test::FaultyFileSystem {
 public:
  ListBudget() : FaultyFileSystem(native_file_system()) {}
  Result<std::vector<DirEntry>> list(const std::string& folder) override {
    if (++lists > 200) return make_error(ErrorCode::kIo, "listing budget spent");
    return FaultyFileSystem::list(folder);
  }
  int lists = 0;
};

void link(SimTree& t, const stdfs::path& target, const std::string& rel) {
  stdfs::create_directories(t.dir.native(rel).parent_path());
  stdfs::create_symlink(target, t.dir.native(rel));
}

// Links to a shared livery folder, to the aircraft's own Texture folder and
// to themselves, planted where each walk goes (pruning, sizing, the texture
// check, staging, removing a folder, packing): every walk deletes or skips
// the links, never what they lead to, and ends.
TEST(Links, EveryWalkTakesALinkAsALeaf) {
  SimTree t;
  const std::string older = t.plane("Paintwell.history/20260101-000000.000/folders/");
  const std::string newer_point = "Paintwell.history/20260102-000000.000/folders/";
  const std::string newer = t.plane(newer_point);
  const stdfs::path shared = t.dir.native("shared");
  t.dir.write("shared/livery.bmp", "BMshared");
  t.dir.write(t.plane("Texture/own.bmp"), "BMown");
  t.dir.write(newer + "Texture.Kept/k.bmp", "BM");
  link(t, shared, older + "Texture.Gone");
  link(t, shared, t.plane("Paintwell.history/20251231-000000.000"));
  link(t, t.dir.native(t.plane("Texture")), older + "Texture.Old/abs");
  for (const std::string& loop : {older + "Texture.Loop/", newer + "Texture.Kept/", t.plane("Texture.Red/")}) {
    link(t, ".", loop + "a");
    link(t, ".", loop + "b");
  }
  link(t, shared / "livery.bmp", newer + "Texture.Kept/file");
  link(t, shared, t.plane("~Texture.Blue.pwstage"));
  link(t, shared, t.plane("Texture.Failed/dir"));
  link(t, shared / "livery.bmp", t.plane("Texture.Red/secret.bmp"));
  ListBudget fs;
  const OperationContext op{fs, {}, {}};

  EXPECT_EQ(2, tree_bytes(fs, t.core_plane(newer_point)));  // k.bmp's
  EXPECT_EQ(0, tree_bytes(fs, t.core_plane("~Texture.Blue.pwstage")));
  EXPECT_EQ(2u, prune_history(fs, t.ctx.state.g_AircraftFolder, HistoryLimits{1}).deleted.size());
  const std::string red = t.core_plane("Texture.Red");
  const Result<std::vector<Finding>> found = check_texture_folder(fs, red, red);
  EXPECT_EQ(1u, found ? found->size() : 0u);  // red.bmp's
  EXPECT_TRUE(RemoveFolder(op, t.core_plane("Texture.Failed")).ok());
  t.dir.write("blue.pkg", test::blue_package());
  t.ctx.state.g_PackagePaths = {t.dir.path() + "\\blue.pkg"};
  t.ctx.state.g_PackageEntries = {test::blue_entry()};
  EXPECT_EQ(InstallOutcome::kInstalled, t.install(0).outcome);
  const Result<std::string> made = create_package(op, t.ctx.state, {0, {"red.bmp", "secret.bmp"}, std::nullopt});
  EXPECT_NE(std::string::npos, made ? std::string::npos : made.error().message.find("secret.bmp is a link"));

  EXPECT_LE(fs.lists, 200);
  EXPECT_EQ("BMshared", t.dir.read("shared/livery.bmp"));
  EXPECT_EQ("BMown", t.dir.read(t.plane("Texture/own.bmp")));
  for (const std::string& gone : {older, t.plane("Paintwell.history/20251231-000000.000"),
                                  t.plane("Texture.Failed")}) {
    std::error_code none;
    EXPECT_FALSE(stdfs::exists(stdfs::symlink_status(t.dir.native(gone), none))) << gone;
  }
}

// A FIFO where a file is expected is refused with a message, at once.
TEST(Fifos, StandingInForAFileAreRefusedWithoutWaiting) {
  // fifo: relative to the temporary folder; said: on standard output or error.
  const struct { const char* fifo; std::vector<std::string> args; int status; const char* said; } cases[] = {
      {"sim/FSX.EXE", {"where"}, kExitOk, "simulator: FSX"},
      {"add-ons.cfg", {"--addons-config", "add-ons.cfg", "list", "c172.rcf"}, kExitOk, "Red Livery"},
      {"addons/Float/add-on.xml", {"--addons-config", "float.cfg", "list", "c172.rcf"}, kExitOk, "Red Livery"},
      {"sim/SimObjects/Airplanes/C172/Texture.Red/texture.cfg", {"check", "c172.rcf"}, 1, "texture.cfg cannot be read"},
      {"sim/SimObjects/Airplanes/C172/Texture.Red/x.dds", {"check", "c172.rcf"}, 1, "x.dds cannot be read"},
      {"fifo.pkg", {"install", "c172.rcf", "fifo.pkg"}, 1, "not a file but a FIFO"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fifo);
    SimTree t;
    t.dir.write("c172.rcf", "folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna 172\r\n");
    t.dir.write("float.cfg", "[Package.0]\r\nPATH=" + t.dir.path() + "\\addons\\Float\r\n");
    stdfs::create_directories(t.dir.native(c.fifo).parent_path());
    stdfs::remove(t.dir.native(c.fifo));
    ASSERT_EQ(0, ::mkfifo(t.dir.native(c.fifo).c_str(), 0600));
    std::ostringstream out, err;
    CommandLineEnvironment env{native_file_system(), t.ctx.state.program_folder, t.dir.path(), out, err, ""};
    const auto start = std::chrono::steady_clock::now();
    test::release_fifo_later(t.dir.native(c.fifo).string());
    const int status = run_command_line(c.args, env);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(c.status, status);
    EXPECT_NE(std::string::npos, (out.str() + err.str()).find(c.said)) << out.str() << err.str();
  }
}

// install --delete deletes the one package it was given, whatever
// characters its name holds.
TEST(Wildcards, DeletingAPackageDeletesThatFileOnly) {
  const std::vector<std::string> others = {"Crimson Red.pkg", "CrimsonXAerobatics.pkg", "notes.doc"};
  for (const std::string name : {"Crimson *.pkg", "*", "Crimson?Aerobatics.pkg"}) {
    SCOPED_TRACE(name);
    SimTree t;
    for (const std::string& file : others) t.dir.write("dl/" + file, "");
    t.dir.write("dl/" + name, test::blue_package());
    t.ctx.state.g_PackagePaths = {t.dir.path() + "\\dl\\" + name};
    t.ctx.state.g_PackageEntries = {test::blue_entry()};
    ASSERT_EQ(InstallOutcome::kInstalled, t.install(0, true).outcome);
    EXPECT_EQ(others, t.dir.names("dl"));
  }
}

}  // namespace
}  // namespace pw
