#include "packages/restore_points.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>

#include "aircraft/cfg_files.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "config/profile.h"
#include "packages/package_format.h"

namespace pw {
namespace {

constexpr const char* kManifestName = "manifest.txt";
constexpr const char* kCfgName = "aircraft.cfg";
constexpr const char* kMovedName = "folders";
constexpr std::int64_t kMaxManifestBytes = 4 * 1024 * 1024;

using Millis = std::chrono::sys_time<std::chrono::milliseconds>;

// "20261207-143700.123": fixed width, so name order is time order.
std::string point_time_text(Millis when) {
  using namespace std::chrono;
  const auto day = floor<days>(when);
  const year_month_day date{day};
  const hh_mm_ss time{when - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02u%02u-%02d%02d%02d.%03d", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
  return text;
}

std::optional<Millis> parse_point_time(std::string_view name) {
  int y = 0;
  unsigned mo = 0, d = 0;
  int h = 0, mi = 0, s = 0, ms = 0;
  const std::string text(name.substr(0, 19));
  if (std::sscanf(text.c_str(), "%4d%2u%2u-%2d%2d%2d.%3d", &y, &mo, &d, &h, &mi, &s, &ms) != 7) return std::nullopt;
  using namespace std::chrono;
  const year_month_day date{year{y}, month{mo}, day{d}};
  if (!date.ok()) return std::nullopt;
  return Millis{sys_days{date}} + hours{h} + minutes{mi} + seconds{s} + milliseconds{ms};
}

// Now, or just after the newest point when the clock is behind it.
std::string next_point_time(const std::vector<std::string>& existing) {
  Millis when = std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
  for (const std::string& name : existing) {
    if (auto taken = parse_point_time(name); taken && *taken >= when) when = *taken + std::chrono::milliseconds{1};
  }
  return point_time_text(when);
}

Result<std::vector<std::string>> point_names(FileSystem& fs, const std::string& aircraft_folder) {
  Result<std::vector<DirEntry>> entries = fs.list(history_folder(aircraft_folder));
  if (!entries) {
    if (entries.error().code == ErrorCode::kNotFound) return std::vector<std::string>{};
    return entries.error();
  }
  std::vector<std::string> names;
  for (const DirEntry& entry : *entries) {
    if (entry.is_folder && parse_point_time(entry.name)) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string moved_folder(const RestorePoint& point) { return join_path(point.folder, kMovedName); }

// Deletes a folder with everything below it; errors are ignored.
void remove_tree(FileSystem& fs, const std::string& folder) {
  if (Result<std::vector<DirEntry>> entries = fs.list(folder)) {
    for (const DirEntry& entry : *entries) {
      const std::string path = join_path(folder, entry.name);
      if (entry.is_folder) {
        remove_tree(fs, path);
      } else {
        (void)fs.remove_file(path);
      }
    }
  }
  (void)fs.remove_folder(folder);
}

std::int64_t tree_bytes(FileSystem& fs, const std::string& folder) {
  std::int64_t total = 0;
  Result<std::vector<DirEntry>> entries = fs.list(folder);
  if (!entries) return 0;
  for (const DirEntry& entry : *entries) {
    const std::string path = join_path(folder, entry.name);
    if (entry.is_folder) {
      total += tree_bytes(fs, path);
    } else if (auto stamp = fs.stamp(path)) {
      total += stamp->size;
    }
  }
  return total;
}

// The new file's bytes, unsynced (see begin_restore_point).
Result<void> write_new_file(FileSystem& fs, const std::string& path, std::string_view bytes) {
  Result<std::unique_ptr<OutputFile>> file = fs.create_new(path);
  if (!file) return file.error();
  PW_TRY((*file)->write(bytes));
  return (*file)->close();
}


std::optional<std::int64_t> positive_number(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  const std::string value = trim_blanks(*text);
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || number <= 0) return std::nullopt;
  return number;
}

// Manifest keys of the repeated lines, in the order they are written.
struct ListKey {
  const char* key;
  std::vector<std::string> RestoreManifest::*member;
  bool is_folder;
};
constexpr ListKey kListKeys[] = {
    {"package", &RestoreManifest::packages, false},
    {"section_written", &RestoreManifest::sections_written, false},
    {"section_deleted", &RestoreManifest::sections_deleted, false},
    {"folder_created", &RestoreManifest::folders_created, true},
    {"folder_removed", &RestoreManifest::folders_removed, true},
};

void add_line(std::string& text, std::string_view key, std::string_view value) {
  text.append(key).append("=").append(value).append("\r\n");
}

// One key=value line into the manifest; false for an unsafe folder name.
bool take_line(RestoreManifest& manifest, std::string_view key, std::string value) {
  if (key == "operation") manifest.operation = std::move(value);
  if (key == "time") manifest.time = std::move(value);
  if (key == "cfg_before") manifest.cfg_before = std::move(value);
  if (key == "cfg_after") manifest.cfg_after = std::move(value);
  if (key == "undone") manifest.undone = value == "yes";
  for (const ListKey& list : kListKeys) {
    if (key != list.key) continue;
    if (list.is_folder && !is_safe_entry_name(value)) return false;
    (manifest.*list.member).push_back(std::move(value));
  }
  return true;
}

}  // namespace

std::string history_folder(const std::string& aircraft_folder) {
  return join_path(aircraft_folder, "Paintwell.history");
}

std::string cfg_fingerprint(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  char text[48];
  std::snprintf(text, sizeof text, "%zu:%016llx", bytes.size(), static_cast<unsigned long long>(hash));
  return text;
}

std::string format_manifest(const RestoreManifest& manifest) {
  std::string text;
  add_line(text, "operation", manifest.operation);
  add_line(text, "time", manifest.time);
  add_line(text, "cfg_before", manifest.cfg_before);
  add_line(text, "cfg_after", manifest.cfg_after);
  add_line(text, "undone", manifest.undone ? "yes" : "no");
  for (const ListKey& list : kListKeys) {
    for (const std::string& value : manifest.*list.member) add_line(text, list.key, value);
  }
  return text;
}

Result<RestoreManifest> parse_manifest(std::string_view text) {
  RestoreManifest manifest;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(text.find_first_not_of("\r\n", end), text.size()));
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (!take_line(manifest, line.substr(0, equals), std::string(line.substr(equals + 1)))) {
      return make_error(ErrorCode::kDamaged, "unsafe folder name in the manifest: " + std::string(line));
    }
  }
  if (manifest.operation.empty()) return make_error(ErrorCode::kDamaged, "the manifest names no operation");
  return manifest;
}

Result<RestorePoint> begin_restore_point(FileSystem& fs, const std::string& aircraft_folder,
                                         const std::string& operation, std::string_view cfg_before) {
  Result<std::vector<std::string>> names = point_names(fs, aircraft_folder);
  if (!names) return names.error();
  const std::string history = history_folder(aircraft_folder);
  if (!fs.is_folder(history)) PW_TRY(fs.make_folder(history));
  const std::string time = next_point_time(*names);
  RestorePoint point{join_path(history, time + "-" + operation), {}};
  point.manifest.operation = operation;
  point.manifest.time = time + " UTC";
  point.manifest.cfg_before = cfg_fingerprint(cfg_before);
  PW_TRY(fs.make_folder(point.folder));
  if (Result<void> copied = write_new_file(fs, join_path(point.folder, kCfgName), cfg_before); !copied) {
    remove_tree(fs, point.folder);
    return copied.error();
  }
  return point;
}

Result<void> seal_restore_point(FileSystem& fs, RestorePoint& point, std::string_view cfg_after) {
  point.manifest.cfg_after = cfg_fingerprint(cfg_after);
  return replace_file(fs, join_path(point.folder, kManifestName), format_manifest(point.manifest));
}

void discard_restore_point(FileSystem& fs, const RestorePoint& point) {
  remove_tree(fs, point.folder);
  (void)fs.remove_folder(parent_path(point.folder));  // the history too, when that was its only point
}

Error give_up_restore_point(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder,
                            const Error& cause) {
  std::vector<std::string>& moved = point.manifest.folders_removed;
  for (; !moved.empty(); moved.pop_back()) {
    const std::string from = join_path(moved_folder(point), moved.back());
    if (!fs.rename_new(from, join_path(aircraft_folder, moved.back()))) {
      return make_error(cause.code, cause.message + "; the folder " + moved.back() + " could not be put back from " +
                                        fs.native_path(from));
    }
  }
  discard_restore_point(fs, point);
  return cause;
}

Result<void> move_folders_into_restore_point(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder,
                                             const std::vector<std::string>& names) {
  const std::string moved = moved_folder(point);
  for (const std::string& name : names) {
    Result<void> done = fs.is_folder(moved) ? Result<void>() : fs.make_folder(moved);
    if (done) done = fs.rename_new(join_path(aircraft_folder, name), join_path(moved, name));
    if (!done) {
      const Error error = make_error(done.error().code, "cannot move the folder " + name + ": " + done.error().message);
      return give_up_restore_point(fs, point, aircraft_folder, error);
    }
    point.manifest.folders_removed.push_back(name);
  }
  return {};
}

Result<void> replace_cfg_with_restore_point(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder,
                                            std::string_view new_cfg) {
  Result<void> done = seal_restore_point(fs, point, new_cfg);
  if (done) done = replace_file(fs, aircraft_cfg_path(aircraft_folder), new_cfg);
  if (!done) return give_up_restore_point(fs, point, aircraft_folder, done.error());
  return {};
}

Result<std::vector<RestorePoint>> list_restore_points(FileSystem& fs, const std::string& aircraft_folder) {
  Result<std::vector<std::string>> names = point_names(fs, aircraft_folder);
  if (!names) return names.error();
  std::vector<RestorePoint> points;
  for (auto name = names->rbegin(); name != names->rend(); ++name) {
    RestorePoint point{join_path(history_folder(aircraft_folder), *name), {}};
    Result<std::string> text = read_whole_file(fs, join_path(point.folder, kManifestName), kMaxManifestBytes);
    Result<RestoreManifest> manifest = text ? parse_manifest(*text) : Result<RestoreManifest>(text.error());
    if (manifest) {
      point.manifest = std::move(*manifest);
    } else {
      point.manifest.operation = "interrupted";
    }
    points.push_back(std::move(point));
  }
  return points;
}

HistoryLimits read_history_limits(FileSystem& fs, const std::string& program_folder) {
  HistoryLimits limits;
  Result<std::string> text = read_whole_file(fs, join_path(program_folder, "Paintwell.ini"), kMaxManifestBytes);
  if (!text) return limits;
  const ProfileDocument settings = ProfileDocument::parse(*text);
  if (auto points = positive_number(settings.find("history", "keep_points"))) {
    limits.keep_points = static_cast<int>(std::min<std::int64_t>(*points, 100000));
  }
  if (auto megabytes = positive_number(settings.find("history", "keep_megabytes"))) {
    limits.keep_bytes = std::min<std::int64_t>(*megabytes, std::int64_t{1} << 40) * 1024 * 1024;
  }
  return limits;
}

std::vector<std::string> prune_history(FileSystem& fs, const std::string& aircraft_folder,
                                       const HistoryLimits& limits) {
  Result<std::vector<std::string>> names = point_names(fs, aircraft_folder);
  if (!names || names->empty()) return {};
  const std::string history = history_folder(aircraft_folder);
  const auto moved_bytes = [&](const std::string& name) {
    return tree_bytes(fs, join_path(join_path(history, name), kMovedName));
  };
  // From the newest back: how many points fit in the limits (at least one).
  std::size_t kept = 1;
  std::int64_t bytes = moved_bytes(names->back());
  while (kept < names->size() && kept < static_cast<std::size_t>(limits.keep_points)) {
    bytes += moved_bytes((*names)[names->size() - 1 - kept]);
    if (bytes > limits.keep_bytes) break;
    ++kept;
  }
  const std::vector<std::string> pruned(names->begin(), names->end() - static_cast<std::ptrdiff_t>(kept));
  for (const std::string& name : pruned) remove_tree(fs, join_path(history, name));
  return pruned;
}

}  // namespace pw
