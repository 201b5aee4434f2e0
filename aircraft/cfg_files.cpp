#include "aircraft/cfg_files.h"

#include <algorithm>

#include "aircraft/entry_writer.h"
#include "base/file_ops.h"
#include "base/text.h"

namespace pw {
namespace {

std::string in_folder(const std::string& aircraft_folder, const char* name) {
  return collapse_backslashes(aircraft_folder + "\\" + name);
}

// An absolute "folder" value: a drive, a share or a POSIX root. One leading
// backslash still means the simulator's root, as .rcf files write it.
bool is_absolute(const std::string& path) {
  return path.find(':') != std::string::npos || path.starts_with("\\\\") || path.starts_with('/');
}

bool has_parent_step(const std::string& path) {
  return ("\\" + replace_all(path, "/", "\\") + "\\").find("\\..\\") != std::string::npos;
}

bool inside_any(const std::string& path, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (is_inside_folder(path, folder)) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> aircraft_folder_for(const std::string& sim_root, const std::vector<std::string>& addon_folders,
                                               const std::string& folder_value) {
  if (folder_value.empty() || has_parent_step(folder_value)) return std::nullopt;
  // A POSIX add-on folder in its core form starts with one '\' too; inside
  // a declared add-on folder it is that folder, as the root's never lie there.
  const bool addon = (is_absolute(folder_value) || folder_value.starts_with('\\')) && inside_any(folder_value, addon_folders);
  if (!addon && folder_value.find(':') != std::string::npos) return std::nullopt;
  std::string folder = collapse_backslashes(addon ? folder_value : sim_root + "\\" + folder_value);
  if (addon && folder_value.starts_with("\\\\")) folder.insert(0, "\\");  // a network share keeps its two
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

std::string aircraft_cfg_path(const std::string& aircraft_folder) {
  return in_folder(aircraft_folder, "Aircraft.cfg");
}
std::string aircraft_001_path(const std::string& aircraft_folder) {
  return in_folder(aircraft_folder, "Aircraft.001");
}
std::string aircraft_vnb_path(const std::string& aircraft_folder) {
  return in_folder(aircraft_folder, "Aircraft.vnb");
}

std::string folder_value_for(const std::string& sim_root, const std::string& aircraft_folder) {
  if (!is_inside_folder(aircraft_folder, sim_root) || aircraft_folder.size() < sim_root.size()) return aircraft_folder;
  std::string value = aircraft_folder.substr(sim_root.size());
  std::replace(value.begin(), value.end(), '/', '\\');
  const auto first = value.find_first_not_of('\\');
  return first == std::string::npos ? std::string() : value.substr(first);
}

std::int32_t BackupAircraftCfgOnce(FileSystem& fs, const std::string& aircraft_folder) {
  const std::string backup = aircraft_001_path(aircraft_folder);
  if (fs.exists(backup)) return 2;
  return copy_file(fs, aircraft_cfg_path(aircraft_folder), backup).ok() ? 1 : 0;
}

Result<void> RefreshAircraftCfgBackup(FileSystem& fs, const std::string& aircraft_folder) {
  return copy_file(fs, aircraft_cfg_path(aircraft_folder), aircraft_vnb_path(aircraft_folder));
}

Result<void> NormaliseAircraftCfg(FileSystem& fs, const std::string& aircraft_folder) {
  const std::string path = aircraft_cfg_path(aircraft_folder);
  Result<std::string> bytes = read_whole_file(fs, path, kMaxAircraftCfgBytes);
  if (!bytes) return bytes.error();
  return replace_file(fs, path, normalise_aircraft_cfg_text(*bytes));
}

}  // namespace pw
