// Lists the entries of a generated 500-entry aircraft.cfg and prints the
// time per listing and how many times the file was parsed (32 keys of 500
// entries read through one ProfileStore must parse it once, not 16,000
// times), against one plain read of the file.
// Usage: listing_bench [LISTINGS]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/aircraft_selection.h"
#include "bench/bench_support.h"

namespace {

constexpr int kEntries = 500;

}  // namespace

int main(int argc, char** argv) {
  using namespace pw;
  using namespace pw::bench;
  const int listings = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  ScratchDir dir("listing");
  const std::string cfg_text = generated_aircraft_cfg(kEntries);
  const std::string aircraft = make_sim_tree(dir.path(), cfg_text);
  std::printf("aircraft.cfg of %d entries x 32 keys, %s, %d listings, load %s\n", kEntries,
              mib(static_cast<std::int64_t>(cfg_text.size()) / 1024).c_str(), listings, load_average().c_str());

  const Measurement read = measure(listings, [] {}, [&] { return plain_read(aircraft + "/Aircraft.cfg"); });

  // One context for all listings, as the program keeps one: the file is
  // parsed once and every later listing reads the cached document.
  Session ctx(native_file_system());
  ctx.state.g_AircraftFolder = aircraft;
  std::size_t parses = 0;
  const Measurement cached = measure(listings, [] {}, [&] {
    (void)get_aircraft_list(ctx);
    parses = ctx.profiles.parse_count();
    return ctx.state.g_AircraftEntries.size() == kEntries && parses == 1;
  });
  // A fresh context every time: each listing parses the file once.
  const Measurement fresh = measure(listings, [] {}, [&] {
    Session c(native_file_system());
    c.state.g_AircraftFolder = aircraft;
    (void)get_aircraft_list(c);
    return c.state.g_AircraftEntries.size() == kEntries && c.profiles.parse_count() == 1;
  });

  const auto line = [&](const char* what, const Measurement& m, const char* parsed) {
    std::printf("  %-44s %8.3f ms per listing (median %8.3f)  %s  %s one read  peak %s%s\n", what,
                m.best_seconds * 1e3, m.median_seconds * 1e3, parsed, ratio(m.best_seconds, read.best_seconds).c_str(),
                mib(m.peak_kib).c_str(), m.ok ? "" : "  FAILED");
  };
  std::printf("  %-44s %8.3f ms\n", "one plain read of the file", read.best_seconds * 1e3);
  const std::string once = "parsed once in " + std::to_string(listings) + " listings";
  line("listing, one context (file unchanged)", cached, once.c_str());
  line("listing, fresh context each time", fresh, "parsed once per listing");
  return read.ok && cached.ok && fresh.ok ? 0 : 1;
}
