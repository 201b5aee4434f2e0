// The package listing of an aircraft and the browse check.
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "aircraft/cfg_files.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "config/ez_cfg.h"
#include "packages/package_format.h"
#include "packages/package_installation.h"

namespace pw {
namespace {

bool less_ignoring_case(const std::string& a, const std::string& b) {
  const std::string la = to_lower(a);
  const std::string lb = to_lower(b);
  if (la != lb) return la < lb;
  return a < b;
}

Error too_many_packages() {
  return make_error(ErrorCode::kRefused, "more than " + std::to_string(kMaxListedPackages) + " packages to list");
}

// Full paths of the .pkg files in <aircraft>\Downloads, sorted by name
// without regard to case as the simulator's platform lists them.
Result<std::vector<std::string>> downloaded_packages(FileSystem& fs, const std::string& aircraft_folder) {
  const std::string folder = aircraft_folder + "\\Downloads\\";
  auto names = list_matching(fs, collapse_backslashes(folder) + "*.pkg", ListFilter::kNormalFiles);
  if (!names) return names.error();
  std::sort(names->begin(), names->end(), less_ignoring_case);
  std::vector<std::string> paths;
  for (const std::string& name : *names) {
    // The platform's wildcard also matches long extensions that merely start with .pkg.
    if (name.size() < 4 || !iequals(std::string_view(name).substr(name.size() - 4), ".pkg")) continue;
    if (paths.size() == static_cast<std::size_t>(kMaxListedPackages)) return too_many_packages();
    paths.push_back(folder + trim_blanks(name));
  }
  return paths;
}

Result<FltsimEntry> read_entry_of(FileSystem& fs, const std::string& path) {
  auto opened = fs.open_read(path);
  if (!opened) return opened.error();
  return read_package_entry(**opened);
}

// A folder text as the browse check compares it: lower case, runs of
// backslashes reduced to one, no trailing backslash. The carried text is
// NUL-filled, so NULs that reach the end of a value are dropped too.
std::string comparable_folder(std::string_view folder) {
  std::string text = to_lower(folder);
  while (text.find("\\\\") != std::string::npos) text = collapse_backslashes(text);
  while (!text.empty() && (text.back() == '\\' || text.back() == '\0')) text.pop_back();
  return text;
}

}  // namespace

Result<PackageHead> read_head_of(FileSystem& fs, const std::string& path) {
  auto opened = fs.open_read(path);
  if (!opened) return opened.error();
  return read_package_head(**opened);
}

Result<PackageListing> list_packages(FileSystem& fs, const std::string& aircraft_folder, const std::string& browsed) {
  return list_packages(fs, aircraft_folder, std::vector<std::string>{browsed});
}

Result<PackageListing> list_packages(FileSystem& fs, const std::string& aircraft_folder,
                                     const std::vector<std::string>& browsed) {
  auto paths = downloaded_packages(fs, aircraft_folder);
  if (!paths) return paths.error();
  for (const std::string& path : browsed) {
    const std::string extra = trim_blanks(path);
    if (extra.empty()) continue;
    if (paths->size() == static_cast<std::size_t>(kMaxListedPackages)) return too_many_packages();
    paths->push_back(extra);
  }
  PackageListing listing;
  for (const std::string& path : *paths) {
    auto head = read_head_of(fs, path);
    if (!head) {
      listing.damaged.push_back({trim_blanks(path), head.error().message});
      continue;
    }
    listing.entries.push_back(std::move(head->entry));
    listing.paths.push_back(trim_blanks(path));
  }
  return listing;
}

Result<std::optional<std::string>> package_aircraft_folder(FileSystem& fs, const std::string& sim_root,
                                                           const std::vector<std::string>& addon_folders,
                                                           const std::string& package_path) {
  auto entry = read_entry_of(fs, package_path);
  if (!entry) return entry.error();
  // Read as the program reads every .rcf, but from memory: the program's
  // own folder is often read-only (Program Files).
  EZ_CFG cfg(fs);
  cfg.ReadCFGText(entry->rcf_text + "\r\n");
  return aircraft_folder_for(sim_root, addon_folders, cfg.GetValue("folder"));
}

Result<bool> package_fits_aircraft(FileSystem& fs, const std::string& sim_root,
                                   const std::vector<std::string>& addon_folders, const std::string& aircraft_folder,
                                   const std::string& package_path) {
  auto named = package_aircraft_folder(fs, sim_root, addon_folders, package_path);
  if (!named) return named.error();
  return named->has_value() && comparable_folder(aircraft_folder) == comparable_folder(**named);
}

}  // namespace pw
