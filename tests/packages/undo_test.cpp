// Restore points and undo on a small aircraft folder, the operations made
// through the restore point calls as install, removal and repair make them.
#include "packages/undo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>

#include "app/aircraft_session.h"
#include "app/commands.h"
#include "app/history_commands.h"
#include "packages/restore_points.h"
#include "packages/sim_tree.h"
#include "packages/tree_checks.h"
#include "support/faulty_file_system.h"
#include "support/immutable_flag.h"
#include "support/temp_dir.h"

namespace pw::test {
namespace {

const std::string kCfg = "[fltsim.0]\r\ntitle=A\r\ntexture=A\r\n\r\n[fltsim.1]\r\ntitle=B\r\ntexture=B\r\n";

// Every file and folder of the aircraft but the history, the log and the
// backups: what an undo must give back byte for byte.
std::map<std::string, std::string> tree(const TempDir& dir) {
  return files_under(dir.native("plane"), [](const std::string& name) { return name.starts_with("Paintwell."); });
}

struct Plane {
  Plane() {
    dir.write("plane/aircraft.cfg", kCfg);
    dir.write("plane/Texture.A/a.dds", "aaa");
    dir.write("plane/Texture.A/docs/readme.txt", "a subfolder a recursive delete would have to empty");
    dir.write("plane/Texture.B/b.dds", "bbb");
  }
  std::string folder() const { return dir.path() + "\\plane"; }

  // One operation: folders moved into its point, folders created, then
  // aircraft.cfg replaced after the point is sealed.
  void operate(const std::string& operation, const std::vector<std::string>& removed,
               const std::vector<std::string>& created, const std::string& new_cfg) {
    RestoreManifest intent;
    intent.operation = operation;
    intent.folders_removed = removed;
    intent.folders_created = created;
    Result<RestorePoint> point = begin_restore_point(fs, folder(), intent, dir.read("plane/aircraft.cfg"), new_cfg);
    ASSERT_TRUE(point.ok()) << point.error().message;
    ASSERT_TRUE(move_folders_into_restore_point(fs, *point, folder()).ok());
    for (const std::string& name : created) dir.write("plane/" + name + "/new.dds", name);
    ASSERT_TRUE(replace_cfg_with_restore_point(fs, *point, folder(), new_cfg).ok());
  }

