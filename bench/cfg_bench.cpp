// A 1000-entry aircraft.cfg: listing its entries (get_aircraft_list),
// removing 10 of them (remove_repaints, which also refreshes the backup,
// keeps a restore point with the 10 texture folders moved into it and
// writes the file back) and undoing that removal, each against one plain
// read of the file. Both
// are measured with the file in the page cache (warm) and with its pages
// dropped first (cold), as when the program has just started.
// Usage: cfg_bench [RUNS]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/aircraft_selection.h"
#include "base/file_ops.h"
#include "bench/bench_support.h"
#include "packages/repaint_removal.h"
#include "packages/undo.h"

namespace pw::bench {
namespace {

constexpr int kEntries = 1000;
constexpr int kRemoved = 10;

// Writes the file's pages out and drops them from the page cache, so the
// next read comes from the disk.
void drop_cached(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return;
  (void)fdatasync(fd);
  (void)posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  close(fd);
}

struct BenchSession {
  BenchSession(const std::string& root, const std::string& aircraft) : ctx(native_file_system()) {
    ctx.state.program_folder = root + "/Varnel Software/FSX Paintwell";
    ctx.state.g_SimRoot = root;
    ctx.state.g_AircraftFolder = aircraft;
  }
  Session ctx;
};

void print(const char* what, const Measurement& m) {
  std::printf("  %-40s best %9.3f ms  median %9.3f ms  peak %s%s\n", what, m.best_seconds * 1e3,
              m.median_seconds * 1e3, mib(m.peak_kib).c_str(), m.ok ? "" : "  FAILED");
}

struct Figures {
  Measurement read, list, remove, undo;
};

struct Setup {
  std::string root, aircraft, cfg, cfg_text;
  int runs;
};

// Starts a removal from the full file, with the removed entries' texture
// folders in place; the listing it works from is not timed.
std::unique_ptr<BenchSession> prepare_removal(const Setup& setup) {
  remove_tree(setup.aircraft + "/Paintwell.history");  // every run starts from the same history
  write_file(setup.cfg, setup.cfg_text);
  auto session = std::make_unique<BenchSession>(setup.root, setup.aircraft);
  (void)get_aircraft_list(session->ctx);
  SharedState& s = session->ctx.state;
  s.g_RemoveSelection.assign(s.g_AircraftEntries.size(), false);
  for (int i = 0; i < kRemoved; ++i) {
    const int n = i * (kEntries / kRemoved) + 7;
    s.g_RemoveSelection[static_cast<std::size_t>(n)] = true;
    make_folder(setup.aircraft + "/Texture.T" + std::to_string(n));
    write_file(setup.aircraft + "/Texture.T" + std::to_string(n) + "/t.dds", "dds");
  }
  return session;
}

// Reading, listing and removing, warm or cold; prints the figures.
bool run(const Setup& setup, bool cold) {
  const auto settle = [&] {
    if (cold) drop_cached(setup.cfg);
  };
  write_file(setup.cfg, setup.cfg_text);  // as it was before any removal
  Figures f;
  f.read = measure(setup.runs, settle, [&] { return plain_read(setup.cfg); });
  f.list = measure(setup.runs, settle, [&] {
    BenchSession s(setup.root, setup.aircraft);
    (void)get_aircraft_list(s.ctx);
    return s.ctx.state.g_AircraftEntries.size() == static_cast<std::size_t>(kEntries) &&
           s.ctx.profiles.parse_count() == 1;
  });
  std::unique_ptr<BenchSession> prepared;
  const auto prepare = [&] {
    prepared = prepare_removal(setup);
    settle();
  };
  const auto remove = [&] {
    const Session& c = prepared->ctx;
    return remove_repaints(c.operation(), c.state, c.state.g_RemoveSelection).outcome == RemovalOutcome::kDone;
  };
  f.remove = measure(setup.runs, prepare, remove);
  const auto removed = [&] {
    prepared = prepare_removal(setup);
    if (!remove()) std::abort();  // nothing to undo: no figure to take
    settle();
  };
  const auto undo = [&] {
    Result<LastOperation> last = last_operation(prepared->ctx.fs, setup.aircraft);
    return last && last->can_undo &&
           undo_restore_point(prepared->ctx.fs, setup.aircraft, file_name(last->point->folder)).ok();
  };
  f.undo = measure(setup.runs, removed, undo);
  std::printf("%s\n", cold ? "cold (the file's pages dropped before each run)" : "warm (the file in the page cache)");
  print("one plain read of the file", f.read);
  print("get_aircraft_list (parsed once)", f.list);
  print("remove_repaints, 10 entries", f.remove);
  print("undo of that removal", f.undo);
  std::printf("  listing %s one read (target <= 10x), removing %s (target <= 20x)\n",
              ratio(f.list.best_seconds, f.read.best_seconds).c_str(),
              ratio(f.remove.best_seconds, f.read.best_seconds).c_str());
  return f.read.ok && f.list.ok && f.remove.ok && f.undo.ok;
}

}  // namespace
}  // namespace pw::bench

int main(int argc, char** argv) {
  using namespace pw;
  using namespace pw::bench;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  ScratchDir dir("cfg");
  const std::string cfg_text = generated_aircraft_cfg(kEntries);
  const std::string aircraft = make_sim_tree(dir.path(), cfg_text);
  const std::string cfg = aircraft + "/Aircraft.cfg";
  std::printf("aircraft.cfg of %d entries x 32 keys, %s; %d runs each, load %s\n", kEntries,
              mib(static_cast<std::int64_t>(cfg_text.size()) / 1024).c_str(), runs, load_average().c_str());

  const Setup setup{dir.path(), aircraft, cfg, cfg_text, runs};
  const bool warm_ok = run(setup, false);
  const bool cold_ok = run(setup, true);
  return warm_ok && cold_ok ? 0 : 1;
}
