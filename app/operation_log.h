// Paintwell.log in the aircraft's folder: one plain-text record for every
// operation that changed the aircraft, so users can see what was done.
#pragma once

#include <string>
#include <vector>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

struct LogRecord {
  std::string operation;             // "install", "remove", "repair"
  std::vector<std::string> details;  // one line each: packages, sections, folders
  std::string result;                // "done", or what failed
};

// <aircraft folder>\Paintwell.log
std::string operation_log_path(const std::string& aircraft_folder);

// The record as it stands in the log: a line with the UTC time and the
// operation, the details indented, the result.
std::string format_log_record(const LogRecord& record, const std::string& utc_time);

// "YYYY-MM-DD hh:mm:ss UTC" of now.
std::string utc_now_text();

// Appends the record. When the log ends with a whole record the new one is
// written after it in place, so a long log costs nothing; otherwise (a
// record cut short by a full disk or a stop) the log is replaced in one
// step with the cut record closed. A failure never damages earlier
// records. Errors: those of the file layer.
Result<void> append_log_record(FileSystem& fs, const std::string& aircraft_folder, const LogRecord& record);

}  // namespace pw
