// The limits of a real machine rather than injected faults: a disk that
// fills up during an install, and the memory of a machine with many cores.
// Each needs the superuser or Linux features; where the machine does not
// allow it the test is skipped, saying why.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "packages/block_compressor.h"
#include "packages/two_package_install.h"
#include "support/peak_memory.h"

namespace pw::test {
namespace {

namespace stdfs = std::filesystem;

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
