#include "packages/restore_points.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <iterator>

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
constexpr const char* kCreatedName = "created";
constexpr const char* kPackagesName = "packages";
constexpr std::int64_t kMaxSettingsBytes = 4 * 1024 * 1024;

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

std::string point_part(const RestorePoint& point, const char* part, const std::string& name = {}) {
  const std::string folder = join_path(point.folder, part);
  return name.empty() ? folder : join_path(folder, name);
}

std::string downloads_folder(const std::string& aircraft_folder) { return join_path(aircraft_folder, "Downloads"); }

// The new file's bytes, unsynced (see begin_restore_point).
Result<void> write_new_file(FileSystem& fs, const std::string& path, std::string_view bytes) {
  Result<std::unique_ptr<OutputFile>> file = fs.create_new(path);
  if (!file) return file.error();
  PW_TRY((*file)->write(bytes));
  return (*file)->close();
}

// Renames `from` to `to` unless that step is done already: `from` gone and
// `to` there. kExists when both are there.
Result<void> move_once(FileSystem& fs, const std::string& from, const std::string& to) {
  if (!fs.exists(from)) return {};
  if (fs.exists(to)) {
    return make_error(ErrorCode::kExists, "the folder " + file_name(to) + " to put back exists again: " +
                                              fs.native_path(to));
  }
  return fs.rename_new(from, to);
}

Result<void> make_folder_once(FileSystem& fs, const std::string& folder) {
  return fs.is_folder(folder) ? Result<void>() : fs.make_folder(folder);
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
    {"package_kept", &RestoreManifest::packages_kept, true},
    {"package_deleted", &RestoreManifest::packages_deleted, false},
    {"section_written", &RestoreManifest::sections_written, false},
    {"section_deleted", &RestoreManifest::sections_deleted, false},
    {"folder_created", &RestoreManifest::folders_created, true},
    {"folder_removed", &RestoreManifest::folders_removed, true},
};

// The states by their names in the manifest, in PointState's order.
constexpr std::string_view kStateNames[] = {"begun", "done", "undoing", "undone"};

void add_line(std::string& text, std::string_view key, std::string_view value) {
  text.append(key).append("=").append(value).append("\r\n");
}

// One key=value line into the manifest; false for an unsafe name or an
// unknown state.
bool take_line(RestoreManifest& manifest, std::string_view key, std::string value) {
  if (key == "operation") manifest.operation = std::move(value);
  if (key == "time") manifest.time = std::move(value);
  if (key == "cfg_before") manifest.cfg_before = std::move(value);
  if (key == "cfg_after") manifest.cfg_after = std::move(value);
  if (key == "undone") manifest.state = value == "yes" ? PointState::kUndone : PointState::kDone;  // written before states
  if (key == "state") {
    const auto known = std::find(std::begin(kStateNames), std::end(kStateNames), value);
    if (known == std::end(kStateNames)) return false;
    manifest.state = static_cast<PointState>(known - std::begin(kStateNames));
  }
  for (const ListKey& list : kListKeys) {
    if (key != list.key) continue;
    if (list.is_folder && !is_safe_entry_name(value)) return false;
    (manifest.*list.member).push_back(std::move(value));
  }
  return true;
}

}  // namespace

bool is_replaced_folder(const RestoreManifest& manifest, const std::string& name) {
  const auto same = [&](const std::string& other) { return iequals(other, name); };
  return std::any_of(manifest.folders_created.begin(), manifest.folders_created.end(), same) &&
         std::any_of(manifest.folders_removed.begin(), manifest.folders_removed.end(), same);
}

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
  add_line(text, "state", kStateNames[static_cast<int>(manifest.state)]);
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
      return make_error(ErrorCode::kDamaged, "unsafe name or unknown state in the manifest: " + std::string(line));
    }
  }
  if (manifest.operation.empty()) return make_error(ErrorCode::kDamaged, "the manifest names no operation");
  return manifest;
}

bool is_texture_folder_name(std::string_view name) {
  return name.size() > 8 && starts_with_ci(name, "Texture.") && is_safe_entry_name(name);
}

