#include "app/desktop/desktop_options.h"

#include "base/file_ops.h"

namespace pw {

DesktopOptions parse_desktop_options(const std::vector<std::string>& args, const std::string& current_directory) {
  DesktopOptions o;
  const auto absolute = [&](const std::string& path) { return absolute_path(current_directory, path); };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool is_list = a == "--sim-config" || a == "--addons-config";
    if (is_list && i + 1 == args.size()) {
      o.problem = a + " needs a value";
      return o;
    }
    if (a == "--sim-config") {
      o.sources.sim_configs.push_back(absolute(args[++i]));
    } else if (a == "--addons-config") {
      o.sources.addons.config_files.push_back(absolute(args[++i]));
    } else {
      o.packages.push_back(absolute(a));
    }
  }
  return o;
}

}  // namespace pw
