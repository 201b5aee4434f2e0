// Create, install and remove on packages bigger than one chunk: the bytes
// stream through the file layer, damage found half-way still leaves
// nothing behind, and progress is reported as the work goes.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "packages/block_compressor.h"
#include "packages/package_creation.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"
#include "tests/packages/mixed_data.h"
#include "tests/packages/sim_tree.h"

namespace pw::test {
namespace {

using pw::testing::mixed_bytes;
using pw::testing::random_bytes;

constexpr const char* kTahitiPkg = "Air_Tahiti_2007_Repaint.pkg";

struct ProgressLog {
  std::vector<std::pair<std::int64_t, std::int64_t>> calls;

  ProgressFn recorder() {
    return [this](std::int64_t done, std::int64_t total) { calls.emplace_back(done, total); };
  }
  // Starts at 0, never goes back, keeps its total and reaches it.
  void expect_complete_run(std::int64_t total) const {
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(0, calls.front().first);
    for (std::size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(total, calls[i].second) << "call " << i;
      if (i > 0) {
        EXPECT_LE(calls[i - 1].first, calls[i].first) << "call " << i;
      }
    }
    EXPECT_EQ(total, calls.back().first);
  }
};

std::vector<NamedBytes> big_files() {
  return {{"a.dds", mixed_bytes(600 * 1024, 31)}, {"b.bmp", "B"}, {"c.dds", random_bytes(300 * 1024, 33)}};
}

std::int64_t total_of(const std::vector<NamedBytes>& files) {
  std::int64_t total = 0;
  for (const NamedBytes& f : files) total += static_cast<std::int64_t>(f.bytes.size());
  return total;
}

class StreamingInstall : public ::testing::Test {
 protected:
  void put_package(const std::string& bytes) {
    t.dir.write(t.plane("Downloads/blue.pkg"), bytes);
    t.ctx.state.g_PackagePaths = {t.core_plane("Downloads\\blue.pkg")};
    t.ctx.state.g_PackageEntries = {blue_entry()};
    t.ctx.state.g_PackageLast = 0;
  }

  SimTree t;
  const std::vector<std::string> before_ = t.names_in(t.plane(""));
};

TEST_F(StreamingInstall, WritesEveryByteAndReportsBytesWritten) {
  const std::vector<NamedBytes> files = big_files();
  put_package(package_bytes(blue_entry(), std::nullopt, files));
  ProgressLog progress;
  t.ctx.progress = progress.recorder();
  const InstallReport report = install_package(t.ctx, 0);
  ASSERT_EQ(InstallOutcome::kInstalled, report.outcome) << report.error.message;
  for (const NamedBytes& f : files) EXPECT_EQ(f.bytes, t.dir.read(t.plane("Texture.Blue/") + f.name)) << f.name;
  progress.expect_complete_run(total_of(files));
  EXPECT_GT(progress.calls.size(), 3u);  // reported on the way, not only at the end
}

TEST_F(StreamingInstall, DamageFoundHalfWayLeavesNothingBehind) {
  const std::vector<NamedBytes> files = big_files();
  const std::string good = package_bytes(blue_entry(), std::nullopt, files);
  const std::size_t block_at = 4917 + 2 + 3 * 104;
  std::string corrupt = good;
  corrupt[good.size() - 2000] = static_cast<char>(corrupt[good.size() - 2000] ^ 0x33);
  std::string shorter_claim = good;  // the stream then runs past the table
  store_le32(&shorter_claim[4919 + 2 * 104], 300 * 1024 - 1);
  std::string longer_claim = good;  // the stream then ends early
  store_le32(&longer_claim[4919 + 2 * 104], 300 * 1024 + 1);
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"cut in the last file", good.substr(0, good.size() - 1000)},
      {"cut in the middle", good.substr(0, block_at + (good.size() - block_at) / 2)},
      {"corrupt near the end", corrupt},
      {"runs past the table", shorter_claim},
      {"ends before the table", longer_claim},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    put_package(c.bytes);
    ProgressLog progress;
    t.ctx.progress = progress.recorder();
    const InstallReport report = install_package(t.ctx, 0);
    EXPECT_EQ(InstallOutcome::kFailed, report.outcome);
    EXPECT_EQ(ErrorCode::kDamaged, report.error.code) << report.error.message;
    ASSERT_FALSE(progress.calls.empty());
    EXPECT_GT(progress.calls.back().first, 0);  // files were being written when it was found
    EXPECT_EQ(kOriginalCfg, t.cfg());
    EXPECT_EQ(before_, t.names_in(t.plane("")));
    EXPECT_EQ(2, t.ctx.state.g_FirstFreeFltsim);
  }
  t.ctx.progress = nullptr;  // its log is gone
  put_package(good + "bytes after the stream");
  EXPECT_EQ("Blue Sky", InstallPackage(t.ctx, 0));
}

// The package screen showing entry 1 (texture Silver), every file ticked.
void choose_silver(SimTree& t) {
  FillPackageAircraftList(t.ctx);
  t.view.lists["frm_Package.lstAircraft"].current = 1;
  PackageAircraftClicked(t.ctx);
}

