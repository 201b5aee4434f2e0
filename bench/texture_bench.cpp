// The whole check of an aircraft of 1000 repaints, 20 files each (the
// texture check lists each folder once, reads texture.cfg and the first
// bytes of every .dds and .bmp), against the floor: a serial program on
// POSIX that lists each repaint folder and opens and reads the first
// bytes of each texture. The target is 1.3x. Also prints listing the
// folders' names and the first bytes through the file layer alone.
// Usage: texture_bench [RUNS]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>

#include "aircraft/diagnosis.h"
#include "base/platform/file_system.h"
#include "bench/bench_support.h"
#include "bench/floors.h"

namespace {

constexpr int kRepaints = 1000;
constexpr int kTextures = 18;  // plus texture.cfg and thumbnail.jpg: 20 files

std::string texture_name(int i) { return "part_" + std::to_string(i) + (i % 6 == 5 ? "_t.bmp" : "_t.dds"); }

void make_repaint(const std::string& folder) {
  using pw::bench::write_file;
  pw::bench::make_folder(folder);
  write_file(folder + "/texture.cfg", "[fltsim]\r\nfallback.1=..\\texture\r\nfallback.2=..\\..\\..\\..\\Texture\r\n");
  write_file(folder + "/thumbnail.jpg", "\xFF\xD8\xFF\xE0 thumbnail");
  for (int i = 0; i < kTextures; ++i) {
    write_file(folder + "/" + texture_name(i), std::string(i % 6 == 5 ? "BM" : "DDS ") + std::string(508, 'x'));
  }
}

// Elapsed and processor time, each against the floor's: the processor
// time's ratio holds steadier when others load the machine.
void report(const char* what, const pw::bench::Measurement& m, const pw::bench::Measurement& base) {
  using pw::bench::ratio;
  std::printf("  %-34s %8.2f ms (median %8.2f) %7s   processor %8.2f ms %7s%s\n", what, m.best_seconds * 1e3,
              m.median_seconds * 1e3, ratio(m.best_seconds, base.best_seconds).c_str(), m.best_cpu_seconds * 1e3,
              ratio(m.best_cpu_seconds, base.best_cpu_seconds).c_str(), m.ok ? "" : "  FAILED");
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
  std::vector<std::string> repaints;
  for (int n = 0; n < kRepaints; ++n) repaints.push_back(aircraft + "/Texture.T" + std::to_string(n));
  const Measurement floor = measure(runs, [] {}, [&] {
    return read_first_bytes_of_textures(repaints) == kRepaints * kTextures;
  });
  const Measurement listing = measure(runs, [] {}, [&] {
    std::size_t names = 0;
    for (int n = 0; n < kRepaints; ++n) {
      Result<std::vector<DirEntry>> listed = fs.list(aircraft + "/Texture.T" + std::to_string(n));
      if (!listed) return false;
      names += listed->size();
    }
    return names == kRepaints * (kTextures + 2);
  });
  const Measurement first_bytes = measure(runs, [] {}, [&] {
    for (int n = 0; n < kRepaints; ++n) {
      for (int i = 0; i < kTextures; ++i) {
        Result<std::unique_ptr<InputFile>> file =
            fs.open_read(aircraft + "/Texture.T" + std::to_string(n) + "/" + texture_name(i));
        char head[4];
        if (!file || !(*file)->read_at(0, std::span<char>(head, sizeof head))) return false;
      }
    }
    return true;
  });
  const Measurement check = measure(runs, [] {}, [&] {
    Result<std::vector<Finding>> findings = diagnose_aircraft(fs, aircraft);
    return findings.ok() && findings->empty();
  });
  report("floor: list, open, read first bytes", floor, floor);
  report("listing the 1000 folders' names", listing, floor);
  report("first bytes of the 18000 textures", first_bytes, floor);
  report("check of the aircraft (target 1.3x)", check, floor);
  std::printf("  peak of the check %s\n", mib(check.peak_kib).c_str());
  return floor.ok && listing.ok && first_bytes.ok && check.ok ? 0 : 1;
}
