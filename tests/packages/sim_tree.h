// A simulator tree on disk for the package operation tests: FSX.EXE, the
// program's folder with Media, and one aircraft whose Aircraft.cfg holds
// fltsim.0, .1 and .3 (a gap at 2) with texture folders of real files.
// The context goes through a FaultyFileSystem that fails nothing until told.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "aircraft/entry_list.h"
#include "app/commands.h"
#include "app/desktop/app_context.h"
#include "app/desktop/screen_lists.h"
#include "base/file_ops.h"
#include "config/profile.h"
#include "packages/package_format.h"
#include "packages/package_creation.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"
#include "packages/undo.h"
#include "support/faulty_file_system.h"
#include "support/scripted_view.h"
#include "support/temp_dir.h"

namespace pw::test {

inline constexpr const char* kPlane = "sim/SimObjects/Airplanes/C172/";
inline constexpr const char* kCarriedFolder = "SimObjects\\Airplanes\\C172";

inline const std::string kOriginalCfg =
    "[General]\r\natc_type=CESSNA\r\n\r\n"
    "[fltsim.0]\r\ntitle=Cessna Red\r\nsim=c172\r\ntexture=Red\r\nui_variation=\"Red Livery\"\r\nvisual_damage=1\r\n\r\n"
    "[fltsim.1]\r\ntitle=Cessna Silver\r\ntexture=Silver\r\nui_variation=\"Air (Tahiti) [2007]\"\r\n\r\n"
    "[fltsim.3]\r\ntitle=Cessna Green\r\ntexture=Green\r\nui_variation=Green\r\n\r\n"
    "[Views]\r\neyepoint=1\r\n";

struct NamedBytes { std::string name; std::string bytes; };

// A .rcf text as the selection keeps it: 1000 bytes, NUL-filled.
inline std::string carried_text(const std::string& folder) {
  std::string text = "folder=" + folder + "\r\ntitle=Cessna 172\r\n";
  text.resize(kRcfTextSize, '\0');
  return text;
}

// Package bytes built field by field, hostile names and all.
inline std::string package_bytes(const FltsimEntry& entry, const std::optional<std::string>& preview,
                                 const std::vector<NamedBytes>& files) {
  std::vector<PackageFile> table;
  std::string data;
  for (const NamedBytes& f : files) {
    table.push_back({f.name, static_cast<std::int32_t>(f.bytes.size())});
    data += f.bytes;
  }
  std::string bytes = build_package_head(entry, preview, table);
  EXPECT_EQ(0, CompressBytes(data));
  return bytes + data;
}

inline FltsimEntry blue_entry() {
  FltsimEntry e;
  e.title = "Cessna Blue", e.texture = "Blue", e.ui_variation = "Blue Sky", e.visual_damage = "1";
  e.rcf_text = carried_text(kCarriedFolder);
  return e;
}

// A package of the installed Cessna Red, for replacing it.
inline FltsimEntry red_entry() {
  FltsimEntry e = blue_entry();
  e.title = "Cessna Red", e.texture = "Red", e.ui_variation = "Red Livery";
  return e;
}

inline const std::vector<NamedBytes>& blue_files() {
  static const std::vector<NamedBytes> files = {{"texture.bmp", std::string(3000, 'b') + "tail"},
                                                {"Panel.dds", std::string("\0\x01\x02zz", 5)}};
  return files;
}

inline std::string blue_package() { return package_bytes(blue_entry(), std::nullopt, blue_files()); }

// The progress reports of one command.
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
      EXPECT_LE(calls[i > 0 ? i - 1 : 0].first, calls[i].first) << "call " << i;
    }
    EXPECT_EQ(total, calls.back().first);
  }
};

