// The limits of a real machine rather than injected faults: a disk that
// fills up during an install, an install killed at random moments, and the
// memory of a machine with many cores.
// Each needs the superuser or Linux features; where the machine does not
// allow it the test is skipped, saying why.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <thread>

#include "packages/block_compressor.h"
#include "packages/two_package_install.h"
#include "support/peak_memory.h"

namespace pw::test {
namespace {

namespace stdfs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A size-limited tmpfs that holds the temporary folders (TempDir, hence
// SimTree) while it lives; ok() is false where mounting is not allowed.
class TmpfsForTempFolders {
 public:
  TmpfsForTempFolders(const stdfs::path& at, std::size_t bytes) : at_(at) {
    stdfs::create_directories(at_);
    ok_ = ::mount("tmpfs", at_.c_str(), "tmpfs", 0, ("size=" + std::to_string(bytes)).c_str()) == 0;
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    ::setenv("TMPDIR", at_.c_str(), 1);
  }
  ~TmpfsForTempFolders() {
    old_ ? ::setenv("TMPDIR", old_->c_str(), 1) : ::unsetenv("TMPDIR");
    if (ok_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  TmpfsForTempFolders(const TmpfsForTempFolders&) = delete;
  TmpfsForTempFolders& operator=(const TmpfsForTempFolders&) = delete;
  bool ok() const { return ok_; }

  // Fills the file system to the last byte, then gives back `free_bytes`
  // (whole pages on tmpfs).
  void fill_leaving(std::uintmax_t free_bytes) const {
    {
      std::ofstream out(at_ / "filler", std::ios::binary);
      const std::string chunk(1 << 16, 'f');
      while (out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()))) {
      }
    }
    // The stream may hold back a partial chunk; what reached the disk counts.
    const std::uintmax_t size = stdfs::file_size(at_ / "filler");
    stdfs::resize_file(at_ / "filler", size > free_bytes ? size - free_bytes : 0);
  }
  void unfill() const { stdfs::remove(at_ / "filler"); }

 private:
  stdfs::path at_;
  bool ok_ = false;
  std::optional<std::string> old_;
};

TEST(RealLimits, InstallOnAFillingDiskFailsWholeAtEveryPoint) {
  TempDir outside;
  const TmpfsForTempFolders disk(outside.native("disk"), 8 << 20);
  if (!disk.ok()) GTEST_SKIP() << "cannot mount a tmpfs here (needs the superuser)";
  const TwoPackageInstall install(96 * 1024);
  int no_space = 0;
  int whole = 0;
  // From no room at all to room for both packages, a few pages at a time.
  for (std::uintmax_t free_pages = 0; free_pages <= 75; free_pages += 3) {
    SCOPED_TRACE("free pages " + std::to_string(free_pages));
    SimTree t;
    install.prepare(t);
    const std::set<std::string> old_folders = texture_folders(t.dir.native(kPlane));
    disk.fill_leaving(free_pages * 4096);
    TestButton b("frm_Install", "install");
    const std::vector<PackageResult> results = run_install_command(t.ctx, b);
    disk.unfill();
    const int installed = install.check(t, results, old_folders);
    ASSERT_GE(installed, 0);
    for (const PackageResult& r : results) no_space += r.report.error.code == ErrorCode::kNoSpace ? 1 : 0;
    whole += installed == 2 ? 1 : 0;
    if (HasFailure()) return;
  }
  EXPECT_GT(no_space, 0) << "the disk never ran out of space";
  EXPECT_GT(whole, 0) << "the install never had room to complete";
}

// Runs an install of package 0 in a child process, which ends with 0 when
// it installed the package; gives back its status once killed or ended.
pid_t start_install(SimTree& t) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(t.install(0).outcome == InstallOutcome::kInstalled ? 0 : 1);
  return pid;
}
int wait_for(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

// Every texture folder but the tree's own holds the whole package; the
// ones Aircraft.cfg names exist (but Green, which the tree leaves without).
void expect_no_half_folder(SimTree& t, const std::vector<NamedBytes>& files) {
  std::set<std::string> on_disk;
  for (const std::string& folder : texture_folders(t.dir.native(kPlane))) {
    on_disk.insert(to_lower(folder));
    if (folder == "Texture.Red" || folder == "Texture.Silver") continue;
    EXPECT_EQ(as_files(files), folder_files(t.dir.native(t.plane(folder)))) << folder;
  }
  for (const std::string& named : named_texture_folders(t.cfg())) {
    EXPECT_TRUE(named == "texture.green" || on_disk.count(named) == 1) << named;
  }
}

TEST(RealLimits, AKilledInstallLeavesTheOldOrNewFileAndTheNextInstallRecovers) {
  // Many files, each synced on its own, so that an install takes a while.
  std::vector<NamedBytes> files;
  for (int i = 0; i < 12; ++i) {
    files.push_back({"part" + std::to_string(i) + ".dds",
                     pw::testing::random_bytes(256 * 1024, static_cast<std::uint32_t>(i + 7)) +
                         std::string(256 * 1024, 'z')});
  }
  const std::string package = package_bytes(blue_entry(), std::nullopt, files);
  const auto prepare = [&](SimTree& t) {
    t.dir.write(t.plane("Downloads/big.pkg"), package);
    ASSERT_TRUE(ListPackages(t.ctx, ""));
  };
  // How long an undisturbed install takes, and what it leaves.
  SimTree reference;
  prepare(reference);
  const Clock::time_point start = Clock::now();
  ASSERT_EQ(0, wait_for(start_install(reference)));
  const auto duration = Clock::now() - start;
  const std::string installed_cfg = reference.cfg();
  ASSERT_NE(kOriginalCfg, installed_cfg);

  std::mt19937 random(20240607);
  int interrupted = 0;
  constexpr int kRuns = 10;
  for (int run = 0; run < kRuns; ++run) {
    // Spread over the whole install and a little beyond it.
    const double share = (run + std::uniform_real_distribution<double>(0.0, 1.0)(random)) / kRuns * 1.2;
    SCOPED_TRACE("killed after " + std::to_string(share) + " of an install");
    SimTree t;
    prepare(t);
    const pid_t pid = start_install(t);
    std::this_thread::sleep_for(std::chrono::duration_cast<Clock::duration>(duration * share));
    ::kill(pid, SIGKILL);
    wait_for(pid);
    const std::string cfg = t.cfg();
    ASSERT_TRUE(cfg == kOriginalCfg || cfg == installed_cfg) << cfg;
    interrupted += cfg == kOriginalCfg ? 1 : 0;
    expect_no_half_folder(t, files);

    // The next install, as after a restart, clears what the killed one
    // left half done and installs in full.
    t.reload_entries();
    const InstallReport report = t.install(0);
    EXPECT_EQ(InstallOutcome::kInstalled, report.outcome) << report.error.message;
    EXPECT_EQ(std::vector<std::string>{}, stray_names(t.dir.native(kPlane)));
    expect_no_half_folder(t, files);
    EXPECT_EQ(cfg == kOriginalCfg ? 4u : 5u, read_aircraft_entries(ProfileDocument::parse(t.cfg())).entries.size());
    if (HasFailure()) return;
  }
  EXPECT_GT(interrupted, 0) << "no kill landed before the install completed";
}

// Discards what it is given: only the compressor's own memory counts.
class DiscardingFile : public OutputFile {
 public:
  Result<void> write(std::string_view) override { return {}; }
  Result<void> sync() override { return {}; }
  Result<void> close() override { return {}; }
};

// Asked for a thread per core of a 64-core machine, the compressor still
// keeps a few MiB: memory does not grow with the machine.
TEST(RealLimits, CompressorMemoryIsBoundedWhateverTheCoreCount) {
  const std::string data = pw::testing::random_bytes(16 << 20, 41);
  PeakMemory memory;
  if (!memory.reset()) GTEST_SKIP() << "this system gives no peak memory figure";
  {
    DiscardingFile out;
    BlockCompressor block(out, 64);
    for (std::size_t at = 0; at < data.size(); at += kBlockChunkSize) {
      ASSERT_TRUE(block.write(std::string_view(data).substr(at, kBlockChunkSize)));
    }
    ASSERT_TRUE(block.finish());
  }
  EXPECT_LT(memory.growth_kb().value_or(0), 8 * 1024);
}

}  // namespace
}  // namespace pw::test
