// Installing a downloaded zip (25 texture-like files, 200 MiB by default,
// and a readme with the repaint's block) against the plain way of putting
// the same files on the same disk: `bsdtar -xf` into a folder, then a sync
// of the files written, as the install syncs them. Also the time to choose
// the download's aircraft among 500 aircraft folders.
// Usage: import_bench [ROUNDS [MIB]]
#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "aircraft/library_index.h"
#include "app/aircraft_session.h"
#include "app/commands.h"
#include "bench/bench_support.h"
#include "packages/download.h"
#include "packages/download_scan.h"

namespace pw::bench {
namespace {

constexpr int kFiles = 25;
constexpr const char* kCfg = "[fltsim.0]\r\ntitle=Bench\r\nsim=bench\r\ntexture=Base\r\nui_variation=Bench\r\n\r\n";
constexpr const char* kBlock =
    "Paste into aircraft.cfg:\r\n\r\n[fltsim.x]\r\ntitle=Bench Big\r\nsim=bench\r\ntexture=Big\r\nui_variation=Big\r\n\r\n";

struct Tree {
  std::string root;
  std::string aircraft;
  std::string download;  // the zip
};

// The files of `folder` zipped (deflate) under "Texture.Big/", and the readme.
bool write_download(const std::string& folder, const std::string& zip) {
  archive* a = archive_write_new();
  bool ok = archive_write_set_format_zip(a) == ARCHIVE_OK && archive_write_open_filename(a, zip.c_str()) == ARCHIVE_OK;
  std::vector<std::pair<std::string, std::string>> files;
  for (int i = 0; i < kFiles && ok; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "texture_%02d.dds", i);
    files.emplace_back(std::string("Texture.Big/") + name, read_file(folder + "/" + name));
  }
  files.emplace_back("readme.txt", kBlock);
  for (const auto& [name, bytes] : files) {
    if (!ok) break;
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, name.c_str());
    archive_entry_set_size(e, static_cast<la_int64_t>(bytes.size()));
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    ok = archive_write_header(a, e) == ARCHIVE_OK &&
         archive_write_data(a, bytes.data(), bytes.size()) == static_cast<la_ssize_t>(bytes.size());
    archive_entry_free(e);
  }
  ok = archive_write_close(a) == ARCHIVE_OK && ok;
  archive_write_free(a);
  return ok;
}

// The whole import as the command line runs it: a session on the aircraft,
// the download read and scanned, its repaint installed.
bool import_download(const Tree& tree) {
  Session ctx(native_file_system());
  ctx.state.program_folder = tree.root + "/Varnel Software/FSX Paintwell";
  ctx.state.g_SimRoot = tree.root;
  ctx.state.g_AircraftFolder = tree.aircraft;
  ctx.state.g_RcfText = "folder=SimObjects\\Airplanes\\Bench\r\n";
  ctx.state.g_RcfText.resize(kRcfTextSize, '\0');
  Result<AircraftSession> aircraft = AircraftSession::open(ctx);
  if (!aircraft) return false;
  Result<std::unique_ptr<Download>> download = open_download(ctx.fs, tree.download);
  if (!download) return false;
  const DownloadScan scan = scan_download((*download)->contents());
  return scan.repaints.size() == 1 &&
         aircraft->import(**download, scan.repaints, DuplicateChoice::kCopy).outcome == InstallOutcome::kInstalled;
}

bool bench_import(const Tree& tree, int rounds) {
  const std::string installed = tree.aircraft + "/Texture.Big";
  const std::string floor_folder = tree.root + "/bsdtar";
  const std::string cfg = read_file(tree.aircraft + "/Aircraft.cfg");
  const std::string floor_command = "bsdtar -xf '" + tree.download + "' -C '" + floor_folder + "' && sync '" +
                                    floor_folder + "'/Texture.Big/* '" + floor_folder + "/Texture.Big'";
  Measurement import{true, 0, 0, 0}, floor{true, 0, 0, 0};
  for (int r = 0; r < rounds; ++r) {
    keep_best(import, measure(1, [&] {
                remove_tree(installed);
                remove_tree(tree.aircraft + "/Paintwell.history");
                write_file(tree.aircraft + "/Aircraft.cfg", cfg);
              }, [&] { return import_download(tree); }));
    keep_best(floor, measure(1, [&] {
                remove_tree(floor_folder);
                make_folder(floor_folder);
              }, [&] { return std::system(floor_command.c_str()) == 0; }));
  }
  std::printf("import of one zip\n");
  print_seconds("open_download + scan_download + AircraftSession::import", import);
  print_seconds("floor: bsdtar -xf, then sync of the files written", floor);
  std::printf("  ratio %s (target <= 1.10x); peak memory target < 64 MiB\n",
              ratio(import.best_seconds, floor.best_seconds).c_str());
  return import.ok && floor.ok;
}

}  // namespace
}  // namespace pw::bench

int main(int argc, char** argv) {
  using namespace pw;
  using namespace pw::bench;
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const std::int64_t mebibytes = argc > 2 ? std::max(kFiles, std::atoi(argv[2])) : 200;
  ScratchDir dir("import");
  Tree tree;
  tree.root = dir.path();
  tree.aircraft = make_sim_tree(tree.root, kCfg);
  tree.download = tree.root + "/Bench_Big.zip";
  const std::string textures = tree.root + "/textures";
  const std::int64_t total = write_texture_files(textures, kFiles, mebibytes * 1024 * 1024 / kFiles);
  if (!write_download(textures, tree.download)) {
    std::fprintf(stderr, "could not write the zip\n");
    return 1;
  }
  remove_tree(textures);
  std::printf("Import benchmark: %d files, %s, zip %s, best of %d rounds, load %s\n", kFiles, mib(total / 1024).c_str(),
              mib(static_cast<std::int64_t>(std::filesystem::file_size(tree.download)) / 1024).c_str(), rounds,
              load_average().c_str());
  return bench_import(tree, rounds) ? 0 : 1;
}
