// The restore-point history of one aircraft: 21 points, each holding a
// removed texture folder of 50 files of 1 MB (sparse: the walk and the
// deletions are measured, not the disk's writing speed). Sizing the history
// (prune_history within its limits: every point measured, none deleted),
// and pruning the 20 oldest (prune_history keeping one point).
// Usage: history_bench [RUNS]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_support.h"
#include "packages/restore_points.h"

namespace pw::bench {
namespace {

constexpr int kPoints = 21;
constexpr int kFilesPerPoint = 50;
constexpr off_t kFileBytes = off_t{1} << 20;

void write_sparse(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || ::ftruncate(fd, kFileBytes) != 0) std::abort();
  ::close(fd);
}

// A fresh history of kPoints points, a day apart.
void make_history(const std::string& aircraft) {
  const std::string history = aircraft + "/Paintwell.history";
  remove_tree(history);
  make_folder(history);
  for (int p = 0; p < kPoints; ++p) {
    char name[32];
    std::snprintf(name, sizeof name, "202601%02d-120000.000", p + 1);
    const std::string point = history + "/" + name;
    make_folder(point);
    write_file(point + "/manifest.txt", "operation=remove\r\n");
    make_folder(point + "/folders");
    const std::string texture = point + "/folders/Texture.P" + std::to_string(p);
    make_folder(texture);
    for (int f = 0; f < kFilesPerPoint; ++f) write_sparse(texture + "/t" + std::to_string(f) + ".dds");
  }
}

void print(const char* what, const Measurement& m) {
  std::printf("  %-36s best %9.3f ms  cpu %9.3f ms  median %9.3f ms%s\n", what, m.best_seconds * 1e3,
              m.best_cpu_seconds * 1e3, m.median_seconds * 1e3, m.ok ? "" : "  FAILED");
}

}  // namespace
}  // namespace pw::bench

int main(int argc, char** argv) {
  using namespace pw;
  using namespace pw::bench;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  ScratchDir dir("history");
  const std::string aircraft = make_sim_tree(dir.path(), "");
  std::printf("%d restore points of %d MB each; %d runs each, load %s\n", kPoints, kFilesPerPoint, runs,
              load_average().c_str());
  const auto fresh = [&] { make_history(aircraft); };
  const HistoryLimits everything{1000, std::int64_t{1} << 40};
  const Measurement sizing = measure(runs, fresh, [&] {
    return prune_history(native_file_system(), aircraft, everything).deleted.empty();
  });
  const Measurement pruning = measure(runs, fresh, [&] {
    return prune_history(native_file_system(), aircraft, HistoryLimits{1}).deleted.size() == kPoints - 1;
  });
  print("sizing the history (none pruned)", sizing);
  print("pruning 20 points", pruning);
  return sizing.ok && pruning.ok ? 0 : 1;
}
