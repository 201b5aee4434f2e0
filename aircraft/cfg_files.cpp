#include "aircraft/cfg_files.h"

#include "aircraft/entry_writer.h"
#include "base/file_ops.h"
#include "base/text.h"

namespace pw {
namespace {

std::string in_folder(const std::string& aircraft_folder, const char* name) {
  return collapse_backslashes(aircraft_folder + "\\" + name);
}

}  // namespace

std::string aircraft_cfg_path(const std::string& aircraft_folder) {
  return in_folder(aircraft_folder, "Aircraft.cfg");
}
std::string aircraft_001_path(const std::string& aircraft_folder) {
  return in_folder(aircraft_folder, "Aircraft.001");
}
std::string aircraft_vnb_path(const std::string& aircraft_folder) {
  return in_folder(aircraft_folder, "Aircraft.vnb");
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
