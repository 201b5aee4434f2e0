#include "app/startup.h"

#include "app/simulator.h"
#include "base/file_ops.h"

namespace pw {

std::string sim_root_for(const std::string& program_folder) {
  return parent_path(parent_path(program_folder));
}

bool locate_simulator(Session& ctx, const std::string& program_folder, const std::string& sim_root,
                      const AddonSources& addons) {
  ctx.state.program_folder = program_folder;
  ctx.state.g_SimRoot = sim_root.empty() ? sim_root_for(program_folder) : sim_root;
  const std::optional<Simulator> found = find_simulator(ctx.fs, ctx.state.g_SimRoot);
  if (!found) return false;
  ctx.state.simulator_name = found->name;
  AddonFolders declared = read_addon_folders(ctx.fs, addons);
  ctx.state.addon_folders = std::move(declared.folders);
  ctx.state.addon_refusals = std::move(declared.refusals);
  return true;
}

}  // namespace pw
