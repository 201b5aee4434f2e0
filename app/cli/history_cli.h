// paintwell-cli's commands on what was done to an aircraft: its log, its
// restore points, and undo of the latest. Each gives the text for
// standard output.
#pragma once

#include <iosfwd>
#include <string>

#include "app/aircraft_session.h"
#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

// Paintwell.log as it is; empty when there is none yet.
Result<std::string> log_listing(FileSystem& fs, const std::string& aircraft_folder);

// The restore points, newest first, one history_line each, or as one JSON
// document (history_json).
Result<std::string> history_listing(FileSystem& fs, const std::string& aircraft_folder, bool json);

// The session's undo of the latest point read under its lock; on success
// the line printed ("undone", TAB, the point's history_line), with a note
// on `err` when the point could not be marked undone. Errors: those of
// undo_restore_point.
Result<std::string> undo_listing(FileSystem& fs, AircraftSession& session, std::ostream& err);

}  // namespace pw
