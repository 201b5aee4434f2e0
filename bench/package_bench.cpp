// Package creation and installation on a generated texture folder (25
// files of noise, gradients and repeated blocks, 200 MiB by default),
// each against the plain way of doing the same work:
//   create:  create_package  vs  reading the files into one buffer + zlib compress
//   install: install_package vs  reading the block + zlib uncompress + writing the files
// Usage: package_bench [ROUNDS [MIB]]
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/aircraft_selection.h"
#include "app/aircraft_session.h"
#include "app/commands.h"
#include "bench/bench_support.h"
#include "packages/block_compressor.h"
#include "packages/file_helpers.h"
#include "packages/package_creation.h"
#include "packages/package_format.h"
#include "packages/package_installation.h"

namespace pw::bench {
namespace {

constexpr int kFiles = 25;
constexpr const char* kCfg = "[fltsim.0]\r\ntitle=Bench\r\ntexture=Big\r\nui_variation=Bench\r\n\r\n";

struct Tree {
  std::string root;
  std::string aircraft;
  std::string textures;  // Texture.Big
};

// A context on the real disk with the bench aircraft selected.
struct BenchSession {
  explicit BenchSession(const Tree& tree) : ctx(native_file_system()) {
    ctx.state.program_folder = tree.root + "/Varnel Software/FSX Paintwell";
    ctx.state.g_SimRoot = tree.root;
    ctx.state.g_AircraftFolder = tree.aircraft;
    ctx.state.g_RcfText = "folder=SimObjects\\Airplanes\\Bench\r\n";
    ctx.state.g_RcfText.resize(kRcfTextSize, '\0');
    (void)get_aircraft_list(ctx);
  }
  Session ctx;
};

std::vector<std::string> texture_paths(const Tree& tree) {
  std::vector<std::string> paths;
  for (int i = 0; i < kFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/texture_%02d.dds", i);
    paths.push_back(tree.textures + name);
  }
  return paths;
}

bool read_into(const std::string& path, std::string& buffer) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  char chunk[1 << 16];
  ssize_t n = 0;
  while ((n = read(fd, chunk, sizeof chunk)) > 0) buffer.append(chunk, static_cast<std::size_t>(n));
  close(fd);
  return n == 0;
}

bool write_synced(const std::string& path, const char* data, std::size_t size, bool sync) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  while (size > 0 && ok) {
    const ssize_t n = write(fd, data, size);
    ok = n > 0;
    if (ok) data += n, size -= static_cast<std::size_t>(n);
  }
  if (sync && fsync(fd) != 0) ok = false;
  return close(fd) == 0 && ok;
}

bool baseline_create(const Tree& tree, std::int64_t total) {
  std::string data;
  data.reserve(static_cast<std::size_t>(total));
  for (const std::string& path : texture_paths(tree)) {
    if (!read_into(path, data)) return false;
  }
  uLongf length = compressBound(static_cast<uLong>(data.size()));
  const std::unique_ptr<Bytef[]> out(new Bytef[length]);  // not zero-filled: compress writes it
  return compress(out.get(), &length, reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size())) ==
         Z_OK;
}

