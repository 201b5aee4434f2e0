#include "packages/undo.h"

#include <algorithm>
#include <vector>

#include "aircraft/cfg_files.h"
#include "base/file_ops.h"
#include "base/text.h"

namespace pw {
namespace {

struct Move {
  std::string from, to;
};

struct UndoPlan {
  RestorePoint point;
  std::string before;  // aircraft.cfg to put back
  bool cfg_changes = false;
  std::vector<Move> moves;
  bool half_way = false;  // a failure could not be rolled back
};

std::string describe(const RestorePoint& point) {
  return point.manifest.operation + " of " + (point.manifest.time.empty() ? file_name(point.folder) : point.manifest.time);
}

bool is_sealed(const RestoreManifest& manifest) { return !manifest.cfg_after.empty(); }

Result<RestorePoint> latest_not_undone(FileSystem& fs, const std::string& aircraft_folder) {
  Result<LastOperation> last = last_operation(fs, aircraft_folder);
  if (!last) return last.error();
  if (!last->can_undo) return make_error(ErrorCode::kNotFound, "there is no operation left to undo");
  return std::move(*last->point);
}

// aircraft.cfg may be what the operation left or, when it stopped before
// replacing the file, what it found; anything else is a later edit.
Result<void> check_cfg(FileSystem& fs, const std::string& aircraft_folder, UndoPlan& plan) {
  const RestoreManifest& manifest = plan.point.manifest;
  Result<std::string> before = read_whole_file(fs, join_path(plan.point.folder, "aircraft.cfg"), kMaxAircraftCfgBytes);
  if (!before || (!manifest.cfg_before.empty() && cfg_fingerprint(*before) != manifest.cfg_before)) {
    return make_error(ErrorCode::kDamaged, "the restore point's copy of aircraft.cfg is missing or damaged");
  }
  Result<std::string> now = read_whole_file(fs, aircraft_cfg_path(aircraft_folder), kMaxAircraftCfgBytes);
  if (!now) return now.error();
  plan.before = std::move(*before);
  plan.cfg_changes = *now != plan.before;
  if (plan.cfg_changes && !(is_sealed(manifest) && cfg_fingerprint(*now) == manifest.cfg_after)) {
    return make_error(ErrorCode::kRefused, "aircraft.cfg was changed after the " + describe(plan.point) +
                                               "; undoing it would lose that change");
  }
  return {};
}

// Created folders go into the point (never deleted here); removed ones come
// back, unless a folder of that name exists again. A replacement may have
// created the very name it removed: that one is out of the way first.
Result<void> plan_moves(FileSystem& fs, const std::string& aircraft_folder, UndoPlan& plan) {
  const std::string created = join_path(plan.point.folder, "created");
  std::vector<std::string> moved_out;
  for (const std::string& name : plan.point.manifest.folders_created) {
    const std::string path = join_path(aircraft_folder, name);
    if (fs.exists(path)) plan.moves.push_back({path, join_path(created, name)});
    moved_out.push_back(to_lower(name));
  }
  const std::string moved = join_path(plan.point.folder, "folders");
  Result<std::vector<DirEntry>> removed = fs.list(moved);
  if (!removed && removed.error().code != ErrorCode::kNotFound) return removed.error();
  for (const DirEntry& entry : removed ? *removed : std::vector<DirEntry>{}) {
    const std::string path = join_path(aircraft_folder, entry.name);
    const bool taken_out = std::find(moved_out.begin(), moved_out.end(), to_lower(entry.name)) != moved_out.end();
    if (fs.exists(path) && !taken_out) {
      return make_error(ErrorCode::kExists, "the folder " + entry.name + " to put back exists again: " +
                                                fs.native_path(path));
    }
    plan.moves.push_back({join_path(moved, entry.name), path});
  }
  if (!plan.point.manifest.folders_created.empty() && !fs.is_folder(created)) PW_TRY(fs.make_folder(created));
  return {};
}

// Takes back the first `done` moves, last first; says where a folder is
// when one cannot be.
Error rolled_back(FileSystem& fs, UndoPlan& plan, std::size_t done, const Error& cause) {
  while (done > 0) {
    const Move& move = plan.moves[--done];
    if (!fs.rename_new(move.to, move.from)) {
      plan.half_way = true;
      return make_error(cause.code, "the undo stopped half-way: " + fs.native_path(move.to) + " should be " +
                                        fs.native_path(move.from) + " (" + cause.message + ")");
    }
  }
  return cause;
}

Result<void> apply(FileSystem& fs, const std::string& aircraft_folder, UndoPlan& plan) {
  for (std::size_t i = 0; i < plan.moves.size(); ++i) {
    if (Result<void> moved = fs.rename_new(plan.moves[i].from, plan.moves[i].to); !moved) {
      return rolled_back(fs, plan, i, moved.error());
    }
  }
  if (!plan.cfg_changes) return {};
  if (Result<void> put = replace_file(fs, aircraft_cfg_path(aircraft_folder), plan.before); !put) {
    return rolled_back(fs, plan, plan.moves.size(), put.error());
  }
  return {};
}

Result<UndoReport> undo_point(FileSystem& fs, const std::string& aircraft_folder, UndoPlan& plan) {
  PW_TRY(check_cfg(fs, aircraft_folder, plan));
  PW_TRY(plan_moves(fs, aircraft_folder, plan));
  PW_TRY(apply(fs, aircraft_folder, plan));
  UndoReport report{plan.point, {}};
  report.point.manifest.undone = true;
  Result<void> marked =
      replace_file(fs, join_path(plan.point.folder, "manifest.txt"), format_manifest(report.point.manifest));
  if (!marked) report.history_note = "the history could not be updated: " + marked.error().message;
  return report;
}

}  // namespace

Result<UndoReport> undo_latest(FileSystem& fs, const std::string& aircraft_folder) {
  Result<RestorePoint> latest = latest_not_undone(fs, aircraft_folder);
  if (!latest) return make_error(latest.error().code, "nothing was undone: " + latest.error().message);
  UndoPlan plan;
  plan.point = std::move(*latest);
  Result<UndoReport> undone = undo_point(fs, aircraft_folder, plan);
  if (undone || plan.half_way) return undone;
  return make_error(undone.error().code, "nothing was undone: " + undone.error().message);
}

Result<LastOperation> last_operation(FileSystem& fs, const std::string& aircraft_folder) {
  Result<std::vector<RestorePoint>> points = list_restore_points(fs, aircraft_folder);
  if (!points) return points.error();
  LastOperation last;
  for (RestorePoint& point : *points) {
    if (!point.manifest.undone) return LastOperation{std::move(point), true};
  }
  if (!points->empty()) last.point = std::move(points->front());
  return last;
}

std::string describe_restore_point(const RestorePoint& point) {
  return "restore point " + file_name(point.folder) + ": " + describe(point);
}

}  // namespace pw
