// The whole check of an aircraft of 1000 repaints, 20 files each (the
// texture check lists each folder once, reads texture.cfg and the first
// bytes of every .dds and .bmp), against listing those 1000 folders'
// names through the file layer. Prints the ratio; the target is 2x.
// Usage: texture_bench [RUNS]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "aircraft/diagnosis.h"
#include "base/platform/file_system.h"
#include "bench/bench_support.h"

namespace {

constexpr int kRepaints = 1000;
constexpr int kTextures = 18;  // plus texture.cfg and thumbnail.jpg: 20 files

void make_repaint(const std::string& folder) {
  using pw::bench::write_file;
  pw::bench::make_folder(folder);
  write_file(folder + "/texture.cfg", "[fltsim]\r\nfallback.1=..\\texture\r\nfallback.2=..\\..\\..\\..\\Texture\r\n");
  write_file(folder + "/thumbnail.jpg", "\xFF\xD8\xFF\xE0 thumbnail");
  for (int i = 0; i < kTextures; ++i) {
    const bool bmp = i % 6 == 5;
    write_file(folder + "/part_" + std::to_string(i) + (bmp ? "_t.bmp" : "_t.dds"),
               std::string(bmp ? "BM" : "DDS ") + std::string(508, 'x'));
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace pw;
  using namespace pw::bench;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  ScratchDir dir("texture");
  const std::string aircraft = make_sim_tree(dir.path(), generated_aircraft_cfg(kRepaints));
  make_folder(dir.path() + "/Texture");
  make_folder(aircraft + "/texture");
  for (int n = 0; n < kRepaints; ++n) make_repaint(aircraft + "/Texture.T" + std::to_string(n));
  std::printf("%d repaint folders of %d files, %d runs, load %s\n", kRepaints, kTextures + 2, runs,
              load_average().c_str());

  FileSystem& fs = native_file_system();
  const Measurement listing = measure(runs, [] {}, [&] {
    std::size_t names = 0;
    for (int n = 0; n < kRepaints; ++n) {
      Result<std::vector<DirEntry>> listed = fs.list(aircraft + "/Texture.T" + std::to_string(n));
      if (!listed) return false;
      names += listed->size();
    }
    return names == kRepaints * (kTextures + 2);
  });
  const Measurement check = measure(runs, [] {}, [&] {
    Result<std::vector<Finding>> findings = diagnose_aircraft(fs, aircraft);
    return findings.ok() && findings->empty();
  });
  std::printf("  %-40s %8.2f ms (median %8.2f)\n", "listing the 1000 folders' names", listing.best_seconds * 1e3,
              listing.median_seconds * 1e3);
  std::printf("  %-40s %8.2f ms (median %8.2f)  %s the listing  peak %s%s\n", "check of the aircraft",
              check.best_seconds * 1e3, check.median_seconds * 1e3,
              ratio(check.best_seconds, listing.best_seconds).c_str(), mib(check.peak_kib).c_str(),
              check.ok ? "" : "  FAILED");
  return listing.ok && check.ok ? 0 : 1;
}