bool baseline_install(const std::string& package, const PackageLayout& layout, const std::string& folder, bool sync) {
  const auto block_size = static_cast<std::size_t>(layout.block_size);
  const std::unique_ptr<Bytef[]> block(new Bytef[block_size]);
  const int fd = open(package.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const bool read_all = pread(fd, block.get(), block_size, layout.block_offset) == static_cast<ssize_t>(block_size);
  close(fd);
  if (!read_all) return false;
  const auto total = static_cast<std::size_t>(layout.total_size);
  const std::unique_ptr<char[]> data(new char[total]);  // not zero-filled: uncompress writes it
  uLongf length = static_cast<uLongf>(total);
  if (uncompress(reinterpret_cast<Bytef*>(data.get()), &length, block.get(), static_cast<uLong>(block_size)) != Z_OK) {
    return false;
  }
  make_folder(folder);
  std::size_t at = 0;
  for (const PackageFile& f : layout.files) {
    if (!write_synced(folder + "/" + f.name, data.get() + at, static_cast<std::size_t>(f.size), sync)) return false;
    at += static_cast<std::size_t>(f.size);
  }
  if (!sync) return true;
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  const bool synced = dir >= 0 && fsync(dir) == 0;
  if (dir >= 0) close(dir);
  return synced;
}

// create_package against reading the files into one buffer and compressing
// it; leaves the package in Uploads for the install.
bool bench_create(const Tree& tree, int rounds, std::int64_t total) {
  Measurement created{true, 0, 0, 0}, compress_base{true, 0, 0, 0};
  const auto create = [&] {
    BenchSession s(tree);
    const PackageRequest request{
        0, texture_file_names(s.ctx.fs, s.ctx.state.g_AircraftFolder, s.ctx.state.g_AircraftEntries[0]), {}};
    return create_package(s.ctx.operation(), s.ctx.state, request).ok();
  };
  for (int r = 0; r < rounds; ++r) {
    keep_best(created, measure(1, [&] { remove_tree(tree.aircraft + "/Uploads"); }, create));
    keep_best(compress_base, measure(1, [] {}, [&] { return baseline_create(tree, total); }));
  }
  measure(1, [] {}, create);
  const std::string package = tree.aircraft + "/Uploads/Bench_Repaint.pkg";
  std::printf("create (package %s)\n", mib(static_cast<std::int64_t>(read_file(package).size()) / 1024).c_str());
  print_seconds("create_package", created);
  print_seconds("baseline: read the files into one buffer, zlib compress", compress_base);
  std::printf("  ratio %s (target <= 0.60x)\n", ratio(created.best_seconds, compress_base.best_seconds).c_str());
  return created.ok && compress_base.ok;
}

// install_package of that package against reading its block,
// uncompressing it and writing the files, synced as the install syncs
// them, and not synced.
bool bench_install(const Tree& tree, int rounds) {
  const std::string package = tree.aircraft + "/Uploads/Bench_Repaint.pkg";
  const std::string installed = tree.aircraft + "/Texture.Big_000";
  write_file(tree.aircraft + "/Downloads/Bench_Repaint.pkg", read_file(package));
  const std::string cfg = read_file(tree.aircraft + "/Aircraft.cfg");
  std::unique_ptr<InputFile> file = native_file_system().open_read(package).value();
  const PackageLayout layout = read_package_layout(*file).value();
  file.reset();
  Measurement install{true, 0, 0, 0}, synced{true, 0, 0, 0}, unsynced{true, 0, 0, 0};
  const auto reset = [&] {
    remove_tree(installed);
    write_file(tree.aircraft + "/Aircraft.cfg", cfg);
  };
  for (int r = 0; r < rounds; ++r) {
    keep_best(install, measure(1, reset, [&] {
                BenchSession s(tree);
                Result<AircraftSession> aircraft = AircraftSession::open(s.ctx);
                return aircraft && aircraft->install(tree.aircraft + "/Downloads/Bench_Repaint.pkg", {}).outcome ==
                                       InstallOutcome::kInstalled;
              }));
    keep_best(synced, measure(1, reset, [&] { return baseline_install(package, layout, installed, true); }));
    keep_best(unsynced, measure(1, reset, [&] { return baseline_install(package, layout, installed, false); }));
  }
  std::printf("install\n");
  print_seconds("install_package", install);
  print_seconds("baseline: read the block, zlib uncompress, write files (synced)", synced);
  print_seconds("baseline, files not synced", unsynced);
  std::printf("  ratio %s (target <= 1.15x); against unsynced writes %s\n",
              ratio(install.best_seconds, synced.best_seconds).c_str(),
              ratio(install.best_seconds, unsynced.best_seconds).c_str());
  return install.ok && synced.ok;
}


}  // namespace
}  // namespace pw::bench

int main(int argc, char** argv) {
  using namespace pw;
  using namespace pw::bench;
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const std::int64_t mebibytes = argc > 2 ? std::max(kFiles, std::atoi(argv[2])) : 200;

  ScratchDir dir("package");
  Tree tree;
  tree.root = dir.path();
  tree.aircraft = make_sim_tree(tree.root, kCfg);
  tree.textures = tree.aircraft + "/Texture.Big";
  const std::int64_t total = write_texture_files(tree.textures, kFiles, mebibytes * 1024 * 1024 / kFiles);
  std::printf("Package benchmarks: %d files, %s, %u threads, best of %d rounds, load %s\n", kFiles,
              mib(total / 1024).c_str(), default_compression_threads(), rounds, load_average().c_str());
  const bool created = bench_create(tree, rounds, total);
  const bool installed = created && bench_install(tree, rounds);
  return created && installed ? 0 : 1;
}
