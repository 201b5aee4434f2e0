#include "app/aircraft_places.h"

#include <algorithm>
#include <string_view>

#include "base/file_ops.h"
#include "base/platform/process.h"
#include "base/text.h"
#include "config/profile.h"

namespace pw {
namespace {

// Simulator lists are small; a larger file is no list.
constexpr std::int64_t kMaxListBytes = 1 << 20;

std::string resolved(const std::string& base, const std::string& path) { return absolute_path(base, path); }

// The active folders of one fsx.cfg or simobjects.cfg, in file order.
std::vector<std::string> listed_paths(const ProfileDocument& cfg) {
  std::vector<std::string> paths;
  if (const auto main = cfg.section_position("Main")) {
    for (const auto& [key, value] : cfg.key_values(*main)) {
      if (starts_with_ci(trim_blanks_tabs(key), "SimObjectPaths.")) paths.push_back(trim_blanks_tabs(value));
    }
  }
  for (const std::string& section : cfg.section_names()) {
    if (!starts_with_ci(section, "Entry.")) continue;
    const bool active = !iequals(cfg.find(section, "Active").value_or("True"), "False");
    if (active) paths.push_back(cfg.find(section, "Path").value_or(""));
  }
  std::erase(paths, "");
  return paths;
}

class PlaceList {
 public:
  explicit PlaceList(FileSystem& fs) : fs_(fs) {}

  // Adds an existing folder once; says so when it is missing.
  void add(const std::string& folder, const std::string& named_as, const std::string& where) {
    const auto same = [&](const std::string& known) { return is_same_folder(known, folder); };
    if (std::any_of(places_.folders.begin(), places_.folders.end(), same)) return;
    if (fs_.is_folder(folder)) return places_.folders.push_back(folder);
    places_.problems.push_back(named_as + ", listed in " + where + ", does not exist");
  }

  AircraftPlaces take() { return std::move(places_); }

 private:
  FileSystem& fs_;
  AircraftPlaces places_;
};

}  // namespace

SimulatorSources default_simulator_sources(const std::string& simulator_name) {
  SimulatorSources sources{{}, default_addon_sources()};
  const std::string roaming = known_folder(KnownFolder::kRoamingAppData);
  const std::string shared = known_folder(KnownFolder::kProgramData);
  if (starts_with_ci(simulator_name, "FSX") && !roaming.empty()) {
    const bool steam = simulator_name != "FSX";
    sources.sim_configs.push_back(join_path(roaming, steam ? "Microsoft\\FSX-SE\\fsx.cfg" : "Microsoft\\FSX\\fsx.cfg"));
  }
  if (starts_with_ci(simulator_name, "Prepar3D") && !shared.empty()) {
    // Each version keeps its own list; one of another version would name
    // folders of another root.
    for (const std::string version : {"v1", "v2", "v3", "v4", "v5"}) {
      if (simulator_name != "Prepar3D" && !ends_with_ci(simulator_name, version)) continue;
      sources.sim_configs.push_back(join_path(shared, "Lockheed Martin\\Prepar3D " + version + "\\simobjects.cfg"));
    }
  }
  return sources;
}

void add_ini_sources(FileSystem& fs, const std::string& program_folder, SimulatorSources& sources) {
  const Result<std::string> text = read_whole_file(fs, join_path(program_folder, "Paintwell.ini"), kMaxListBytes);
  if (!text) return;
  const ProfileDocument ini = ProfileDocument::parse(*text);
  const auto add_numbered = [&](const std::string& key, std::vector<std::string>& to) {
    for (int n = 0; const auto value = ini.find("simulator", key + "." + std::to_string(n)); ++n) {
      if (!value->empty()) to.push_back(resolved(program_folder, *value));
    }
  };
  add_numbered("sim_config", sources.sim_configs);
  add_numbered("addons_config", sources.addons.config_files);
}

AircraftPlaces find_aircraft_places(FileSystem& fs, const std::string& sim_root, const std::vector<std::string>& sim_configs,
                                    const std::vector<std::string>& addon_folders) {
  PlaceList places(fs);
  bool listed = false;
  for (const std::string& file : sim_configs) {
    const Result<std::string> bytes = read_whole_file(fs, file, kMaxListBytes);
    if (!bytes) continue;
    listed = true;
    for (const std::string& path : listed_paths(ProfileDocument::parse(*bytes))) {
      places.add(resolved(sim_root, path), path, fs.native_path(file));
    }
  }
  // The simulator's list names its own folders too; without one, each
  // folder of SimObjects is taken as the simulator's defaults do.
  const std::string sim_objects = join_path(sim_root, "SimObjects");
  Result<std::vector<DirEntry>> kinds = listed ? std::vector<DirEntry>{} : fs.list(sim_objects);
  for (const DirEntry& kind : kinds ? *kinds : std::vector<DirEntry>{}) {
    if (kind.is_folder) places.add(join_path(sim_objects, kind.name), kind.name, "");
  }
  for (const std::string& folder : addon_folders) places.add(folder, fs.native_path(folder), "the add-on declarations");
  return places.take();
}

}  // namespace pw
