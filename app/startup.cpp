#include "app/startup.h"

#include "base/file_ops.h"

namespace pw {

std::string sim_root_for(const std::string& program_folder) {
  return parent_path(parent_path(program_folder));
}

bool locate_simulator(Session& ctx, const std::string& program_folder, const std::string& sim_root) {
  ctx.state.program_folder = program_folder;
  ctx.state.g_SimRoot = sim_root.empty() ? sim_root_for(program_folder) : sim_root;
  return ctx.fs.exists(join_path(ctx.state.g_SimRoot, "FSX.EXE"));
}

}  // namespace pw
