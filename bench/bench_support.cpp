#include "bench/bench_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace pw::bench {
namespace {

// Drops the high-water mark of resident memory to what is resident now, so
// the next reading is the peak of what ran in between.
void reset_peak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

std::int64_t peak_kib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtoll(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

double now_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The processor time this process has used, in the kernel too.
double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The child's side of measure: the result as one text line on `fd`.
[[noreturn]] void run_child(int fd, int runs, const std::function<void()>& prepare,
                            const std::function<bool()>& operation) {
  std::vector<double> times;
  double best_cpu = 0;
  std::int64_t peak = 0;
  bool ok = true;
  for (int i = 0; i < runs && ok; ++i) {
    prepare();
    reset_peak();
    const double start = now_seconds();
    const double start_cpu = cpu_seconds();
    ok = operation();
    const double cpu = cpu_seconds() - start_cpu;
    times.push_back(now_seconds() - start);
    best_cpu = i == 0 ? cpu : std::min(best_cpu, cpu);
    peak = std::max(peak, peak_kib());
  }
  std::sort(times.begin(), times.end());
  char line[160];
  const int n = std::snprintf(line, sizeof line, "%d %.9f %.9f %.9f %lld\n", ok ? 1 : 0, times.front(),
                              times[times.size() / 2], best_cpu, static_cast<long long>(peak));
  if (write(fd, line, static_cast<std::size_t>(n)) != n) _exit(2);
  _exit(0);
}

std::uint64_t next_random(std::uint64_t& state) {
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return state;
}

std::string noise(std::int64_t size, std::uint64_t seed) {
  std::string out(static_cast<std::size_t>(size), '\0');
  std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
  for (std::size_t i = 0; i + 8 <= out.size(); i += 8) {
    const std::uint64_t r = next_random(state);
    for (int b = 0; b < 8; ++b) out[i + static_cast<std::size_t>(b)] = static_cast<char>(r >> (8 * b));
  }
  return out;
}

// A 24-bit picture of smooth colour ramps with a little grain.
std::string gradient(std::int64_t size, std::uint64_t seed) {
  std::string out(static_cast<std::size_t>(size), '\0');
  std::uint64_t state = seed + 7;
  const std::size_t width = 2048;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::size_t pixel = i / 3;
    const std::size_t x = pixel % width;
    const std::size_t y = pixel / width;
    const unsigned grain = (i % 64 == 0) ? static_cast<unsigned>(next_random(state) & 3) : 0;
    out[i] = static_cast<char>((i % 3 == 0 ? x / 8 : i % 3 == 1 ? y / 4 : (x + y) / 16) + grain);
  }
  return out;
}

// A 12 KiB tile repeated, every 997th byte changed: panels, decals, stripes.
std::string repeated_blocks(std::int64_t size, std::uint64_t seed) {
  const std::string tile = noise(12 * 1024, seed);
  std::string out(static_cast<std::size_t>(size), '\0');
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = tile[i % tile.size()];
  for (std::size_t i = 0; i < out.size(); i += 997) out[i] = static_cast<char>(i >> 10);
  return out;
}

}  // namespace

Measurement measure(int runs, const std::function<void()>& prepare, const std::function<bool()>& operation) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    close(fds[0]);
    run_child(fds[1], runs, prepare, operation);
  }
  close(fds[1]);
  std::string text;
  char buffer[256];
  ssize_t n = 0;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  Measurement m;
  int ok = 0;
  long long peak = 0;
  std::istringstream in(text);
  if (in >> ok >> m.best_seconds >> m.median_seconds >> m.best_cpu_seconds >> peak) {
    m.ok = ok == 1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    m.peak_kib = peak;
  }
  return m;
}

