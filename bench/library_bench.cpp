// The library of a simulator as AI-traffic users keep it: 500 aircraft
// folders with 40 entries each (20,000 entries and texture folders) in two
// places. Measures, side by side in one run: the first index against the
// floor (finding every aircraft.cfg and reading each whole, serial), a
// re-index of the unchanged simulator against the first, a search of all
// 20,000 entries at each keystroke, the choice of a downloaded repaint's
// aircraft among the 500, and the peak memory.
// Targets: 2x, 0.2x, 30 ms, 1 s, 200 MB. Usage: library_bench [RUNS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "aircraft/library_index.h"
#include "packages/download_target.h"
#include "base/platform/file_system.h"
#include "bench/bench_support.h"
#include "bench/floors.h"

namespace {

constexpr int kAircraft = 500;
constexpr int kEntries = 40;
const char* const kAirlines[] = {"Sunrise Air", "Northwind", "Bench Air", "Alpine Express", "Coastal"};

// The generated aircraft.cfg with the aircraft's number in each title and
// an airline that varies, so that searches find some entries, not all.
std::string aircraft_cfg(int k) {
  std::string cfg = pw::bench::generated_aircraft_cfg(kEntries);
  const std::string airline = kAirlines[k % 5];
  for (std::size_t at = 0; (at = cfg.find("Livery ", at)) != std::string::npos; at += 8) cfg.insert(at, "A" + std::to_string(k) + " ");
  for (std::size_t at = 0; (at = cfg.find("Bench Air", at)) != std::string::npos; at += airline.size()) {
    cfg.replace(at, 9, airline);
  }
  return cfg;
}

// Returns the places: the root's Airplanes (four in five aircraft) and an
// add-on's.
std::vector<std::string> make_big_simulator(const std::string& root) {
  using namespace pw::bench;
  const std::vector<std::string> places{root + "/SimObjects/Airplanes", root + "/Addon/SimObjects/Airplanes"};
  for (int k = 0; k < kAircraft; ++k) {
    const std::string folder = places[k % 5 == 4 ? 1 : 0] + "/Aircraft " + std::to_string(k);
    make_folder(folder);
    write_file(folder + "/aircraft.cfg", aircraft_cfg(k));
    for (int n = 0; n < kEntries; ++n) {
      const std::string texture = folder + "/Texture.T" + std::to_string(n);
      make_folder(texture);
      write_file(texture + "/thumbnail.jpg", "\xFF\xD8");
    }
  }
  return places;
}

void report(const char* what, const pw::bench::Measurement& m, const pw::bench::Measurement& base, const char* target) {
  using pw::bench::ratio;
  std::printf("  %-36s %8.2f ms (median %8.2f) %7s   processor %8.2f ms %7s   peak %s   target %s%s\n", what,
              m.best_seconds * 1e3, m.median_seconds * 1e3, ratio(m.best_seconds, base.best_seconds).c_str(),
              m.best_cpu_seconds * 1e3, ratio(m.best_cpu_seconds, base.best_cpu_seconds).c_str(),
              pw::bench::mib(m.peak_kib).c_str(), target, m.ok ? "" : "  FAILED");
}

}  // namespace

int main(int argc, char** argv) {
  using namespace pw;
  using namespace pw::bench;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  ScratchDir dir("library");
  const std::vector<std::string> places = make_big_simulator(dir.path());
  const std::string cache = dir.path() + "/cache/library.cache";
  make_folder(dir.path() + "/cache");
  std::printf("%d aircraft folders, %d entries and texture folders, %d runs, load %s\n", kAircraft,
              kAircraft * kEntries, runs, load_average().c_str());

  FileSystem& fs = native_file_system();
  (void)read_every_aircraft_cfg(places);  // a warm page cache for all
  const Measurement floor = measure(runs, [] {}, [&] { return read_every_aircraft_cfg(places) == kAircraft; });
  const auto indexed_all = [&] {
    const Library library = index_library(fs, places, cache);
    return library.aircraft.size() == kAircraft && library.problems.empty();
  };
  // The floor as a shell gives it: one cat for all files, and one per file.
  const auto find_cat = [&](const char* exec_end) {
    const std::string command = "find '" + places[0] + "' '" + places[1] + "' -maxdepth 2 -name aircraft.cfg -exec cat {} " +
                                exec_end + " > /dev/null";
    return measure(runs, [] {}, [command] { return std::system(command.c_str()) == 0; });
  };
  const Measurement find_plus = find_cat("+");
  const Measurement find_each = find_cat("\\;");
  const Measurement uncached = measure(runs, [] {}, [&] { return index_library(fs, places, "").aircraft.size() == kAircraft; });
  const Measurement first = measure(runs, [&] { std::remove(cache.c_str()); }, indexed_all);
  (void)indexed_all();
  const Measurement again = measure(runs, [] {}, indexed_all);

  const Library library = index_library(fs, places, cache);
  double slowest_keystroke = 0;
  std::size_t last_hits = 0;
  const std::string typed = "sunrise a12 livery 3";
  for (std::size_t n = 1; n <= typed.size(); ++n) {
    const auto start = std::chrono::steady_clock::now();
    last_hits = search_library(library, typed.substr(0, n)).size();
    slowest_keystroke = std::max(slowest_keystroke, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }

  // A repaint whose sim= every aircraft shares, as the generated ones do:
  // the texture folders of all 500 are listed to find the one that holds
  // its texture file. A folder above it naming the aircraft decides at once.
  write_file(places[0] + "/Aircraft 321/Texture.T7/b738_t.dds", "x");
  DownloadContents download{"repaint.zip", {{"Texture.New\\b738_t.dds", 1}, {"Texture.New\\texture.cfg", 1}}, {}};
  FoundRepaint repaint{"Texture.New", "New", {0, 1}, FltsimEntry{}, "readme.txt, line 1", {}, "", {}};
  repaint.entry->sim = "Boeing737-800";
  const auto chose_321 = [&] {
    const TargetChoice choice = choose_target_aircraft(fs, library, download, repaint);
    return choice.clear && library.aircraft[choice.candidates.front()].folder.ends_with("Aircraft 321");
  };
  const Measurement by_textures = measure(runs, [] {}, chose_321);
  repaint.path_above = {"SimObjects", "Airplanes", "Aircraft 321"};
  const Measurement by_folder = measure(runs, [] {}, chose_321);

  report("floor: find and read each aircraft.cfg", floor, floor, "-");
  report("floor: find -exec cat {} +", find_plus, floor, "-");
  report("floor: find -exec cat {} \\;", find_each, floor, "-");
  report("first index, no cache", uncached, floor, "-");
  report("first index (cache written)", first, floor, "2x");
  report("  against find -exec cat {} +", first, find_plus, "2x");
  report("  against find -exec cat {} \\;", first, find_each, "2x");
  report("re-index, unchanged", again, first, "0.2x");
  std::printf("  search of %d entries: slowest keystroke of \"%s\" %.2f ms (%zu hits at the end), target 30 ms\n",
              kAircraft * kEntries, typed.c_str(), slowest_keystroke * 1e3, last_hits);
  report("target of a repaint, by texture files", by_textures, floor, "1 s");
  report("target of a repaint, by its folder", by_folder, floor, "1 s");
  return floor.ok && find_plus.ok && find_each.ok && first.ok && again.ok && by_textures.ok && by_folder.ok ? 0 : 1;
}
