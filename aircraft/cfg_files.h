// The aircraft.cfg file and its two backups in the aircraft's folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

// <folder>\Aircraft.cfg (and the backups), doubled backslashes reduced.
std::string aircraft_cfg_path(const std::string& aircraft_folder);
std::string aircraft_001_path(const std::string& aircraft_folder);
std::string aircraft_vnb_path(const std::string& aircraft_folder);

// The aircraft folder an .rcf's "folder" value names: the simulator root,
// one '\', the value, doubled backslashes and a trailing one removed; or the
// value itself when it is an absolute path inside one of `addon_folders`
// (Prepar3D loads aircraft from those too). nullopt when the value is empty
// or would lead anywhere else (a "..", a drive): a package from a stranger
// must not aim writes elsewhere.
std::optional<std::string> aircraft_folder_for(const std::string& sim_root, const std::vector<std::string>& addon_folders,
                                               const std::string& folder_value);

// The "folder" value that names `aircraft_folder`, as aircraft_folder_for
// reads it: relative to the root with '\' when inside it, else the folder
// itself.
std::string folder_value_for(const std::string& sim_root, const std::string& aircraft_folder);

// Copies Aircraft.cfg to Aircraft.001 unless that exists: 1 = copied,
// 2 = it existed, 0 = the copy failed.
std::int32_t BackupAircraftCfgOnce(FileSystem& fs, const std::string& aircraft_folder);

// Replaces Aircraft.vnb with a copy of Aircraft.cfg, taken just before an
// install or removal. Errors: those of reading or writing.
Result<void> RefreshAircraftCfgBackup(FileSystem& fs, const std::string& aircraft_folder);

// Tidies the empty lines of Aircraft.cfg (see normalise_aircraft_cfg_text),
// replacing the file in one step so no failure leaves the folder without it.
Result<void> NormaliseAircraftCfg(FileSystem& fs, const std::string& aircraft_folder);

// Upper bound on the size of an aircraft.cfg this program will load.
inline constexpr std::int64_t kMaxAircraftCfgBytes = 64 * 1024 * 1024;

}  // namespace pw