Result<RestorePoint> begin_restore_point(FileSystem& fs, const std::string& aircraft_folder, RestoreManifest intent,
                                         std::string_view cfg_before, std::string_view cfg_after) {
  Result<std::vector<std::string>> names = point_names(fs, aircraft_folder);
  if (!names) return names.error();
  const std::string history = history_folder(aircraft_folder);
  const std::string time = next_point_time(*names);
  RestorePoint point{join_path(history, time + "-" + intent.operation), std::move(intent), {}, true};
  point.manifest.time = time + " UTC";
  point.manifest.cfg_before = cfg_fingerprint(cfg_before);
  point.manifest.cfg_after = cfg_fingerprint(cfg_after);
  point.manifest.state = PointState::kBegun;
  Result<void> begun = make_folder_once(fs, history);
  if (begun) begun = fs.make_folder(point.folder);
  if (begun) begun = write_new_file(fs, join_path(point.folder, kCfgName), cfg_before);
  if (begun) begun = write_manifest(fs, point);
  if (!begun) {
    discard_restore_point(fs, point);
    return begun.error();
  }
  return point;
}

std::string restore_point_work_folder(const RestorePoint& point) { return point_part(point, "work"); }

Result<void> write_manifest(FileSystem& fs, const RestorePoint& point) {
  return replace_file(fs, join_path(point.folder, kManifestName), format_manifest(point.manifest));
}

Result<void> seal_restore_point(FileSystem& fs, RestorePoint& point) {
  point.manifest.state = PointState::kDone;
  Result<void> sealed = write_manifest(fs, point);
  if (!sealed) point.manifest.state = PointState::kBegun;
  return sealed;
}

void discard_restore_point(FileSystem& fs, const RestorePoint& point) {
  remove_tree(fs, point.folder);
  (void)fs.remove_folder(parent_path(point.folder));  // the history too, when that was its only point
}

Result<void> move_folders_into_restore_point(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder) {
  for (const std::string& name : point.manifest.folders_removed) {
    Result<void> done = make_folder_once(fs, point_part(point, kMovedName));
    if (done) done = fs.rename_new(join_path(aircraft_folder, name), point_part(point, kMovedName, name));
    if (!done) {
      const Error error = make_error(done.error().code, "cannot move the folder " + name + ": " + done.error().message);
      return roll_back_operation(fs, point, aircraft_folder, error);
    }
  }
  return {};
}

Result<void> move_package_into_restore_point(FileSystem& fs, const RestorePoint& point,
                                             const std::string& package_path) {
  PW_TRY(make_folder_once(fs, point_part(point, kPackagesName)));
  return fs.rename_new(package_path, point_part(point, kPackagesName, file_name(package_path)));
}

Result<void> replace_cfg_with_restore_point(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder,
                                            std::string_view new_cfg) {
  Result<void> done = replace_file(fs, aircraft_cfg_path(aircraft_folder), new_cfg);
  if (done) done = seal_restore_point(fs, point);
  if (!done) return roll_back_operation(fs, point, aircraft_folder, done.error());
  return {};
}

namespace {

// The point's copy of aircraft.cfg when aircraft.cfg is what the operation
// left, to be put back; nullopt when it is not (not replaced yet, or
// changed since: left as it is). Errors: reading, kDamaged for a copy that
// does not match.
Result<std::optional<std::string>> cfg_to_put_back(FileSystem& fs, const RestorePoint& point,
                                                    const std::string& aircraft_folder) {
  const RestoreManifest& m = point.manifest;
  if (m.cfg_after == m.cfg_before) return std::optional<std::string>();
  Result<std::string> now = read_whole_file(fs, aircraft_cfg_path(aircraft_folder), kMaxAircraftCfgBytes);
  if (!now) return now.error();
  if (cfg_fingerprint(*now) != m.cfg_after) return std::optional<std::string>();
  Result<std::string> before = read_whole_file(fs, join_path(point.folder, kCfgName), kMaxAircraftCfgBytes);
  if (!before || cfg_fingerprint(*before) != m.cfg_before) {
    return make_error(ErrorCode::kDamaged, "the restore point's copy of aircraft.cfg is missing or damaged");
  }
  return std::optional<std::string>(std::move(*before));
}

}  // namespace