  TempDir dir;
  FileSystem& fs = native_file_system();
};

void edit(const std::filesystem::path& file, const std::string& from, const std::string& to) {
  std::ifstream in(file, std::ios::binary);
  std::string text{std::istreambuf_iterator<char>(in), {}};
  text.replace(text.find(from), from.size(), to);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

// Wine makes no links ("Function not implemented"): the rows that plant
// one are left out there.
bool makes_folder_links() {
  TempDir probe;
  std::error_code error;
  std::filesystem::create_directory_symlink(probe.native(""), probe.native("link"), error);
  return !error;
}

// What undo refuses with its reason, touching nothing in the aircraft or
// outside it: a change made since, and points a tampered history or a
// second operation could leave.
TEST(Undo, RefusesAndChangesNothingWhenItWouldLoseSomethingOrCannotTrustThePoint) {
  namespace fs = std::filesystem;
  // install: else a removal of Texture.A that created Texture.C.
  const struct {
    const char* name;
    bool install;
    void (*tamper)(Plane&, const fs::path& point);
    const char* says;
    std::optional<ErrorCode> code = {};
  } cases[] = {
      {"aircraft.cfg edited since", false,
       [](Plane& p, const fs::path&) { p.dir.write("plane/aircraft.cfg", "[fltsim.0]\r\ntitle=mine\r\n"); },
       "aircraft.cfg was changed after the remove", ErrorCode::kRefused},
      {"a folder to put back exists again", false,
       [](Plane& p, const fs::path&) { p.dir.write("plane/texture.a/x.dds", "x"); },
       "Texture.A to put back exists again", ErrorCode::kExists},
      {"the point's copy of aircraft.cfg is damaged", false,
       [](Plane&, const fs::path& point) { fs::resize_file(point / "aircraft.cfg", 3); }, "copy of aircraft.cfg",
       ErrorCode::kDamaged},
      {"the factory livery named as created", true,
       [](Plane&, const fs::path& point) {
         edit(point / "manifest.txt", "folder_created=Texture.C", "folder_created=Texture.A");
       },
       "cannot have created Texture.A"},
      {"Downloads named as created", true,
       [](Plane&, const fs::path& point) {
         edit(point / "manifest.txt", "folder_created=Texture.C", "folder_created=Downloads");
       },
       "cannot have created Downloads"},
      {"a moved folder deleted from the point", false,
       [](Plane&, const fs::path& point) { fs::remove_all(point / "folders" / "Texture.A"); },
       "Texture.A is missing from the restore point"},
      {"the point's folders a link outside", false,
       [](Plane& p, const fs::path& point) {
         fs::rename(point / "folders", p.dir.native("outside/folders"));
         fs::create_directory_symlink(p.dir.native("outside/folders"), point / "folders");
       },
       "is a link"},
      {"the point a link outside", false,
       [](Plane& p, const fs::path& point) {
         fs::rename(point, p.dir.native("outside/point"));
         fs::create_directory_symlink(p.dir.native("outside/point"), point);
       },
       "is a link"},
      {"created a link outside", true,
       [](Plane& p, const fs::path& point) { fs::create_directory_symlink(p.dir.native("outside"), point / "created"); },
       "is a link"},
      {"a manifest over 16 MB", false,
       [](Plane&, const fs::path& point) {
         std::ofstream(point / "manifest.txt", std::ios::binary | std::ios::app) << std::string(16 << 20, 'x');
       },
       "larger than the limit of 16 MB"},
      {"a newer operation since the question", false,
       [](Plane& p, const fs::path&) { p.operate("remove", {"Texture.B"}, {}, "[Views]\r\n"); },
       "the latest operation is now the remove"},
  };
  const bool links = makes_folder_links();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (!links && std::string_view(c.says) == "is a link") continue;
    Plane p;
    p.dir.write("outside/keep.txt", "keep");
    if (c.install) {
      p.operate("install", {}, {"Texture.C"}, kCfg + "\r\n[fltsim.2]\r\ntitle=C\r\ntexture=C\r\n");
    } else {
      p.operate("remove", {"Texture.A"}, {"Texture.C"}, "[fltsim.0]\r\ntitle=B\r\ntexture=B\r\n");
    }
    const std::string name = p.dir.names("plane/Paintwell.history").back();
    c.tamper(p, p.dir.native("plane/Paintwell.history/" + name));
    const auto before = tree(p.dir);
    const auto outside = all_names_under(p.dir.native("outside"));
    Result<UndoReport> undone = undo_with_log(p.fs, p.folder(), name);
    ASSERT_FALSE(undone.ok());
    EXPECT_EQ(c.code.value_or(undone.error().code), undone.error().code);
    EXPECT_TRUE(undone.error().message.starts_with("nothing was undone: ")) << undone.error().message;
    EXPECT_NE(std::string::npos, undone.error().message.find(c.says)) << undone.error().message;
    EXPECT_EQ(before, tree(p.dir));
    EXPECT_EQ(outside, all_names_under(p.dir.native("outside")));
    EXPECT_NE(std::string::npos, p.dir.read("plane/Paintwell.log").find("result: nothing was undone"));
  }
}

// Interrupted points the recovery must not act on: it says why and
// changes nothing.
TEST(Recovery, LeavesWhatItCannotTakeBackAndSaysWhy) {
  namespace fs = std::filesystem;
  const struct { const char* name; void (*make)(const fs::path& point); const char* says; } cases[] = {
      {"no manifest, a moved folder held", [](const fs::path& point) { fs::remove(point / "manifest.txt"); },
       "holds folders but says nothing of them"},
      {"begun, the factory livery named as created",
       [](const fs::path& point) { edit(point / "manifest.txt", "state=done", "state=begun\r\nfolder_created=Texture.B"); },
       "cannot have created Texture.B"},
      {"begun, its copy of aircraft.cfg damaged",
       [](const fs::path& point) {
         edit(point / "manifest.txt", "state=done", "state=begun");
         fs::resize_file(point / "aircraft.cfg", 3);
       },
       "copy of aircraft.cfg is missing or damaged"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Plane p;
    p.operate("remove", {"Texture.A"}, {}, "[fltsim.0]\r\ntitle=B\r\ntexture=B\r\n");
    c.make(p.dir.native("plane/Paintwell.history/" + p.dir.names("plane/Paintwell.history").back()));
    const auto before = tree(p.dir);
    const auto history = all_names_under(p.dir.native("plane/Paintwell.history"));
    Result<std::vector<std::string>> recovered = recover_interrupted_operation(p.fs, p.folder());
    const std::string said = recovered ? recovered->at(0) : recovered.error().message;
    EXPECT_NE(std::string::npos, said.find(c.says)) << said;
    EXPECT_EQ(before, tree(p.dir));
    EXPECT_EQ(history, all_names_under(p.dir.native("plane/Paintwell.history")));
  }
}

TEST(Undo, EveryFailingCallLeavesTheTreeBeforeOrAfterAndSaysWhich) {
  Plane reference;
  const auto original = tree(reference.dir);
  int refused = 0;
  each_failing_call(200, [&](int k) {
    Plane p;
    p.operate("replace", {"Texture.A", "Texture.B"}, {"Texture.C"}, "[fltsim.0]\r\ntitle=C\r\ntexture=C\r\n");
    const auto operated = tree(p.dir);
    FaultyFileSystem faulty(p.fs);
    faulty.fail_at(k);
    Result<UndoReport> undone = undo_latest(faulty, p.folder());
    SCOPED_TRACE("failed call: " + faulty.failed_call());
    if (!undone) {
      EXPECT_TRUE(undone.error().message.starts_with("nothing was undone: ")) << undone.error().message;
      EXPECT_EQ(operated, tree(p.dir));
      return ++refused > 0;
    }
    EXPECT_EQ(original, tree(p.dir));
    if (!undone->history_note.empty()) {
      // Undone but not marked: the recovery of the next change only marks it.
      EXPECT_TRUE(recover_interrupted_operation(p.fs, p.folder()).ok());
      EXPECT_EQ(original, tree(p.dir));
    }
    return !faulty.failed_call().empty();
  });
  EXPECT_GE(refused, 5);  // reads, the created folder, three moves, the replace
}

TEST(RestorePoints, PruningKeepsTheNewestWithinTheLimitsAndLogsIt) {
  const struct { const char* name; const char* ini; std::size_t kept; } cases[] = {
      {"two points", "[history]\r\nkeep_points=2\r\n", 2},
      {"3 MiB of moved folders", "[History]\r\nkeep_megabytes = 3\r\n", 2},
      {"the newest stays even when over", "[history]\r\nkeep_megabytes=1\r\n", 1},
      {"a value that is no number keeps the default", "[history]\r\nkeep_points=-3\r\n", 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Plane p;
    if (c.ini) p.dir.write("program/Paintwell.ini", c.ini);
    const std::string big(1200 * 1024, 'x');
    for (int i = 0; i < 4; ++i) {
      p.dir.write("plane/Texture.T" + std::to_string(i) + "/t.dds", big);
      p.operate("remove", {"Texture.T" + std::to_string(i)}, {}, kCfg + std::to_string(i));
    }
    const auto names = p.dir.names("plane/Paintwell.history");
    prune_with_log(p.fs, p.folder(), p.dir.path() + "\\program");
    EXPECT_EQ(std::vector<std::string>(names.end() - static_cast<long>(c.kept), names.end()),
              p.dir.names("plane/Paintwell.history"));
    EXPECT_EQ(c.kept < names.size(), p.dir.read("plane/Paintwell.log").find("prune history") != std::string::npos);
  }
}

TEST(RestorePoints, PruningNamesAPointItCouldNotDelete) {
  Plane p;
  p.dir.write("program/Paintwell.ini", "[history]\r\nkeep_points=1\r\n");
  p.operate("remove", {"Texture.A"}, {}, "[Views]\r\n");
  p.operate("remove", {"Texture.B"}, {}, "[Views]\r\n\r\n");
  const std::string oldest = p.dir.names("plane/Paintwell.history").front();
  const ImmutableFlag stuck(p.dir.native("plane/Paintwell.history/" + oldest + "/aircraft.cfg"));
  if (!stuck.ok()) GTEST_SKIP() << "this machine cannot mark a file immutable";
  prune_with_log(p.fs, p.folder(), p.dir.path() + "\\program");
  const std::string log = p.dir.read("plane/Paintwell.log");
  EXPECT_NE(std::string::npos, log.find("could not delete restore point " + oldest)) << log;
  EXPECT_EQ(std::string::npos, log.find("    deleted restore point")) << log;
}

TEST(RestorePoints, TheCommandsKeepTwentyAndLogWhatTheyDelete) {
  SimTree t;
  t.dir.write(t.plane("Downloads/1.pkg"), blue_package());
  std::string oldest;
  for (int i = 0; i < 21; ++i) {
    Result<AircraftSession> aircraft = AircraftSession::open(t.ctx);
    ASSERT_TRUE(aircraft.ok());
    ASSERT_EQ(InstallOutcome::kInstalled, aircraft->install(t.ctx.state.g_AircraftFolder + "\\Downloads\\1.pkg", {}).outcome);
    if (i == 0) oldest = t.dir.names(t.plane("Paintwell.history")).at(0);
  }
  EXPECT_EQ(20u, t.dir.names(t.plane("Paintwell.history")).size());
  EXPECT_NE(std::string::npos, t.dir.read(t.plane("Paintwell.log")).find("    deleted restore point " + oldest));
}

TEST(RestorePoints, ManifestReadsBackAndRefusesUnsafeFolderNames) {
  RestoreManifest m{"install",      "2026-12-07 14:00:00 UTC", "3:00", "5:ff", PointState::kUndone, {"C:\\a=b.pkg"},
                    {"b.pkg"},      {"D:\\c.pkg"},          {"[fltsim.2] C"}, {}, {"Texture.C"}, {"Texture.A"}};
  EXPECT_EQ(m, parse_manifest(format_manifest(m)).value());
  for (const char* bad : {"operation=remove\r\nfolder_removed=..\r\n", "operation=remove\r\nfolder_created=a\\b",
                          "undone=yes\r\n", "operation=remove\r\nstate=sealed\r\n", "operation=install\r\npackage_kept=..\\x.pkg"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(ErrorCode::kDamaged, parse_manifest(bad).error().code);
  }
}

// With texture=silver and Texture.Silver on disk, undo brings the folder
// back under its own name; a package of Downloads deleted by the install
// comes back with undo, one from elsewhere does not.
TEST(Undo, GivesBackFoldersUnderTheirOwnNameAndPackagesOfDownloads) {
  const struct { const char* package; bool comes_back; } cases[] = {
      {"Downloads/blue.pkg", true}, {"elsewhere/blue.pkg", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.package);
    SimTree t;
    const std::string bytes = blue_package();
    t.dir.write(t.plane(c.package), bytes);
    t.dir.write(t.plane("Aircraft.cfg"), "[fltsim.0]\r\ntitle=Cessna Silver\r\ntexture=silver\r\n");
    t.reload_entries();
    ASSERT_EQ(RemovalOutcome::kDone, t.remove({true}).outcome);
    t.reload_entries();
    ASSERT_TRUE(ListPackages(t.ctx, c.comes_back ? "" : t.core_plane("elsewhere\\blue.pkg")).ok());
    ASSERT_EQ(InstallOutcome::kInstalled, t.install(0, true).outcome);
    EXPECT_FALSE(t.dir.exists(t.plane(c.package)));
    ASSERT_TRUE(undo_latest(t.ctx.fs, t.core_plane("")).ok());
    EXPECT_EQ(c.comes_back, t.dir.exists(t.plane(c.package)));
    if (c.comes_back) {
      EXPECT_EQ(bytes, t.dir.read(t.plane(c.package)));
    }
    ASSERT_TRUE(undo_latest(t.ctx.fs, t.core_plane("")).ok());
    EXPECT_EQ((std::set<std::string>{"Texture.Red", "Texture.Silver"}), texture_folders(t.dir.native(kPlane)));
  }
}

}  // namespace
}  // namespace pw::test