TEST(StreamingCreate, ReportsBytesReadAndWritesABlockPlainUncompressReads) {
  SimTree t;
  const std::string big = mixed_bytes(3 * kBlockChunkSize + 77, 35);
  t.dir.write(t.plane("Texture.Silver/big.dds"), big);
  choose_silver(t);
  ProgressLog progress;
  t.ctx.progress = progress.recorder();
  ASSERT_EQ(kTahitiPkg, CreatePackage(t.ctx, 1));

  const std::string pkg = t.dir.read(t.plane("Uploads/") + kTahitiPkg);
  auto file = native_file_system().open_read(t.core_plane("Uploads\\") + kTahitiPkg);
  ASSERT_TRUE(file.ok());
  const auto layout = read_package_layout(**file);
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  std::string expected;
  for (const PackageFile& f : layout->files) expected += t.dir.read(t.plane("Texture.Silver/") + f.name);
  EXPECT_EQ(6u, layout->files.size());
  EXPECT_EQ(static_cast<std::int64_t>(expected.size()), layout->total_size);
  progress.expect_complete_run(layout->total_size);

  const std::string block = pkg.substr(static_cast<std::size_t>(layout->block_offset));
  std::string out(expected.size(), '\0');
  uLongf length = static_cast<uLongf>(out.size());
  ASSERT_EQ(Z_OK, uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                             reinterpret_cast<const Bytef*>(block.data()), static_cast<uLong>(block.size())));
  EXPECT_EQ(expected.size(), length);
  EXPECT_EQ(expected, out);
}

TEST(StreamingCreate, AFileThatChangesSizeWhileReadFailsTheCreation) {
  const struct {
    const char* name;
    std::function<void(const std::filesystem::path&)> change;
  } cases[] = {
      {"grows", [](const std::filesystem::path& p) { std::ofstream(p, std::ios::app) << "more"; }},
      {"shrinks", [](const std::filesystem::path& p) { std::filesystem::resize_file(p, 1000); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    t.dir.write(t.plane("Texture.Silver/big.dds"), random_bytes(3 * kBlockChunkSize, 37));
    t.dir.write(t.plane("Uploads/") + kTahitiPkg, "older package");
    choose_silver(t);
    bool changed = false;
    // Files go in list order (A.bmp, b.dds, big.dds, ...): one chunk into
    // big.dds the file changes.
    t.ctx.progress = [&](std::int64_t done, std::int64_t) {
      if (changed || done < static_cast<std::int64_t>(kBlockChunkSize)) return;
      c.change(t.dir.native(t.plane("Texture.Silver/big.dds")));
      changed = true;
    };
    EXPECT_EQ("", CreatePackage(t.ctx, 1));
    EXPECT_TRUE(changed);
    EXPECT_EQ(std::vector<std::string>{kTahitiPkg}, t.names_in(t.plane("Uploads")));
    EXPECT_EQ("older package", t.dir.read(t.plane("Uploads/") + kTahitiPkg));
  }
}

TEST(StreamingRemove, ReportsOneStepForTheFileAndOnePerFolder) {
  SimTree t;
  t.ctx.state.g_RemoveSelection = {true, true, false};
  ProgressLog progress;
  t.ctx.progress = progress.recorder();
  ASSERT_EQ(kRemoveDone, RemoveRepaints(t.ctx));
  progress.expect_complete_run(4);  // backups, Aircraft.cfg, Texture.Red, Texture.Silver
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Red")));
}

// paintwell-cli draws its progress line only when asked (main asks when
// standard error is a terminal) and clears it at the end.
TEST(CommandLineProgress, DrawsAndClearsTheLineOnlyWhenAsked) {
  for (const bool asked : {true, false}) {
    SCOPED_TRACE(asked);
    SimTree t;
    t.dir.write(t.plane("Texture.Silver/big.dds"), random_bytes(3 * kBlockChunkSize, 39));
    t.dir.write("c172.rcf", "folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna 172\r\n");
    std::ostringstream out, err;
    CommandLineEnvironment env{native_file_system(), t.ctx.state.program_folder, t.dir.path(), out, err};
    std::vector<std::string> args = {"pack", "c172.rcf", "1"};
    if (asked) args.insert(args.begin(), "--progress");
    ASSERT_EQ(kExitOk, run_command_line(args, env)) << err.str();
    const std::string line = err.str();
    if (!asked) {
      EXPECT_EQ(std::string::npos, line.find('\r'));
      continue;
    }
    EXPECT_EQ(0u, line.find("\rPacking 0%"));
    EXPECT_NE(std::string::npos, line.find("\rPacking 100%"));
    EXPECT_LT(3, std::count(line.begin(), line.end(), '%'));  // drawn as the bytes were read
    // Cleared before the success message is printed.
    EXPECT_EQ("\r" + std::string(12, ' ') + "\rA repaint package file named", line.substr(line.rfind("100%") + 4, 42));
  }
}

}  // namespace
}  // namespace pw::test
