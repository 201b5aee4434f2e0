#include "packages/undo.h"

#include <algorithm>
#include <vector>

#include "aircraft/cfg_files.h"
#include "aircraft/entry_list.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "config/profile.h"

namespace pw {
namespace {

std::string describe(const RestorePoint& point) {
  return point.manifest.operation + " of " + (point.manifest.time.empty() ? file_name(point.folder) : point.manifest.time);
}

std::string part(const RestorePoint& point, const char* folder, const std::string& name = {}) {
  return name.empty() ? join_path(point.folder, folder) : join_path(join_path(point.folder, folder), name);
}

std::string downloads(const std::string& aircraft_folder) { return join_path(aircraft_folder, "Downloads"); }

Error untrusted(const std::string& why) {
  return make_error(ErrorCode::kRefused, "the restore point cannot be trusted: " + why);
}

// The texture folders the entries of the point's copy of aircraft.cfg name:
// folders that existed before the operation, which it cannot have created.
std::vector<std::string> folders_named_before(FileSystem& fs, const RestorePoint& point) {
  std::vector<std::string> names;
  Result<std::string> copy = read_whole_file(fs, part(point, "aircraft.cfg"), kMaxAircraftCfgBytes);
  if (!copy) return names;
  for (const FltsimEntry& entry : read_aircraft_entries(ProfileDocument::parse(*copy)).entries) {
    names.push_back("Texture." + trim_blanks(entry.texture));
  }
  return names;
}

// The folders undo or recovery moves things into or out of, and the files
// it reads: none may be a link, since a rename through one would reach
// outside the aircraft (a moved entry that is a link itself is renamed as
// the link it is). The manifest may name only texture folders, none that
// an entry named before the operation, and packages.
Result<void> check_trusted(FileSystem& fs, const RestorePoint& point, const std::string& aircraft_folder) {
  if (!point.unreadable.empty()) return make_error(ErrorCode::kDamaged, "the restore point is damaged: " + point.unreadable);
  const RestoreManifest& m = point.manifest;
  std::vector<std::string> parts{parent_path(point.folder),  point.folder,          part(point, "aircraft.cfg"),
                                 part(point, "manifest.txt"), part(point, "folders"), part(point, "created"),
                                 part(point, "packages")};
  if (!m.packages_kept.empty()) parts.push_back(downloads(aircraft_folder));  // a package goes back there
  for (const std::string& path : parts) {
    if (fs.is_link(path)) return untrusted(fs.native_path(path) + " is a link");
  }
  const std::vector<std::string> named_before = folders_named_before(fs, point);
  for (const std::string& name : m.folders_created) {
    const bool existed = std::any_of(named_before.begin(), named_before.end(),
                                     [&](const std::string& before) { return iequals(before, name); });
    if (!is_texture_folder_name(name) || (existed && !is_replaced_folder(m, name))) {
      return untrusted("the operation cannot have created " + name);
    }
  }
  for (const std::string& name : m.folders_removed) {
    if (!is_texture_folder_name(name)) return untrusted("the operation cannot have removed " + name);
  }
  for (const std::string& name : m.packages_kept) {
    if (!ends_with_ci(name, ".pkg")) return untrusted("the operation cannot have kept " + name);
  }
  return {};
}

// What the undo of a sealed point needs: aircraft.cfg as the operation
// left it, every folder it moved away still in the point, and no folder or
// package to put back existing again.
Result<void> check_undoable(FileSystem& fs, const RestorePoint& point, const std::string& aircraft_folder) {
  const RestoreManifest& m = point.manifest;
  Result<std::string> now = read_whole_file(fs, aircraft_cfg_path(aircraft_folder), kMaxAircraftCfgBytes);
  if (!now) return now.error();
  if (cfg_fingerprint(*now) != m.cfg_after) {
    return make_error(ErrorCode::kRefused, "aircraft.cfg was changed after the " + describe(point) +
                                               "; undoing it would lose that change");
  }
  Result<std::string> before = read_whole_file(fs, part(point, "aircraft.cfg"), kMaxAircraftCfgBytes);
  if (!before || cfg_fingerprint(*before) != m.cfg_before) {
    return make_error(ErrorCode::kDamaged, "the restore point's copy of aircraft.cfg is missing or damaged");
  }
  for (const std::string& name : m.folders_removed) {
    if (!fs.is_folder(part(point, "folders", name))) {
      return make_error(ErrorCode::kDamaged, "the folder " + name + " is missing from the restore point");
    }
  }
  const auto exists_again = [&](const std::string& path) {
    return make_error(ErrorCode::kExists, "the folder " + file_name(path) + " to put back exists again: " +
                                              fs.native_path(path));
  };
  for (const std::string& name : m.folders_removed) {
    const std::string path = join_path(aircraft_folder, name);
    if (fs.exists(path) && !is_replaced_folder(m, name)) return exists_again(path);
  }
  for (const std::string& name : m.packages_kept) {
    const std::string path = join_path(downloads(aircraft_folder), name);
    if (fs.exists(part(point, "packages", name)) && fs.exists(path)) return exists_again(path);
  }
  return {};
}

// The moves of take_back_operation the other way, for an undo that fails
// before it replaced aircraft.cfg: what went into the point comes out and
// what came out goes back.
Result<void> put_forward(FileSystem& fs, const RestorePoint& point, const std::string& aircraft_folder) {
  const RestoreManifest& m = point.manifest;
  const auto move_back = [&](const std::string& from, const std::string& to) -> Result<void> {
    return fs.exists(from) && !fs.exists(to) ? fs.rename_new(from, to) : Result<void>();
  };
  for (const std::string& name : m.packages_kept) {
    PW_TRY(move_back(join_path(downloads(aircraft_folder), name), part(point, "packages", name)));
  }
  for (const std::string& name : m.folders_removed) {
    PW_TRY(move_back(join_path(aircraft_folder, name), part(point, "folders", name)));
  }
  for (const std::string& name : m.folders_created) {
    PW_TRY(move_back(part(point, "created", name), join_path(aircraft_folder, name)));
  }
  return {};
}

Result<void> mark(FileSystem& fs, RestorePoint& point, PointState state) {
  const PointState was = point.manifest.state;
  point.manifest.state = state;
  Result<void> marked = write_manifest(fs, point);
  if (!marked) point.manifest.state = was;
  return marked;
}

Error nothing_undone(const Error& error) { return make_error(error.code, "nothing was undone: " + error.message); }

// Marked undoing, taken back, marked undone; a failure on the way puts
// everything forward again and the mark back.
Result<UndoReport> undo_checked(FileSystem& fs, const std::string& aircraft_folder, RestorePoint& point) {
  if (Result<void> marked = mark(fs, point, PointState::kUndoing); !marked) return nothing_undone(marked.error());
  if (Result<void> back = take_back_operation(fs, point, aircraft_folder); !back) {
    Result<void> forward = put_forward(fs, point, aircraft_folder);
    if (forward) forward = mark(fs, point, PointState::kDone);
    if (forward) return nothing_undone(back.error());
    return make_error(back.error().code, "the undo stopped half-way (" + back.error().message + "; " +
                                             forward.error().message +
                                             "): the next change to the aircraft completes it");
  }
  UndoReport report{point, {}};
  if (Result<void> marked = mark(fs, report.point, PointState::kUndone); !marked) {
    report.point.manifest.state = PointState::kUndone;
    report.history_note = "the history could not be updated (" + marked.error().message +
                          "): the next change to the aircraft completes it";
  }
  return report;
}

// True when the point holds no folder or package, so deleting it loses
// nothing.
bool holds_nothing(FileSystem& fs, const RestorePoint& point) {
  for (const char* folder : {"folders", "created", "packages"}) {
    Result<std::vector<DirEntry>> entries = fs.list(part(point, folder));
    if (entries ? !entries->empty() : entries.error().code != ErrorCode::kNotFound) return false;
  }
  return true;
}

// One interrupted point: rolled back (begun) or completed (undoing), then
// marked undone, or deleted when it holds nothing. A point that cannot be
// trusted is left as it is, and said so: it blocks nothing, since undo
// passes over interrupted points.
Result<std::string> recover(FileSystem& fs, const std::string& aircraft_folder, RestorePoint& point) {
  const bool was_undoing = point.manifest.state == PointState::kUndoing;
  const std::string what = "an interrupted " + (was_undoing ? "undo of the " + describe(point) : describe(point));
  if (!point.has_manifest && !holds_nothing(fs, point)) {
    return what + " was left as it is: its restore point holds folders but says nothing of them: " +
           fs.native_path(point.folder);
  }
  if (Result<void> trusted = check_trusted(fs, point, aircraft_folder); !trusted) {
    return what + " was left as it is: " + trusted.error().message;
  }
  if (Result<void> back = take_back_operation(fs, point, aircraft_folder); !back) {
    return make_error(back.error().code, what + " cannot be taken back: " + back.error().message);
  }
  // A replace of aircraft.cfg the crash cut short leaves its temporary file.
  const std::string cut_short = temp_path_for(aircraft_cfg_path(aircraft_folder));
  if (fs.exists(cut_short)) PW_TRY(fs.remove_file(cut_short));
  if (!was_undoing && holds_nothing(fs, point)) {
    discard_restore_point(fs, point);
  } else {
    PW_TRY(mark(fs, point, PointState::kUndone));
  }
  return what + (was_undoing ? " was completed" : " was taken back");
}

}  // namespace

Result<LastOperation> last_operation(FileSystem& fs, const std::string& aircraft_folder) {
  Result<std::vector<RestorePoint>> points = list_restore_points(fs, aircraft_folder);
  if (!points) return points.error();
  LastOperation last;
  for (RestorePoint& point : *points) {
    if (point.manifest.interrupted() && point.unreadable.empty()) {
      if (!last.interrupted) last.interrupted = point;
    } else if (!point.manifest.undone()) {
      last.point = std::move(point);
      last.can_undo = true;
      return last;
    }
  }
  const auto newest = std::find_if(points->begin(), points->end(),
                                   [](const RestorePoint& p) { return !p.manifest.interrupted(); });
  if (newest != points->end()) last.point = std::move(*newest);
  return last;
}

Result<UndoReport> undo_restore_point(FileSystem& fs, const std::string& aircraft_folder,
                                      const std::string& point_name) {
  Result<LastOperation> last = last_operation(fs, aircraft_folder);
  if (!last) return nothing_undone(last.error());
  if (!last->can_undo) return nothing_undone(make_error(ErrorCode::kNotFound, "there is no operation left to undo"));
  RestorePoint& point = *last->point;
  if (file_name(point.folder) != point_name) {
    return nothing_undone(make_error(ErrorCode::kRefused, "the latest operation is now the " + describe(point) +
                                                              "; look again before undoing it"));
  }
  if (Result<void> checked = check_trusted(fs, point, aircraft_folder); !checked) return nothing_undone(checked.error());
  if (Result<void> checked = check_undoable(fs, point, aircraft_folder); !checked) {
    return nothing_undone(checked.error());
  }
  return undo_checked(fs, aircraft_folder, point);
}

Result<std::vector<std::string>> recover_interrupted_operation(FileSystem& fs, const std::string& aircraft_folder) {
  Result<std::vector<RestorePoint>> points = list_restore_points(fs, aircraft_folder);
  if (!points) return points.error();
  std::vector<std::string> done;
  for (RestorePoint& point : *points) {
    if (!point.manifest.interrupted() || !point.unreadable.empty()) continue;
    Result<std::string> recovered = recover(fs, aircraft_folder, point);
    if (!recovered) return recovered.error();
    done.push_back(std::move(*recovered));
  }
  return done;
}

std::string describe_restore_point(const RestorePoint& point) {
  return "restore point " + file_name(point.folder) + ": " + describe(point);
}

}  // namespace pw
