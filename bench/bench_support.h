// Shared by the benchmark programs: a scratch simulator tree, generated
// data, and timing with peak memory. Each operation runs in a child
// process so that its peak memory (VmHWM, reset before the operation) is
// its own. Benchmarks may use POSIX directly; they are not the core.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pw::bench {

struct Measurement {
  bool ok = false;
  double best_seconds = 0;    // the fastest of the runs
  double median_seconds = 0;
  // The least processor time of the runs (user and kernel): steadier than
  // the elapsed time on a machine others are using.
  double best_cpu_seconds = 0;
  std::int64_t peak_kib = 0;  // the highest peak of the runs
};

// Runs `operation` `runs` times in one child process, `prepare` (untimed)
// before each. The operation returns false on failure, which ends the
// measurement with ok = false.
Measurement measure(int runs, const std::function<void()>& prepare, const std::function<bool()>& operation);

// A scratch folder under the temporary folder, removed on destruction.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The simulator tree the operations expect: <root>/FSX.EXE, the program's
// folder two levels below, and <root>/SimObjects/Airplanes/Bench holding
// `aircraft_cfg`. Returns the aircraft folder.
std::string make_sim_tree(const std::string& root, const std::string& aircraft_cfg);

// An aircraft.cfg with `entries` [fltsim.N] sections of all 31 keys, entry
// N naming texture "T<N>".
std::string generated_aircraft_cfg(int entries);

// The big simulator of the library benchmarks, as AI-traffic users keep it:
// kLibraryAircraft aircraft folders of kLibraryEntries entries, each with its
// texture folder, the aircraft's number in each title and one of five
// airlines, four in five under <root>/SimObjects/Airplanes and the rest under
// <root>/Addon/SimObjects/Airplanes. Returns those two places.
inline constexpr int kLibraryAircraft = 500;
inline constexpr int kLibraryEntries = 40;
std::vector<std::string> make_library_simulator(const std::string& root);

// `count` files of `size` bytes each in `folder`, texture-like: a third
// noise, a third gradients, a third repeated blocks. Returns the total.
std::int64_t write_texture_files(const std::string& folder, int count, std::int64_t size);

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
// The baseline of the configuration benchmarks: the whole file read into
// memory with one system call, nothing else. False when it failed.
bool plain_read(const std::string& path);
void make_folder(const std::string& path);
void remove_tree(const std::string& path);

// Keeps in `best` the fastest time and the highest peak of the rounds so
// far; a failed round fails it.
void keep_best(Measurement& best, const Measurement& m);
// A report line of a measurement taking seconds: what, best time, peak.
void print_seconds(const char* what, const Measurement& m);

// "1.23x" and friends for the report lines.
std::string ratio(double value, double baseline);
std::string mib(std::int64_t kib);
std::string load_average();

}  // namespace pw::bench