ScratchDir::ScratchDir(const std::string& tag) {
  std::string pattern = (std::filesystem::temp_directory_path() / ("pw_bench_" + tag + "_XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() { remove_tree(path_); }

std::string make_sim_tree(const std::string& root, const std::string& aircraft_cfg) {
  write_file(root + "/FSX.EXE", "MZ");
  make_folder(root + "/Varnel Software/FSX Paintwell/Media");
  const std::string aircraft = root + "/SimObjects/Airplanes/Bench";
  make_folder(aircraft + "/Downloads");
  write_file(aircraft + "/Aircraft.cfg", aircraft_cfg);
  return aircraft;
}

std::string generated_aircraft_cfg(int entries) {
  std::string cfg = "[General]\r\natc_type=BOEING\r\natc_model=B737\r\n\r\n";
  for (int n = 0; n < entries; ++n) {
    const std::string id = std::to_string(n);
    cfg += "[fltsim." + id + "]\r\ntitle=Boeing 737-800 Livery " + id + "\r\nsim=Boeing737-800\r\nmodel=\r\n" +
           "sound=\r\npanel=\r\ntexture=T" + id + "\r\nkb_checklists=Boeing737-800_check\r\n" +
           "kb_reference=Boeing737-800_ref\r\nkb_notes=\r\natc_id=N" + id + "B\r\natc_airline=Bench Air\r\n" +
           "atc_flight_number=" + id + "\r\natc_heavy=0\r\natc_type=BOEING\r\nui_manufacturer=\"Boeing\"\r\n" +
           "ui_type=\"737-800\"\r\nui_variation=\"Bench Air " + id + "\"\r\nui_typerole=\"Commercial Airliner\"\r\n" +
           "ui_createdby=\"Bench Painter\"\r\ndescription=\"A generated livery for the benchmark, number " + id +
           ".\"\r\natc_model=B738\r\natc_id_font=Verdana,-11,1,600,0\r\natc_id_color=0xffffffff\r\n" +
           "atc_id_enable=1\r\natc_parking_codes=BNC\r\natc_parking_types=GATE\r\n" +
           "visual_model_guid={00000000-0000-0000-0000-" + std::string(12 - std::min<std::size_t>(12, id.size()), '0') +
           id + "}\r\nui_thumbnailfile=thumb.jpg\r\nsoundai=\r\nvisual_damage=1\r\nprop_anim_ratio=1.0\r\n\r\n";
  }
  return cfg;
}

std::int64_t write_texture_files(const std::string& folder, int count, std::int64_t size) {
  make_folder(folder);
  // Generated in a child, so that this process stays small: the children
  // that measure inherit its resident memory.
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    for (int i = 0; i < count; ++i) {
      const std::uint64_t seed = static_cast<std::uint64_t>(i) + 1;
      const std::string bytes =
          i % 3 == 0 ? noise(size, seed) : i % 3 == 1 ? gradient(size, seed) : repeated_blocks(size, seed);
      char name[32];
      std::snprintf(name, sizeof name, "texture_%02d.dds", i);
      write_file(folder + "/" + name, bytes);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("cannot write the texture files");
  return size * count;
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool plain_read(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const off_t size = lseek(fd, 0, SEEK_END);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  const bool ok = pread(fd, bytes.data(), bytes.size(), 0) == size;
  close(fd);
  return ok;
}

void make_folder(const std::string& path) { std::filesystem::create_directories(path); }

void remove_tree(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

std::string ratio(double value, double baseline) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2fx", baseline > 0 ? value / baseline : 0.0);
  return text;
}

std::string mib(std::int64_t kib) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(kib) / 1024.0);
  return text;
}

std::string load_average() {
  std::string text = read_file("/proc/loadavg");
  return text.substr(0, text.find(' ', text.find(' ', text.find(' ') + 1) + 1));
}

namespace {

const char* const kAirlines[] = {"Sunrise Air", "Northwind", "Bench Air", "Alpine Express", "Coastal"};

// The generated aircraft.cfg with the aircraft's number in each title and
// an airline that varies, so that searches find some entries, not all.
std::string library_aircraft_cfg(int k) {
  std::string cfg = generated_aircraft_cfg(kLibraryEntries);
  const std::string airline = kAirlines[k % 5];
  for (std::size_t at = 0; (at = cfg.find("Livery ", at)) != std::string::npos; at += 8) cfg.insert(at, "A" + std::to_string(k) + " ");
  for (std::size_t at = 0; (at = cfg.find("Bench Air", at)) != std::string::npos; at += airline.size()) {
    cfg.replace(at, 9, airline);
  }
  return cfg;
}

}  // namespace

std::vector<std::string> make_library_simulator(const std::string& root) {
  const std::vector<std::string> places{root + "/SimObjects/Airplanes", root + "/Addon/SimObjects/Airplanes"};
  for (int k = 0; k < kLibraryAircraft; ++k) {
    const std::string folder = places[k % 5 == 4 ? 1 : 0] + "/Aircraft " + std::to_string(k);
    make_folder(folder);
    write_file(folder + "/aircraft.cfg", library_aircraft_cfg(k));
    for (int n = 0; n < kLibraryEntries; ++n) {
      const std::string texture = folder + "/Texture.T" + std::to_string(n);
      make_folder(texture);
      write_file(texture + "/thumbnail.jpg", "\xFF\xD8");
    }
  }
  return places;
}

void keep_best(Measurement& best, const Measurement& m) {
  if (!m.ok) best.ok = false;
  if (best.best_seconds == 0 || m.best_seconds < best.best_seconds) best.best_seconds = m.best_seconds;
  best.peak_kib = std::max(best.peak_kib, m.peak_kib);
}

void print_seconds(const char* what, const Measurement& m) {
  std::printf("  %-58s %7.3f s  peak %s%s\n", what, m.best_seconds, mib(m.peak_kib).c_str(), m.ok ? "" : "  FAILED");
}

}  // namespace pw::bench
