// Links, FIFOs and wildcard names planted where the program walks, reads
// and deletes: nothing outside the tree is touched, nothing hangs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>

#include "aircraft/texture_check.h"
#include "app/cli/command_line.h"
#include "base/file_ops.h"
#include "packages/file_helpers.h"
#include "packages/restore_points.h"
#include "packages/sim_tree.h"

namespace pw {
namespace {

namespace stdfs = std::filesystem;
using test::SimTree;

// Fails every listing past a budget, so a walk that would never end fails
// the test instead of hanging it.
class ListBudget final : public test::FaultyFileSystem {
 public:
  ListBudget() : FaultyFileSystem(native_file_system()) {}
  Result<std::vector<DirEntry>> list(const std::string& folder) override {
    if (++lists > 200) return make_error(ErrorCode::kIo, "listing budget spent");
    return FaultyFileSystem::list(folder);
  }
  int lists = 0;
};

constexpr const char* kOlderPoint = "Paintwell.history/20260101-000000.000/folders/";
constexpr const char* kNewerPoint = "Paintwell.history/20260102-000000.000/folders/";

void link(SimTree& t, const stdfs::path& target, const std::string& rel) {
  stdfs::create_directories(t.dir.native(rel).parent_path());
  stdfs::create_symlink(target, t.dir.native(rel));
}

// A walk meets links to a shared livery folder, to the aircraft's own
// Texture folder and to itself: it deletes or skips the links, never what
// they lead to, and ends.
TEST(Links, EveryWalkTakesALinkAsALeaf) {
  const struct {
    const char* name;
    std::function<void(SimTree&)> plant;
    std::function<std::string(SimTree&, ListBudget&)> act;  // what it said
    const char* said;
    const char* gone;  // relative to the aircraft; "" for nothing
  } cases[] = {
      {"pruned point's folder links to a shared livery",
       [](SimTree& t) { link(t, t.dir.native("shared"), t.plane(kOlderPoint) + "Texture.Gone"); },
       [](SimTree& t, ListBudget& fs) {
         (void)prune_history(fs, t.ctx.state.g_AircraftFolder, HistoryLimits{1});
         return std::string();
       },
       "", "Paintwell.history/20260101-000000.000"},
      {"absolute link inside a pruned repaint",
       [](SimTree& t) { link(t, t.dir.native(t.plane("Texture")), t.plane(kOlderPoint) + "Texture.Old/abs"); },
       [](SimTree& t, ListBudget& fs) {
         (void)prune_history(fs, t.ctx.state.g_AircraftFolder, HistoryLimits{1});
         return std::string();
       },
       "", "Paintwell.history/20260101-000000.000"},
      {"pruned repaint linking to itself twice",
       [](SimTree& t) {
         link(t, ".", t.plane(kOlderPoint) + "Texture.Loop/a");
         link(t, ".", t.plane(kOlderPoint) + "Texture.Loop/b");
       },
       [](SimTree& t, ListBudget& fs) {
         (void)prune_history(fs, t.ctx.state.g_AircraftFolder, HistoryLimits{1});
         return std::string();
       },
       "", "Paintwell.history/20260101-000000.000"},
      {"history sized through links",
       [](SimTree& t) {
         t.dir.write(t.plane(kNewerPoint) + "Texture.Own/own.bmp", "12345");
         link(t, t.dir.native("shared"), t.plane(kNewerPoint) + "Texture.Own/shared");
         link(t, t.dir.native("shared/livery.bmp"), t.plane(kNewerPoint) + "Texture.Own/file");
         link(t, ".", t.plane(kNewerPoint) + "Texture.Own/a");
       },
       [](SimTree& t, ListBudget& fs) {
         return std::to_string(tree_bytes(fs, t.core_plane(kNewerPoint))) + " bytes";
       },
       "7 bytes", ""},  // own.bmp and the kept point's k.bmp
      {"texture check of a folder linking to itself",
       [](SimTree& t) {
         link(t, ".", t.plane("Texture.Red/a"));
         link(t, ".", t.plane("Texture.Red/b"));
       },
       [](SimTree& t, ListBudget& fs) {
         auto found = check_texture_folder(fs, t.core_plane("Texture.Red"), t.core_plane("Texture.Red"));
         return found ? std::to_string(found->size()) + " findings" : found.error().message;
       },
       "1 findings", ""},  // red.bmp's own
      {"stale staging folder that is a link",
       [](SimTree& t) { link(t, t.dir.native("shared"), t.plane("~Texture.Blue.pwstage")); },
       [](SimTree& t, ListBudget&) {
         t.ctx.state.g_PackagePaths = {t.dir.path() + "\\blue.pkg"};
         t.ctx.state.g_PackageEntries = {test::blue_entry()};
         const InstallReport report = t.install(0);
         return report.outcome == InstallOutcome::kInstalled ? "installed" : report.error.message;
       },
       "installed", "~Texture.Blue.pwstage"},
      {"folder removed with links inside",
       [](SimTree& t) {
         link(t, t.dir.native("shared"), t.plane("Texture.Failed/dir"));
         link(t, t.dir.native("shared/livery.bmp"), t.plane("Texture.Failed/file"));
       },
       [](SimTree& t, ListBudget& fs) {
         const Result<void> removed = RemoveFolder(OperationContext{fs, {}, {}}, t.core_plane("Texture.Failed"));
         return removed ? std::string("removed") : removed.error().message;
       },
       "removed", "Texture.Failed"},
      {"packing a folder that holds a link",
       [](SimTree& t) { link(t, t.dir.native("shared/livery.bmp"), t.plane("Texture.Red/secret.bmp")); },
       [](SimTree& t, ListBudget& fs) {
         const PackageRequest request{0, {"red.bmp", "secret.bmp"}, std::nullopt};
         const Result<std::string> made = create_package(OperationContext{fs, {}, {}}, t.ctx.state, request);
         return made ? *made : made.error().message;
       },
       "secret.bmp is a link", "Uploads/Red_Livery_Repaint.pkg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    t.dir.write("blue.pkg", test::package_bytes(test::blue_entry(), std::nullopt, test::blue_files()));
    t.dir.write("shared/livery.bmp", "BMshared");
    t.dir.write(t.plane("Texture/own.bmp"), "BMown");
    t.dir.write(t.plane(kNewerPoint) + "Texture.Kept/k.bmp", "BM");
    c.plant(t);
    ListBudget fs;
    const std::string said = c.act(t, fs);
    EXPECT_NE(std::string::npos, said.find(c.said)) << said;
    EXPECT_LE(fs.lists, 200);
    EXPECT_EQ("BMshared", t.dir.read("shared/livery.bmp"));
    EXPECT_EQ("BMown", t.dir.read(t.plane("Texture/own.bmp")));
    if (*c.gone != '\0') {
      std::error_code none;
      EXPECT_FALSE(stdfs::exists(stdfs::symlink_status(t.dir.native(t.plane(c.gone)), none))) << c.gone;
    }
  }
}

// Opens the other end of a FIFO whenever the program has waited on it for
// a few seconds, so a blocking open fails the test instead of hanging it.
class FifoWatchdog {
 public:
  explicit FifoWatchdog(std::string path)
      : thread_([this, path] {
          std::unique_lock lock(mutex_);
          while (!wake_.wait_for(lock, std::chrono::seconds(3), [this] { return done_; })) {
            fired = true;
            for (const int flags : {O_WRONLY | O_NONBLOCK, O_RDONLY | O_NONBLOCK}) {
              if (const int fd = ::open(path.c_str(), flags); fd >= 0) ::close(fd);
            }
          }
        }) {}
  ~FifoWatchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  bool fired = false;

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;
};

// A FIFO where a file is expected is refused with a message, at once.
TEST(Fifos, StandingInForAFileAreRefusedWithoutWaiting) {
  const struct {
    const char* name;
    const char* fifo;  // relative to the temporary folder
    std::vector<std::string> args;
    int status;
    const char* said;  // on standard output or error
  } cases[] = {
      {"FSX.EXE", "sim/FSX.EXE", {"where"}, kExitOk, "simulator: FSX"},
      {"add-ons.cfg", "add-ons.cfg", {"--addons-config", "add-ons.cfg", "list", "c172.rcf"}, kExitOk, "Red Livery"},
      {"add-on.xml", "addons/Float/add-on.xml", {"--addons-config", "float.cfg", "list", "c172.rcf"}, kExitOk, "Red"},
      {"texture.cfg", "sim/SimObjects/Airplanes/C172/Texture.Red/texture.cfg", {"check", "c172.rcf"}, 1,
       "texture.cfg cannot be read: cannot open"},
      {"a .dds", "sim/SimObjects/Airplanes/C172/Texture.Red/x.dds", {"check", "c172.rcf"}, 1,
       "x.dds cannot be read: cannot open"},
      {"a package", "fifo.pkg", {"install", "c172.rcf", "fifo.pkg"}, 1, "not a file but a FIFO"},
  };
  std::signal(SIGPIPE, SIG_IGN);  // a writer the watchdog lets go of must not end the tests
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    t.dir.write("c172.rcf", "folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna 172\r\n");
    t.dir.write("float.cfg", "[Package.0]\r\nPATH=" + t.dir.path() + "\\addons\\Float\r\n");
    stdfs::create_directories(t.dir.native(c.fifo).parent_path());
    stdfs::remove(t.dir.native(c.fifo));
    ASSERT_EQ(0, ::mkfifo(t.dir.native(c.fifo).c_str(), 0600));
    std::ostringstream out, err;
    CommandLineEnvironment env{native_file_system(), t.ctx.state.program_folder, t.dir.path(), out, err};
    int status = -1;
    bool waited = false;
    {
      FifoWatchdog watchdog(t.dir.native(c.fifo).string());
      status = run_command_line(c.args, env);
      waited = watchdog.fired;
    }
    EXPECT_FALSE(waited);
    EXPECT_EQ(c.status, status) << err.str();
    EXPECT_NE(std::string::npos, (out.str() + err.str()).find(c.said)) << out.str() << err.str();
  }
}

// install --delete deletes the one package it was given, whatever
// characters its name holds.
TEST(Wildcards, DeletingAPackageDeletesThatFileOnly) {
  for (const char* name : {"Crimson *.pkg", "*", "Crimson?Aerobatics.pkg", "*.*"}) {
    SCOPED_TRACE(name);
    SimTree t;
    const std::string package = test::package_bytes(test::blue_entry(), std::nullopt, test::blue_files());
    for (const char* other : {"Crimson Red.pkg", "CrimsonXAerobatics.pkg", "notes.doc", "photo.jpg"}) {
      t.dir.write(std::string("dl/") + other, package);
    }
    t.dir.write(std::string("dl/") + name, package);
    t.ctx.state.g_PackagePaths = {t.dir.path() + "\\dl\\" + name};
    t.ctx.state.g_PackageEntries = {test::blue_entry()};
    ASSERT_EQ(InstallOutcome::kInstalled, t.install(0, true).outcome);
    EXPECT_EQ((std::vector<std::string>{"Crimson Red.pkg", "CrimsonXAerobatics.pkg", "notes.doc", "photo.jpg"}),
              t.dir.names("dl"));
  }
}

}  // namespace
}  // namespace pw
