#include "app/operation_log.h"

#include <chrono>
#include <cstdio>

#include "base/file_ops.h"

namespace pw {

std::string operation_log_path(const std::string& aircraft_folder) {
  return join_path(aircraft_folder, "Paintwell.log");
}

std::string format_log_record(const LogRecord& record, const std::string& utc_time) {
  std::string text = utc_time + "  " + record.operation + "\r\n";
  for (const std::string& line : record.details) text += "    " + line + "\r\n";
  text += "    result: " + record.result + "\r\n\r\n";
  return text;
}

std::string utc_now_text() {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
  const year_month_day date{floor<days>(now)};
  const hh_mm_ss time{now - floor<days>(now)};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d UTC", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
  return text;
}

Result<void> append_log_record(FileSystem& fs, const std::string& aircraft_folder, const LogRecord& record) {
  constexpr std::int64_t kMaxLogBytes = 16 * 1024 * 1024;
  const std::string path = operation_log_path(aircraft_folder);
  std::string log;
  if (fs.exists(path)) {
    Result<std::string> old = read_whole_file(fs, path, kMaxLogBytes);
    if (!old) return old.error();
    log = std::move(*old);
  }
  return replace_file(fs, path, log + format_log_record(record, utc_now_text()));
}

}  // namespace pw
