// Restore points and undo on a small aircraft folder, the operations made
// through the restore point calls as install, removal and repair make them.
#include "packages/undo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/aircraft_session.h"
#include "app/history_commands.h"
#include "packages/restore_points.h"
#include "packages/sim_tree.h"
#include "support/faulty_file_system.h"
#include "support/temp_dir.h"

namespace pw::test {
namespace {

const std::string kCfg = "[fltsim.0]\r\ntitle=A\r\ntexture=A\r\n\r\n[fltsim.1]\r\ntitle=B\r\ntexture=B\r\n";

// Every file and folder of the aircraft but the history, the log and the
// backups: what an undo must give back byte for byte.
std::map<std::string, std::string> tree(const TempDir& dir) {
  std::map<std::string, std::string> files;
  const std::filesystem::path root = dir.native("plane");
  for (auto it = std::filesystem::recursive_directory_iterator(root); it != std::filesystem::end(it); ++it) {
    const std::string name = std::filesystem::relative(it->path(), root).generic_string();
    if (name.starts_with("Paintwell.")) {
      it.disable_recursion_pending();
      continue;
    }
    files[name] = it->is_directory() ? "<folder>" : dir.read("plane/" + name);
  }
  return files;
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
    Result<RestorePoint> point = begin_restore_point(fs, folder(), operation, dir.read("plane/aircraft.cfg"));
    ASSERT_TRUE(point.ok()) << point.error().message;
    ASSERT_TRUE(move_folders_into_restore_point(fs, *point, folder(), removed).ok());
    for (const std::string& name : created) {
      dir.write("plane/" + name + "/new.dds", name);
      point->manifest.folders_created.push_back(name);
    }
    ASSERT_TRUE(replace_cfg_with_restore_point(fs, *point, folder(), new_cfg).ok());
  }

  TempDir dir;
  FileSystem& fs = native_file_system();
};

struct Operation {
  const char* name;
  std::vector<std::string> removed, created;
  std::string new_cfg;
};

const Operation kOperations[] = {
    {"remove", {"Texture.A", "Texture.B"}, {}, "[Views]\r\n"},
    {"install", {}, {"Texture.C"}, kCfg + "\r\n[fltsim.2]\r\ntitle=C\r\ntexture=C\r\n\r\n"},
    {"repair", {}, {}, "[fltsim.0]\r\ntitle=B\r\ntexture=B\r\n"},
    {"replace", {"Texture.B"}, {"Texture.C"}, "[fltsim.0]\r\ntitle=C\r\ntexture=C\r\n"},
};

TEST(Undo, EachOperationComesBackByteForByte) {
  const auto original = tree(Plane().dir);
  for (const Operation& op : kOperations) {
    SCOPED_TRACE(op.name);
    Plane p;
    p.operate(op.name, op.removed, op.created, op.new_cfg);
    ASSERT_NE(original, tree(p.dir));
    Result<UndoReport> undone = undo_latest(p.fs, p.folder());
    ASSERT_TRUE(undone.ok()) << undone.error().message;
    EXPECT_EQ(op.name, undone->point.manifest.operation);
    EXPECT_EQ(original, tree(p.dir));
  }
}

TEST(Undo, RefusesAndChangesNothingWhenItWouldLoseSomething) {
  const struct {
    const char* name;
    void (*after)(Plane&);
    ErrorCode code;
    const char* says;
  } cases[] = {
      {"aircraft.cfg edited since", [](Plane& p) { p.dir.write("plane/aircraft.cfg", "[fltsim.0]\r\ntitle=mine\r\n"); },
       ErrorCode::kRefused, "aircraft.cfg was changed after the remove"},
      {"a folder to put back exists again", [](Plane& p) { p.dir.write("plane/texture.a/x.dds", "x"); },
       ErrorCode::kExists, "Texture.A to put back exists again"},
      {"the point's copy of aircraft.cfg is damaged",
       [](Plane& p) {
         for (const auto& e : std::filesystem::directory_iterator(p.dir.native("plane/Paintwell.history"))) {
           std::filesystem::resize_file(e.path() / "aircraft.cfg", 3);
         }
       },
       ErrorCode::kDamaged, "copy of aircraft.cfg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Plane p;
    p.operate("remove", {"Texture.A"}, {"Texture.C"}, "[fltsim.0]\r\ntitle=B\r\n");
    c.after(p);
    const auto before = tree(p.dir);
    Result<UndoReport> undone = undo_with_log(p.fs, p.folder());
    ASSERT_FALSE(undone.ok());
    EXPECT_EQ(c.code, undone.error().code);
    EXPECT_TRUE(undone.error().message.starts_with("nothing was undone: ")) << undone.error().message;
    EXPECT_NE(std::string::npos, undone.error().message.find(c.says)) << undone.error().message;
    EXPECT_EQ(before, tree(p.dir));
    EXPECT_NE(std::string::npos, p.dir.read("plane/Paintwell.log").find("result: nothing was undone"));
  }
}

TEST(Undo, EveryFailingCallLeavesTheTreeBeforeOrAfterAndSaysWhich) {
  Plane reference;
  const auto original = tree(reference.dir);
  int faults = 0;
  for (int k = 1;; ++k) {
    SCOPED_TRACE("failing call " + std::to_string(k));
    ASSERT_LT(k, 200) << "the undo never completed";
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
      ++faults;
      continue;
    }
    EXPECT_EQ(original, tree(p.dir));
    if (!undone->history_note.empty()) {
      // Undone but not marked: a second undo only marks it.
      EXPECT_TRUE(undo_latest(p.fs, p.folder()).ok());
      EXPECT_EQ(original, tree(p.dir));
      continue;
    }
    if (faulty.failed_call().empty()) break;
  }
  EXPECT_GE(faults, 5);  // reads, the created folder, three moves, the replace
}

TEST(RestorePoints, PruningKeepsTheNewestWithinTheLimitsAndLogsIt) {
  const struct {
    const char* name;
    const char* ini;
    std::size_t kept;
  } cases[] = {
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

TEST(RestorePoints, TheCommandsKeepTwentyAndLogWhatTheyDelete) {
  SimTree t;
  t.dir.write(t.plane("Downloads/1.pkg"), package_bytes(blue_entry(), std::nullopt, blue_files()));
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
  RestoreManifest m{"install", "2026-12-07 14:00:00 UTC", "3:00", "5:ff", true, {"C:\\a=b.pkg"},
                    {"[fltsim.2] C"}, {}, {"Texture.C"}, {"Texture.A"}};
  EXPECT_EQ(m, parse_manifest(format_manifest(m)).value());
  for (const char* bad : {"operation=remove\r\nfolder_removed=..\r\n", "operation=remove\r\nfolder_created=a\\b",
                          "undone=yes\r\n"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(ErrorCode::kDamaged, parse_manifest(bad).error().code);
  }
}

}  // namespace
}  // namespace pw::test
