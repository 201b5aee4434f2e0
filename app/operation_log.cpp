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

namespace {

constexpr std::string_view kRecordEnd = "\r\n\r\n";

// True when the log ends with a whole record, so a new one can simply be
// written after it. A missing or empty log counts as ended.
bool ends_with_whole_record(FileSystem& fs, const std::string& path) {
  if (!fs.exists(path)) return true;
  Result<std::unique_ptr<InputFile>> file = fs.open_read(path);
  if (!file) return false;
  const std::int64_t size = (*file)->size();
  if (size == 0) return true;
  if (size < static_cast<std::int64_t>(kRecordEnd.size())) return false;
  char tail[4];
  Result<std::size_t> read = (*file)->read_at(size - 4, tail);
  return read && *read == 4 && std::string_view(tail, 4) == kRecordEnd;
}

Result<void> append_in_place(FileSystem& fs, const std::string& path, std::string_view text) {
  Result<std::unique_ptr<OutputFile>> file = fs.open_append(path);
  if (!file) return file.error();
  PW_TRY((*file)->write(text));
  PW_TRY((*file)->sync());
  return (*file)->close();
}

}  // namespace

Result<void> append_log_record(FileSystem& fs, const std::string& aircraft_folder, const LogRecord& record) {
  constexpr std::int64_t kMaxLogBytes = 16 * 1024 * 1024;
  const std::string path = operation_log_path(aircraft_folder);
  const std::string text = format_log_record(record, utc_now_text());
  if (ends_with_whole_record(fs, path)) return append_in_place(fs, path, text);
  // A record cut short (a full disk, the program stopped): the log is
  // rewritten in one step with that record closed, so the new one starts
  // on a line of its own.
  Result<std::string> old = read_whole_file(fs, path, kMaxLogBytes);
  if (!old) return old.error();
  std::string log = std::move(*old);
  while (!log.ends_with(kRecordEnd)) log += log.ends_with("\r") ? "\n" : "\r\n";
  return replace_file(fs, path, log + text);
}

}  // namespace pw