Result<void> take_back_operation(FileSystem& fs, const RestorePoint& point, const std::string& aircraft_folder) {
  const RestoreManifest& m = point.manifest;
  Result<std::optional<std::string>> cfg = cfg_to_put_back(fs, point, aircraft_folder);
  if (!cfg) return cfg.error();
  for (const std::string& name : m.folders_created) {
    if (!fs.exists(join_path(aircraft_folder, name))) continue;
    // A replace may create the name it removes: until the old folder is in
    // the point, what stands under that name is the old folder itself.
    if (is_replaced_folder(m, name) && !fs.exists(point_part(point, kMovedName, name))) continue;
    PW_TRY(make_folder_once(fs, point_part(point, kCreatedName)));
    PW_TRY(move_once(fs, join_path(aircraft_folder, name), point_part(point, kCreatedName, name)));
  }
  for (const std::string& name : m.folders_removed) {
    PW_TRY(move_once(fs, point_part(point, kMovedName, name), join_path(aircraft_folder, name)));
  }
  for (const std::string& name : m.packages_kept) {
    if (!fs.exists(point_part(point, kPackagesName, name))) continue;
    PW_TRY(make_folder_once(fs, downloads_folder(aircraft_folder)));
    PW_TRY(move_once(fs, point_part(point, kPackagesName, name), join_path(downloads_folder(aircraft_folder), name)));
  }
  return *cfg ? replace_file(fs, aircraft_cfg_path(aircraft_folder), **cfg) : Result<void>();
}

Error roll_back_operation(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder, const Error& cause) {
  if (Result<void> back = take_back_operation(fs, point, aircraft_folder); !back) {
    return make_error(cause.code, cause.message + "; what was done could not be taken back yet (" +
                                      back.error().message + "): the next change to the aircraft takes it back");
  }
  discard_restore_point(fs, point);
  return cause;
}

namespace {

// A point without a manifest is named after its time and operation.
RestorePoint read_restore_point(FileSystem& fs, const std::string& folder) {
  RestorePoint point{folder, {}, {}, false};
  const std::string name = file_name(folder);
  point.manifest.operation = name.size() > 20 ? name.substr(20) : "interrupted";
  point.manifest.time = name.substr(0, 19) + " UTC";
  const std::string path = join_path(folder, kManifestName);
  if (!fs.exists(path)) return point;
  point.has_manifest = true;
  Result<std::string> text = read_whole_file(fs, path, kMaxManifestBytes);
  Result<RestoreManifest> manifest = text ? parse_manifest(*text) : Result<RestoreManifest>(text.error());
  if (manifest) {
    point.manifest = std::move(*manifest);
  } else if (text.error().code == ErrorCode::kRefused) {
    point.unreadable = "its manifest is larger than the limit of 16 MB";
  } else {
    point.unreadable = "its manifest cannot be read: " + manifest.error().message;
  }
  return point;
}

}  // namespace

Result<std::vector<RestorePoint>> list_restore_points(FileSystem& fs, const std::string& aircraft_folder) {
  Result<std::vector<std::string>> names = point_names(fs, aircraft_folder);
  if (!names) return names.error();
  std::vector<RestorePoint> points;
  for (auto name = names->rbegin(); name != names->rend(); ++name) {
    points.push_back(read_restore_point(fs, join_path(history_folder(aircraft_folder), *name)));
  }
  return points;
}

HistoryLimits read_history_limits(FileSystem& fs, const std::string& program_folder) {
  HistoryLimits limits;
  Result<std::string> text = read_whole_file(fs, join_path(program_folder, "Paintwell.ini"), kMaxSettingsBytes);
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

PruneReport prune_history(FileSystem& fs, const std::string& aircraft_folder, const HistoryLimits& limits) {
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
  PruneReport report;
  for (auto name = names->begin(); name != names->end() - static_cast<std::ptrdiff_t>(kept); ++name) {
    const std::string point = join_path(history, *name);
    remove_tree(fs, point);
    (fs.exists(point) ? report.not_deleted : report.deleted).push_back(*name);
  }
  return report;
}

}  // namespace pw
