// The aircraft.cfg file and its two backups in the aircraft's folder.
#pragma once

#include <cstdint>
#include <string>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

// <folder>\Aircraft.cfg (and the backups), doubled backslashes reduced.
std::string aircraft_cfg_path(const std::string& aircraft_folder);
std::string aircraft_001_path(const std::string& aircraft_folder);
std::string aircraft_vnb_path(const std::string& aircraft_folder);

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