class SimTree {
 public:
  SimTree() : faulty(native_file_system()), ctx(faulty, view) {
    dir.write("sim/FSX.EXE", "MZ");
    dir.write("sim/Varnel Software/FSX Paintwell/Media/Main_Background.bmp", "BM");
    for (const auto& [name, bytes] : std::vector<NamedBytes>{
             {"Aircraft.cfg", kOriginalCfg}, {"Texture.Silver/b.dds", "dds-b"}, {"Texture.Silver/A.bmp", "bmp-A"},
             {"Texture.Silver/c.cfg", "[fltsim]\r\n"}, {"Texture.Silver/d.txt", "notes"},
             {"Texture.Silver/E.dds", std::string(70000, 'E')}, {"Texture.Red/red.bmp", "red"}}) {
      dir.write(plane(name), bytes);
    }
    std::filesystem::create_directories(dir.native(std::string(kPlane) + "Downloads"));
    SharedState& s = ctx.state;
    s.program_folder = dir.path() + "\\sim\\Varnel Software\\FSX Paintwell";
    s.g_SimRoot = dir.path() + "\\sim";
    s.g_AircraftFolder = s.g_SimRoot + "\\" + kCarriedFolder;
    s.g_RcfText = carried_text(kCarriedFolder);
    reload_entries();
  }

  // `bytes` saved into Downloads as `name`, then Downloads listed.
  void download(const std::string& name, const std::string& bytes = blue_package()) {
    dir.write(plane("Downloads/" + name), bytes);
    ASSERT_TRUE(ListPackages(ctx, ""));
  }

  // As the selection does after every change of Aircraft.cfg.
  void reload_entries() {
    const AircraftListing listing = read_aircraft_entries(ProfileDocument::parse(cfg()));
    ctx.state.g_AircraftEntries = listing.entries;
    ctx.state.g_AircraftSections = listing.section_numbers;
    ctx.state.g_AircraftWhole = listing.whole;
    ctx.state.g_AircraftLast = static_cast<std::int16_t>(listing.entries.size() - 1);
    ctx.state.g_FirstFreeFltsim = listing.first_free.value_or(0);
  }

  // The package screen showing entry `index`, every file ticked.
  void show_in_package_screen(int index) {
    FillPackageAircraftList(ctx);
    view.lists["frm_Package.lstAircraft"].current = index;
    PackageAircraftClicked(ctx);
  }

  // Package k of the listing, installed as the command installs it but
  // without its duplicate check and log.
  InstallReport install(int k, bool delete_package = false) {
    const SharedState& s = ctx.state;
    if (k < 0 || static_cast<std::size_t>(k) >= s.g_PackagePaths.size()) return InstallReport{};
    const auto i = static_cast<std::size_t>(k);
    return install_package(ctx.operation(), ctx.state, s.g_PackagePaths[i], s.g_PackageEntries[i], delete_package);
  }
  RemovalReport remove(const std::vector<bool>& selection) {
    return remove_repaints(ctx.operation(), ctx.state, selection);
  }

  std::string plane(std::string_view rel) const { return std::string(kPlane) + std::string(rel); }
  std::string cfg() const { return dir.read(plane("Aircraft.cfg")); }
  // A core path inside the aircraft's folder.
  std::string core_plane(std::string_view rel) const { return ctx.state.g_AircraftFolder + "\\" + std::string(rel); }

  TempDir dir;
  ScriptedView view;
  FaultyFileSystem faulty;
  AppContext ctx;
};

// Undoes what an undo would take back now, as the command line does.
inline Result<UndoReport> undo_latest(FileSystem& fs, const std::string& aircraft_folder) {
  Result<LastOperation> last = last_operation(fs, aircraft_folder);
  if (!last) return last.error();
  return undo_restore_point(fs, aircraft_folder, last->can_undo ? file_name(last->point->folder) : "");
}

// Runs run(k) for k = 1, 2, ..., its k-th file call failing, until the run
// in which none failed (run gives whether one did) or a check failed; the
// number of runs with a fault.
template <class Run>
int each_failing_call(int limit, Run run) {
  for (int k = 1; k < limit; ++k) {
    SCOPED_TRACE("failing call " + std::to_string(k));
    if (!run(k) || ::testing::Test::HasFailure()) return k - 1;
  }
  ADD_FAILURE() << "the operation never completed";
  return limit;
}

}  // namespace pw::test
