#include "app/startup.h"

#include "app/simulator.h"
#include "base/file_ops.h"

namespace pw {

std::string sim_root_for(const std::string& program_folder) {
  return parent_path(parent_path(program_folder));
}

bool locate_simulator(Session& ctx, const std::string& program_folder, const std::string& sim_root,
                      const SimulatorSources& given) {
  ctx.state.program_folder = program_folder;
  ctx.state.g_SimRoot = sim_root.empty() ? sim_root_for(program_folder) : sim_root;
  const std::optional<Simulator> found = find_simulator(ctx.fs, ctx.state.g_SimRoot);
  if (!found) return false;
  ctx.state.simulator_name = found->name;
  SimulatorSources sources = default_simulator_sources(found->name);
  add_ini_sources(ctx.fs, program_folder, sources);
  sources.sim_configs.insert(sources.sim_configs.end(), given.sim_configs.begin(), given.sim_configs.end());
  AddonSources& addons = sources.addons;
  addons.config_files.insert(addons.config_files.end(), given.addons.config_files.begin(), given.addons.config_files.end());
  addons.discovery_folders.insert(addons.discovery_folders.end(), given.addons.discovery_folders.begin(),
                                  given.addons.discovery_folders.end());
  SharedState& s = ctx.state;
  AddonFolders declared = read_addon_folders(ctx.fs, addons);
  s.addon_folders = std::move(declared.folders);
  s.addon_refusals = std::move(declared.refusals);
  s.aircraft_places = find_aircraft_places(ctx.fs, s.g_SimRoot, sources.sim_configs, s.addon_folders);
  for (const std::string& place : s.aircraft_places.folders) {
    if (!is_inside_folder(place, s.g_SimRoot)) s.addon_folders.push_back(place);
  }
  return true;
}

}  // namespace pw
