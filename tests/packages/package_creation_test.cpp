#include "packages/package_creation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <fstream>
#include <sstream>

#include "app/cli/command_line.h"
#include "app/desktop/dispatcher.h"
#include "packages/block_compressor.h"
#include "packages/file_helpers.h"
#include "tests/packages/mixed_data.h"
#include "tests/packages/sim_tree.h"

namespace pw::test {
namespace {

using pw::testing::mixed_bytes;
using pw::testing::random_bytes;

constexpr const char* kTextures = "frm_Package.lstTextures";
constexpr const char* kTahitiPkg = "Air_Tahiti_2007_Repaint.pkg";

struct ReadBack {
  FltsimEntry entry;
  std::optional<std::string> preview;
  std::vector<std::string> names;
  std::vector<std::string> files;
};

// The package in Uploads, read back (that zlib's own uncompress reads the
// block is block_test's).
ReadBack read_back(const SimTree& t) {
  auto file = native_file_system().open_read(t.core_plane("Uploads\\") + kTahitiPkg);
  EXPECT_TRUE(file.ok());
  ReadBack back;
  back.entry = *read_package_entry(**file);
  back.preview = *read_package_preview(**file);
  const PackageLayout layout = *read_package_layout(**file);
  for (const PackageFile& f : layout.files) back.names.push_back(f.name);
  back.files = *expand_package_files(**file, layout);
  return back;
}

// The name of the package made, or the empty text.
std::string created(SimTree& t, int entry) {
  const Result<std::string> made = CreatePackage(t.ctx, entry);
  return made ? *made : std::string();
}

// Uploads holds the older package of the same name, intact, and nothing else.
void expect_older_package_only(const SimTree& t) {
  EXPECT_EQ(std::vector<std::string>{kTahitiPkg}, t.dir.names(t.plane("Uploads")));
  EXPECT_EQ("older package", t.dir.read(t.plane("Uploads/") + kTahitiPkg));
}

TEST(PackageName, FollowsTheNamingRule) {
  const struct {
    const char* variation;
    const char* expected;
  } cases[] = {
      {"Air (Tahiti) [2007]", "Air_Tahiti_2007_Repaint.pkg"},
      {"  Delta: N123 / Blue  ", "Delta_N123__Blue_Repaint.pkg"},
      {"Ski*Jet; Livery=2", "SkiJet_Livery2_Repaint.pkg"},
      {"Why? <Not> |Pipe|", "Why_Not_Pipe_Repaint.pkg"},
      {"a,b\\c'd\"e", "abcde_Repaint.pkg"},
      {"KLM v1.2 \xC9t\xE9", "KLM_v1.2_\xC9t\xE9_Repaint.pkg"},
      {"", "_Repaint.pkg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.variation);
    EXPECT_EQ(c.expected, package_file_name(c.variation));
  }
}

TEST(CreatePackage, ListsEveryEntryAndPacksTheTickedFilesInListOrder) {
  SimTree t;
  t.dir.write(t.plane("Texture.Silver/sub/x.bmp"), "x");  // neither subfolders
  t.dir.write(t.plane("Texture.Silver/.hidden"), "x");    // nor hidden files are listed
  t.show_in_package_screen(1);
  EXPECT_EQ((std::vector<std::string>{"Red Livery", "Air (Tahiti) [2007]", "Green"}),
            t.view.row_texts("frm_Package.lstAircraft"));
  // Sorted without regard to case, all ticked.
  ASSERT_EQ((std::vector<std::string>{"A.bmp", "b.dds", "c.cfg", "d.txt", "E.dds"}), t.view.row_texts(kTextures));
  const ListContent& list = t.view.lists[kTextures];
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    EXPECT_EQ(static_cast<int>(i), list.rows[i].item_data);
    EXPECT_TRUE(list.rows[i].checked);
  }
  EXPECT_EQ(0, list.current);
  t.view.tick(kTextures, {1, 3}, false);

  ASSERT_EQ(kTahitiPkg, created(t, 1));
  EXPECT_EQ(std::vector<std::string>{kTahitiPkg}, t.dir.names(t.plane("Uploads")));
  const ReadBack back = read_back(t);
  EXPECT_EQ("Air (Tahiti) [2007]", back.entry.ui_variation);
  EXPECT_EQ("Silver", back.entry.texture);
  EXPECT_EQ(t.ctx.state.g_RcfText, back.entry.rcf_text);
  EXPECT_EQ(t.ctx.state.g_RcfText, t.ctx.state.g_AircraftEntries[1].rcf_text);
  EXPECT_FALSE(back.preview.has_value());
  EXPECT_EQ((std::vector<std::string>{"A.bmp", "c.cfg", "E.dds"}), back.names);
  EXPECT_EQ((std::vector<std::string>{"bmp-A", "[fltsim]\r\n", std::string(70000, 'E')}), back.files);
}

TEST(CreatePackage, CarriesTheChosenPreviewAndReplacesAnOlderPackageReportingBytesRead) {
  SimTree t;
  const std::string bitmap = "BM" + std::string(500, '\x7f');
  t.dir.write("pictures/preview.bmp", bitmap);
  t.dir.write(t.plane("Texture.Silver/big.dds"), mixed_bytes(3 * kBlockChunkSize + 77, 35));
  t.dir.write(t.plane("Uploads/") + kTahitiPkg, "older package");
  t.ctx.state.g_PreviewChosen = true;
  t.ctx.state.g_PreviewPath = " " + t.dir.path() + "\\pictures\\preview.bmp ";
  t.show_in_package_screen(1);
  ProgressLog progress;
  t.ctx.progress = progress.recorder();
  ASSERT_EQ(kTahitiPkg, created(t, 1));
  EXPECT_EQ(std::vector<std::string>{kTahitiPkg}, t.dir.names(t.plane("Uploads")));
  const ReadBack back = read_back(t);
  EXPECT_EQ(bitmap, back.preview);
  ASSERT_EQ(6u, back.names.size());
  std::int64_t total = 0;
  for (std::size_t i = 0; i < back.names.size(); ++i) {
    EXPECT_EQ(t.dir.read(t.plane("Texture.Silver/") + back.names[i]), back.files[i]) << back.names[i];
    total += static_cast<std::int64_t>(back.files[i].size());
  }
  progress.expect_complete_run(total);
}

// Each failure says why and leaves the older package alone.
TEST(CreatePackage, FailuresLeaveAnOlderPackageAndNothingElse) {
  using Step = std::function<void(SimTree&)>;
  const Step none = [](SimTree&) {};
  const struct {
    const char* name;
    Step before_listing;
    Step after_listing;
    const char* why;  // part of the error's message
    int entry = 1;
  } cases[] = {
      {"zero-byte file", [](SimTree& t) { t.dir.write(t.plane("Texture.Silver/empty.dds"), ""); }, none, "empty.dds"},
      {"nothing ticked", none, [](SimTree& t) { t.view.tick(kTextures, {0, 1, 2, 3, 4}, false); }, "no file"},
      {"file gone since listing", none,
       [](SimTree& t) { std::filesystem::remove(t.dir.native(t.plane("Texture.Silver/d.txt"))); }, "d.txt"},
      {"missing preview",
       [](SimTree& t) {
         t.ctx.state.g_PreviewChosen = true;
         t.ctx.state.g_PreviewPath = t.dir.path() + "\\nothing.bmp";
       },
       none, "nothing.bmp"},
      {"preview over the cap",
       [](SimTree& t) {
         t.dir.write("big.bmp", std::string(kMaxPreviewSize + 1, 'b'));
         t.ctx.state.g_PreviewChosen = true;
         t.ctx.state.g_PreviewPath = t.dir.path() + "\\big.bmp";
       },
       none, "big.bmp"},
      // One file on the simulator's platform: no installer could tell them apart.
      {"names differing only in case", none,
       [](SimTree& t) { t.view.lists[kTextures].rows.push_back({"a.BMP", 5, true, true, ""}); }, "letter case"},
      {"name over 100 bytes",
       [](SimTree& t) { t.dir.write(t.plane("Texture.Silver/") + std::string(101, 'n'), "x"); }, none, "nnnn"},
      {"101 files ticked",
       [](SimTree& t) {
         for (int i = 0; i < 96; ++i) t.dir.write(t.plane("Texture.Silver/f") + std::to_string(i), "x");
       },
       [](SimTree& t) {
         auto& rows = t.view.lists[kTextures].rows;
         ASSERT_EQ(kMaxTextureRows, rows.size());  // the list itself stops at 100
         rows.push_back(rows.front());
       },
       "more than 100"},
      {"no such entry", none, none, "no such entry", 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    t.dir.write(t.plane("Uploads/") + kTahitiPkg, "older package");
    c.before_listing(t);
    t.show_in_package_screen(1);
    c.after_listing(t);
    const Result<std::string> made = CreatePackage(t.ctx, c.entry);
    ASSERT_FALSE(made.ok());
    EXPECT_NE(std::string::npos, made.error().message.find(c.why)) << made.error().message;
    expect_older_package_only(t);
  }
}

TEST(CreatePackage, EveryFailingFileCallLeavesTheOlderPackage) {
  SimTree t;
  t.dir.write(t.plane("Uploads/") + kTahitiPkg, "older package");
  t.show_in_package_screen(1);
  for (int k = 1;; ++k) {
    SCOPED_TRACE(k);
    ASSERT_LT(k, 100);
    t.faulty.fail_at(k);
    const std::string result = created(t, 1);
    if (t.faulty.failed_call().empty()) {
      EXPECT_EQ(kTahitiPkg, result);
      break;
    }
    if (!result.empty()) {
      EXPECT_EQ("sync_folder", t.faulty.failed_call());  // the package is complete by then
      continue;
    }
    expect_older_package_only(t);
  }
  EXPECT_EQ(5u, read_back(t).names.size());
}

TEST(CreatePackage, AFileThatChangesSizeWhileReadFailsTheCreation) {
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
    t.show_in_package_screen(1);
    bool changed = false;
    // Files go in list order (A.bmp, b.dds, big.dds, ...): one chunk into
    // big.dds the file changes.
    t.ctx.progress = [&](std::int64_t done, std::int64_t) {
      if (changed || done < static_cast<std::int64_t>(kBlockChunkSize)) return;
      c.change(t.dir.native(t.plane("Texture.Silver/big.dds")));
      changed = true;
    };
    EXPECT_EQ("", created(t, 1));
    EXPECT_TRUE(changed);
    expect_older_package_only(t);
  }
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
    EXPECT_EQ(line.find('\r'), line.find("\rPacking 0%"));  // after what the texture check found
    EXPECT_NE(std::string::npos, line.find("\rPacking 100%"));
    EXPECT_LT(3, std::count(line.begin(), line.end(), '%'));  // drawn as the bytes were read
    // Cleared before the success message is printed.
    EXPECT_EQ("\r" + std::string(12, ' ') + "\rA repaint package file named", line.substr(line.rfind("100%") + 4, 42));
  }
}

// Nothing to list gives empty, enabled lists.
TEST(PackageScreen, EmptyEnabledListsWhenThereIsNothingToList) {
  for (const char* texture : {"Orange", "", "..\\..\\C172", "(index 9)"}) {
    SCOPED_TRACE(texture);
    SimTree t;
    t.show_in_package_screen(1);  // something to replace
    const bool bad_index = texture[0] == '(';
    if (!bad_index) t.ctx.state.g_AircraftEntries[1].texture = texture;
    ListTextureFiles(t.ctx, bad_index ? 9 : 1);
    const ListContent& list = t.view.lists[kTextures];
    EXPECT_TRUE(list.rows.empty());
    EXPECT_TRUE(list.enabled);
    EXPECT_EQ(-1, list.current);
  }
  SimTree t;
  t.show_in_package_screen(1);
  t.ctx.state.g_AircraftEntries.clear();
  t.ctx.state.g_AircraftLast = -1;
  FillPackageAircraftList(t.ctx);
  EXPECT_TRUE(t.view.lists["frm_Package.lstAircraft"].rows.empty());
  EXPECT_TRUE(t.view.lists[kTextures].rows.empty());
  EXPECT_TRUE(t.view.lists[kTextures].enabled);
}

}  // namespace
}  // namespace pw::test
